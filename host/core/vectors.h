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
// bits(W, E) stands for W columns, bit 0 of E first (input i is bit i, as in
// hostsim's truth tables). "repeat N: ROW" is the row N times; "repeat N
// n: ROW" also counts n from 0 to N-1, which E may use with + - * / % & | ^
// ~ << >> and parentheses. "settings V,V..." gives the part a block of
// settings, as --settings does, before the next row. The first row is the
// run's initial evaluation, as in `run`; a C in it makes that the initial
// evaluation at 0 followed by an ordinary one at 1. # starts a comment.
#pragma once

#include <string>
#include <vector>

namespace host {

struct VectorInput {
  double volts = 0;
  bool clock = false;  // C: a pulse, 0 then 1
  std::string written;
};

enum class Expected { kLow, kHigh, kAny };

struct VectorRow {
  int line = 0;
  long counter = -1;     // n of a repeat that counts, else -1
  std::string settings;  // given before this row's evaluation, if any
  bool giveSettings = false;
  std::vector<VectorInput> inputs;
  std::vector<Expected> outputs;
};

// The rows, every repeat spelt out; a Failure "NAME:LINE: reason" for a
// line that is none, or that does not fit the part's pin counts.
std::vector<VectorRow> ParseVectors(const std::string& text, const std::string& name, int inputs, int outputs);

}  // namespace host
