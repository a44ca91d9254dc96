#include "vectors.h"

#include <cctype>
#include <sstream>

#include "failure.h"
#include "stimulus.h"
#include "text.h"

namespace host {
namespace {

constexpr long kMostRepeats = 1000000;

// An integer expression over n, read by precedence climbing.
class Expression {
 public:
  Expression(const std::string& text, long n) : text_(text), n_(n) {}

  long Value() {
    const long value = Binary(0);
    Skip();
    if (at_ != text_.size()) throw Failure(Quoted(text_.substr(at_)) + " is not part of an expression");
    return value;
  }

 private:
  struct Operator {
    const char* symbol;
    int precedence;
  };

  void Skip() {
    while (at_ < text_.size() && text_[at_] == ' ') ++at_;
  }

  bool Take(const std::string& symbol) {
    Skip();
    if (text_.compare(at_, symbol.size(), symbol) != 0) return false;
    at_ += symbol.size();
    return true;
  }

  long Binary(int least) {
    long left = Unary();
    static const Operator kOperators[] = {{"|", 1}, {"^", 2}, {"&", 3}, {"<<", 4}, {">>", 4},
                                          {"+", 5}, {"-", 5}, {"*", 6}, {"/", 6},  {"%", 6}};
    for (bool more = true; more;) {
      more = false;
      for (const Operator& op : kOperators) {
        if (op.precedence < least || !Take(op.symbol)) continue;
        left = Apply(op.symbol, left, Binary(op.precedence + 1));
        more = true;
        break;
      }
    }
    return left;
  }

  long Unary() {
    if (Take("-")) return -Unary();
    if (Take("~")) return ~Unary();
    if (Take("(")) {
      const long value = Binary(0);
      if (!Take(")")) throw Failure("a ( without its )");
      return value;
    }
    Skip();
    if (Take("n")) {
      if (n_ < 0) throw Failure("n outside a repeat that counts");
      return n_;
    }
    std::size_t digits = at_;
    while (digits < text_.size() && std::isdigit(static_cast<unsigned char>(text_[digits]))) ++digits;
    if (digits == at_ || digits - at_ > 9) throw Failure("a number or n is missing in " + Quoted(text_));
    const long value = std::stol(text_.substr(at_, digits - at_));
    at_ = digits;
    return value;
  }

  static long Apply(const std::string& op, long a, long b) {
    if ((op == "/" || op == "%") && b == 0) throw Failure("a division by 0");
    if ((op == "<<" || op == ">>") && (b < 0 || b > 31)) throw Failure("a shift by " + std::to_string(b));
    if (op == "|") return a | b;
    if (op == "^") return a ^ b;
    if (op == "&") return a & b;
    if (op == "<<") return long(static_cast<unsigned long>(a) << b);
    if (op == ">>") return a >> b;
    if (op == "+") return a + b;
    if (op == "-") return a - b;
    if (op == "*") return a * b;
    if (op == "/") return a / b;
    return a % b;
  }

  const std::string& text_;
  const long n_;
  std::size_t at_ = 0;
};

// The columns of one side of a row, bits(W, E) spelt out.
std::vector<std::string> Columns(const std::string& side, long n) {
  std::vector<std::string> columns;
  for (std::size_t at = 0; at < side.size();) {
    if (side[at] == ' ' || side[at] == '\t') {
      ++at;
      continue;
    }
    if (side.compare(at, 5, "bits(") == 0) {
      std::size_t end = at + 5, comma = std::string::npos;
      for (int depth = 0; end < side.size() && (side[end] != ')' || depth > 0); ++end) {
        depth += side[end] == '(' ? 1 : side[end] == ')' ? -1 : 0;
        if (side[end] == ',' && depth == 0 && comma == std::string::npos) comma = end;
      }
      if (end == side.size() || comma == std::string::npos) throw Failure("bits( needs a width, an expression and )");
      const long width = Expression(side.substr(at + 5, comma - at - 5), n).Value();
      if (width < 1 || width > 32) throw Failure("bits( takes a width from 1 to 32, not " + std::to_string(width));
      const long value = Expression(side.substr(comma + 1, end - comma - 1), n).Value();
      for (long bit = 0; bit < width; ++bit) columns.push_back(value >> bit & 1 ? "1" : "0");
      at = end + 1;
      continue;
    }
    std::size_t end = at;
    while (end < side.size() && side[end] != ' ' && side[end] != '\t') ++end;
    columns.push_back(side.substr(at, end - at));
    at = end;
  }
  return columns;
}

VectorInput InputOf(const std::string& column) {
  VectorInput input;
  input.written = column;
  if (column == "C" || column == "c") {
    input.clock = true;
    return input;
  }
  if (!ParseStimulusValue(column, input.volts))
    throw Failure(Quoted(column) + " is no input: 0, 1, C or a voltage such as 2.6V");
  return input;
}

Expected ExpectedOf(const std::string& column) {
  if (column == "0") return Expected::kLow;
  if (column == "1") return Expected::kHigh;
  if (column == "X" || column == "x") return Expected::kAny;
  throw Failure(Quoted(column) + " is no output: 0, 1 or X");
}

class Reader {
 public:
  Reader(const std::string& name, int inputs, int outputs) : name_(name), inputs_(inputs), outputs_(outputs) {}

