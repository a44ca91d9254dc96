// Test vectors for `hostsim test` (the format, its limits and its faults:
// docs/formats.md, "Test vectors").
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
