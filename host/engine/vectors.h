// Test vectors for `hostsim test`: a table of input rows and the outputs
// each must give, in plain text, one row a line:
//
//   # the full adder: A B carry | sum carry
//   0 0 0 | 0 0
//   repeat 8 n: bits(3, n) | bits(1, n ^ n >> 1 ^ n >> 2) X
//   settings 8,1
//
// Inputs in pin order: 0, 1, a voltage with its unit (2.6V), or C, a clock
// pulse: the row is evaluated with that input at 0 and then at 1, and the
// outputs are compared after the second evaluation. Outputs in pin order,
// after a |: 0, 1 or X (any level, but still exactly 5.0 or 0.0).
// bits(W, E) stands for W columns, bit 0 of E first (input i is bit i, as
// in hostsim's truth tables). "repeat N: ROW" is the row N times; "repeat N
// n: ROW" also counts n from 0 to N-1, which E may use with + - * / % & | ^
// ~ << >> and parentheses. "settings V,V..." gives the part a block of
// settings, as --settings does, before the next row, saves or delay line
// (`test` fails the line where the part does not take them). The first row
// is the run's initial evaluation, as in `run`; a C in it makes that the
// initial evaluation at 0 followed by an ordinary one at 1. "start" makes
// the next row the initial evaluation of a new run of the same part, as a
// user's next simulation is. Two cases of their own judge what outputs
// cannot show: "saves V,V...", that the block of settings the part writes
// at that point holds exactly these values (a new part's settings, what is
// kept and what is not), and "delay 0" or "delay 1", the delay flag the
// part reports there. # starts a comment.
//
// E is worked out in 64-bit whole numbers: a result beyond them, a
// division or remainder by 0 and a shift by less than 0 or more than 63 are
// faults of the file; << and >> shift the two's-complement bits, >> keeping
// the sign. The file is read as stimulus files are (8-bit, UTF-8 or UTF-16
// text, lines ending in CR LF, LF or CR) and is held to the limits below,
// so that no file, however made, takes the reader's time, memory or stack;
// each fault names the limit. Columns are counted in characters from 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "failure.h"
#include "project_format.h"

namespace host {

constexpr std::size_t kLargestVectorFile = 32 << 20;  // bytes
constexpr std::int64_t kMostVectorRows = 1000000;     // rows a file runs, every repeat counted out
constexpr std::size_t kLongestVectorLine = 1000;      // characters before a #
constexpr int kDeepestVectorNesting = 32;             // parentheses, - and ~ within each other
constexpr int kWidestBits = 64;                       // W of bits(W, E), and no more than the part's pins

struct VectorInput {
  double volts = 0;
  bool clock = false;  // C: a pulse, 0 then 1
  std::string written;
};

enum class Expected { kLow, kHigh, kAny };

// What a line of the file judges: a row's outputs, or a saves or delay
// line's value.
enum class VectorStep { kRow, kSaves, kDelay };

struct VectorRow {
  int line = 0;
  std::int64_t n = -1;   // its n in a repeat, counting or not; -1 outside one
  int settingsLine = 0;  // the line of settings given before this row; 0 for none
  std::string settings;
  bool start = false;  // after a start line: the initial evaluation of a new run
  VectorStep step = VectorStep::kRow;
  std::string expected;  // of a saves or delay line, which has no inputs or outputs
  std::vector<VectorInput> inputs;
  std::vector<Expected> outputs;
};

struct LineFault;
struct LineContent;

// The rows of a file one at a time, as they are run: a repeat yields its
// rows one by one, so that memory does not grow with its count. Bad input
// is a Failure "NAME:LINE:COLUMN: reason" (a file beyond its limits, a
// line that is none or that does not fit the part's pin counts); the rows
// are counted up front, so that a file beyond their limit is refused
// before any is worked out.
class VectorReader {
 public:
  VectorReader(const std::string& bytes, const std::string& name, int inputs, int outputs);
  VectorReader(const VectorReader&) = delete;
  VectorReader& operator=(const VectorReader&) = delete;

  // The next row; false behind the last.
  bool Next(VectorRow& row);
  // "UTF-16 little-endian" and the like for a file in UTF-16; else empty.
  const std::string& Encoding() const { return encoding_; }

 private:
  struct Repeat {
    FileLine line;
    std::size_t rowStart = 0, rowEnd = 0;  // of the row behind the :
    std::int64_t count = 0, next = 0;
    bool counting = false;
  };

  void CountRows();
  Failure Located(const FileLine& line, const LineFault& fault, bool inRepeat) const;
  bool NextOfLine(const FileLine& line, VectorRow& row);
  void ReadSettings(const FileLine& line, const LineContent& content);
  void ReadStart(const FileLine& line, const LineContent& content);
  VectorRow CheckOf(const FileLine& line, const LineContent& content, VectorStep step);
  void GivePending(VectorRow& step);
  VectorRow RowOf(const FileLine& line, std::size_t start, std::size_t end, std::int64_t n, bool counting);

  const std::string name_;
  const int inputs_, outputs_;
  std::string encoding_;
  const std::string text_;
  LineReader lines_;
  Repeat repeat_;
  int settingsLine_ = 0;
  std::string settings_;
  int startLine_ = 0;
  std::int64_t rows_ = 0;  // rows and saves lines in the whole file
};

// A whole file read as `test` reads it, before any row runs: how many rows,
// settings, saves and delay lines it has, or the Failure naming a bad line.
struct VectorCount {
  std::int64_t rows = 0, settings = 0, saves = 0, delays = 0;
};
VectorCount CountVectors(const std::string& bytes, const std::string& name, int inputs, int outputs);

}  // namespace host