  void Line(int number, std::string text) {
    line_ = number;
    text = text.substr(0, text.find('#'));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.pop_back();
    std::istringstream words(text);
    std::string first;
    if (!(words >> first)) return;
    try {
      if (first == "settings")
        Settings(text.substr(text.find("settings") + 8));
      else if (first == "repeat")
        Repeat(text.substr(text.find("repeat") + 6));
      else
        Row(text, -1);
    } catch (const Failure& failure) {
      throw Failure(name_ + ":" + std::to_string(number) + ": " + failure.what());
    }
  }

  std::vector<VectorRow> Rows() {
    if (rows_.empty()) throw Failure(name_ + ": no rows (inputs | expected outputs)");
    if (pendingSettings_)
      throw Failure(name_ + ":" + std::to_string(settingsLine_) + ": settings without a row after them");
    return rows_;
  }

 private:
  void Settings(const std::string& rest) {
    std::istringstream words(rest);
    std::string values, more;
    if (!(words >> values) || (words >> more)) throw Failure("settings takes its values as V,V... without blanks");
    settings_ = values;
    pendingSettings_ = true;
    settingsLine_ = line_;
  }

  // "repeat N: ROW" or "repeat N n: ROW".
  void Repeat(const std::string& rest) {
    const std::size_t colon = rest.find(':');
    if (colon == std::string::npos) throw Failure("repeat needs a : before its row");
    std::istringstream head(rest.substr(0, colon));
    std::string count, counter, more;
    head >> count >> counter >> more;
    char* end = nullptr;
    const long times = std::strtol(count.c_str(), &end, 10);
    if (count.empty() || *end || times < 1 || times > kMostRepeats)
      throw Failure("repeat takes a count from 1 to " + std::to_string(kMostRepeats) + ", not " + Quoted(count));
    if (!more.empty() || (!counter.empty() && counter != "n"))
      throw Failure("repeat counts only in n: repeat N n: ROW");
    for (long n = 0; n < times; ++n) Row(rest.substr(colon + 1), counter.empty() ? -1 : n);
  }

  void Row(const std::string& text, long n) {
    const std::size_t bar = text.find('|');
    if (bar == std::string::npos) throw Failure("a row needs a | between its inputs and its expected outputs");
    VectorRow row;
    row.line = line_;
    row.counter = n;
    row.giveSettings = pendingSettings_;
    row.settings = settings_;
    pendingSettings_ = false;
    for (const std::string& column : Columns(text.substr(0, bar), n)) row.inputs.push_back(InputOf(column));
    for (const std::string& column : Columns(text.substr(bar + 1), n)) row.outputs.push_back(ExpectedOf(column));
    if (int(row.inputs.size()) != inputs_)
      throw Failure(Counted(row.inputs.size(), "input") + ", but the part has " +
                    Counted(std::size_t(inputs_), "input"));
    if (int(row.outputs.size()) != outputs_)
      throw Failure(Counted(row.outputs.size(), "output") + ", but the part has " +
                    Counted(std::size_t(outputs_), "output"));
    rows_.push_back(row);
  }

  const std::string& name_;
  const int inputs_, outputs_;
  int line_ = 0, settingsLine_ = 0;
  std::string settings_;
  bool pendingSettings_ = false;
  std::vector<VectorRow> rows_;
};

}  // namespace

std::vector<VectorRow> ParseVectors(const std::string& text, const std::string& name, int inputs, int outputs) {
  Reader reader(name, inputs, outputs);
  std::istringstream lines(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) reader.Line(number, line);
  return reader.Rows();
}

}  // namespace host
