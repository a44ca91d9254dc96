#include "vectors.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "columns.h"
#include "failure.h"
#include "shown_text.h"
#include "stimulus.h"
#include "utf16.h"
#include "words.h"

namespace host {

// What is wrong in a line, and where: a byte offset into its text.
struct LineFault {
  std::size_t at;
  std::string reason;
};

// What a line holds, comment and blanks aside: text[start, end).
enum class LineKind { kNone, kRow, kRepeat, kSettings, kSaves, kDelay, kStart };

struct LineContent {
  LineKind kind = LineKind::kNone;
  std::size_t start = 0, end = 0;
  std::size_t rest = 0;  // behind the line's word
};

namespace {

// Column of a byte offset, counted in characters from 1.
std::size_t ColumnOf(const std::string& text, std::size_t at) { return DisplayWidth(text.substr(0, at)) + 1; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t SkipBlanks(const std::string& text, std::size_t at, std::size_t end) {
  while (at < end && IsBlank(text[at])) ++at;
  return at;
}

std::size_t WordEnd(const std::string& text, std::size_t at, std::size_t end) {
  while (at < end && !IsBlank(text[at])) ++at;
  return at;
}

// Digits as a whole number; false for none, or for more than `most`.
bool ReadCount(const std::string& digits, std::int64_t most, std::int64_t& count) {
  count = 0;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    if (count > (most - (c - '0')) / 10) return false;
    count = count * 10 + (c - '0');
  }
  return !digits.empty();
}

// An integer expression over n in text[start, end), read by precedence
// climbing and worked out as it is read, in 64 bits.
class Expression {
 public:
  Expression(const std::string& text, std::size_t start, std::size_t end, std::int64_t n)
      : text_(text), end_(end), n_(n), at_(start) {}

  std::int64_t Value() {
    const std::int64_t value = Binary(0, 0);
    Skip();
    if (at_ != end_) throw LineFault{at_, Quoted(text_.substr(at_, end_ - at_)) + " is not part of an expression"};
    return value;
  }

 private:
  // Told apart by their first character.
  struct Operator {
    std::string symbol;
    int precedence;
  };

  void Skip() { at_ = SkipBlanks(text_, at_, end_); }

  bool Take(char symbol) {
    Skip();
    if (at_ == end_ || text_[at_] != symbol) return false;
    ++at_;
    return true;
  }

  // The operator at the reading position; null where there is none.
  const Operator* OperatorAt() {
    static const Operator kOperators[] = {{"|", 1}, {"^", 2}, {"&", 3}, {"<<", 4}, {">>", 4},
                                          {"+", 5}, {"-", 5}, {"*", 6}, {"/", 6},  {"%", 6}};
    Skip();
    for (const Operator& op : kOperators)
      if (at_ < end_ && text_[at_] == op.symbol[0])
        return at_ + op.symbol.size() <= end_ && text_.compare(at_, op.symbol.size(), op.symbol) == 0 ? &op : nullptr;
    return nullptr;
  }

  std::int64_t Binary(int least, int depth) {
    std::int64_t left = Unary(depth);
    for (const Operator* op; (op = OperatorAt()) && op->precedence >= least;) {
      const std::size_t where = at_;
      at_ += op->symbol.size();
      left = Apply(op->symbol, left, Binary(op->precedence + 1, depth), where);
    }
    return left;
  }

  // Each ( - ~ is a level deeper, and the reader's stack with it.
  static int Deeper(int depth, std::size_t at) {
    if (depth == kDeepestVectorNesting)
      throw LineFault{at,
                      "more than " + std::to_string(kDeepestVectorNesting) + " parentheses, - and ~ within each other"};
    return depth + 1;
  }

  std::int64_t Unary(int depth) {
    Skip();
    const std::size_t where = at_;
    if (Take('-')) {
      const std::int64_t value = Unary(Deeper(depth, where));
      if (value == std::numeric_limits<std::int64_t>::min())
        throw LineFault{where, "-(" + std::to_string(value) + ") is beyond 64 bits"};
      return -value;
    }
    if (Take('~')) return ~Unary(Deeper(depth, where));
    if (Take('(')) {
      const std::int64_t value = Binary(0, Deeper(depth, where));
      if (!Take(')')) throw LineFault{where, "a ( without its )"};
      return value;
    }
    if (Take('n')) {
      if (n_ < 0) throw LineFault{where, "n outside a repeat that counts"};
      return n_;
    }
    return Number();
  }

  std::int64_t Number() {
    std::size_t digits = at_;
    while (digits < end_ && std::isdigit(static_cast<unsigned char>(text_[digits]))) ++digits;
    if (digits == at_) throw LineFault{at_, "a number or n is missing"};
    const std::string written = text_.substr(at_, digits - at_);
    std::int64_t value;
    if (!ReadCount(written, std::numeric_limits<std::int64_t>::max(), value))
      throw LineFault{at_, Quoted(written) + " is beyond 64 bits"};
    at_ = digits;
    return value;
  }

  static LineFault Beyond(std::int64_t a, const std::string& op, std::int64_t b, std::size_t at) {
    return {at, std::to_string(a) + " " + op + " " + std::to_string(b) + " is beyond 64 bits"};
  }

  static std::int64_t Apply(const std::string& op, std::int64_t a, std::int64_t b, std::size_t at) {
    std::int64_t result = 0;
    switch (op[0]) {
      case '|':
        return a | b;
      case '^':
        return a ^ b;
      case '&':
        return a & b;
      case '<':
      case '>':
        if (b < 0 || b > 63) throw LineFault{at, "a shift by " + std::to_string(b) + "; a shift is by 0 to 63"};
        return op[0] == '<' ? std::int64_t(std::uint64_t(a) << b) : a >> b;
      case '/':
      case '%':
        if (b == 0) throw LineFault{at, "a division by 0"};
        // The one quotient beyond 64 bits, which the processor traps on
        // for the remainder too.
        if (b == -1 && a == std::numeric_limits<std::int64_t>::min()) {
          if (op[0] == '%') return 0;
          throw Beyond(a, op, b, at);
        }
        return op[0] == '/' ? a / b : a % b;
    }
    const bool beyond = op[0] == '+'   ? __builtin_add_overflow(a, b, &result)
                        : op[0] == '-' ? __builtin_sub_overflow(a, b, &result)
                                       : __builtin_mul_overflow(a, b, &result);
    if (beyond) throw Beyond(a, op, b, at);
    return result;
  }

  const std::string& text_;
  const std::size_t end_;
  const std::int64_t n_;
  std::size_t at_;
};

// One column of a side, and where it is written: bits(W, E) gives W of
// them, all at its "bits(".
struct Column {
  std::string text;
  std::size_t at;
};

// The pins of one side of a row.
struct Side {
  int pins;
  const char* noun;
};

// Where bits( ends and where its comma is, both at its own depth.
struct BitsExtent {
  std::size_t comma, close;
};

BitsExtent BitsExtentOf(const std::string& text, std::size_t start, std::size_t end) {
  BitsExtent extent{std::string::npos, std::string::npos};
  for (int depth = 0; start < end; ++start) {
    const char c = text[start];
    if (c == ',' && depth == 0 && extent.comma == std::string::npos) extent.comma = start;
    if (c == ')' && depth-- == 0) {
      extent.close = start;
      break;
    }
    if (c == '(') ++depth;
  }
  return extent;
}

// The columns of bits(W, E) at `at`; the offset behind it.
std::size_t AddBits(const std::string& text, std::size_t at, std::size_t end, std::int64_t n, const Side& side,
                    std::vector<Column>& columns) {
  const std::size_t open = at + 5;
  const BitsExtent extent = BitsExtentOf(text, open, end);
  if (extent.close == std::string::npos || extent.comma == std::string::npos || extent.comma > extent.close)
    throw LineFault{at, "bits( needs a width, an expression and )"};
  const std::int64_t width = Expression(text, open, extent.comma, n).Value();
  const std::int64_t widest = std::min<std::int64_t>(kWidestBits, side.pins);
  if (width < 1 || width > widest)
    throw LineFault{at, "bits( takes a width from 1 to " + std::to_string(widest) +
                            (widest < kWidestBits ? ", the part's " + std::string(side.noun) + "s" : "") + ", not " +
                            std::to_string(width)};
  const std::int64_t value = Expression(text, extent.comma + 1, extent.close, n).Value();
  for (int bit = 0; bit < width; ++bit) columns.push_back({value >> bit & 1 ? "1" : "0", at});
  return extent.close + 1;
}

// The columns of text[start, end), bits(W, E) spelt out.
std::vector<Column> Columns(const std::string& text, std::size_t start, std::size_t end, std::int64_t n,
                            const Side& side) {
  std::vector<Column> columns;
  columns.reserve(side.pins);
  for (std::size_t at = SkipBlanks(text, start, end); at < end; at = SkipBlanks(text, at, end)) {
    if (at + 5 <= end && text.compare(at, 5, "bits(") == 0) {
      at = AddBits(text, at, end, n, side, columns);
      continue;
    }
    const std::size_t behind = WordEnd(text, at, end);
    columns.push_back({text.substr(at, behind - at), at});
    at = behind;
  }
  return columns;
}

VectorInput InputOf(const Column& column) {
  VectorInput input;
  input.written = column.text;
  if (column.text == "C" || column.text == "c") {
    input.clock = true;
    return input;
  }
  if (!ParseStimulusValue(column.text, input.volts))
    throw LineFault{column.at, Quoted(column.text) + " is no input: 0, 1, C or a voltage such as 2.6V"};
  return input;
}

Expected ExpectedOf(const Column& column) {
  if (column.text == "0") return Expected::kLow;
  if (column.text == "1") return Expected::kHigh;
  if (column.text == "X" || column.text == "x") return Expected::kAny;
  throw LineFault{column.at, Quoted(column.text) + " is no output: 0, 1 or X"};
}

// What each column of a side ending at `end` stands for, as many as the
// side has pins: too many are named at the first too many, too few at the
// end.
template <class Value>
std::vector<Value> ValuesOf(const std::vector<Column>& columns, const Side& side, std::size_t end,
                            Value (*valueOf)(const Column&)) {
  std::vector<Value> values;
  values.reserve(columns.size());
  for (const Column& column : columns) values.push_back(valueOf(column));
  if (int(values.size()) != side.pins)
    throw LineFault{
        int(values.size()) > side.pins ? columns[side.pins].at : end,
        Counted(values.size(), side.noun) + ", but the part has " + Counted(std::size_t(side.pins), side.noun)};
  return values;
}

// The | between inputs and outputs: the first outside parentheses, as one
// inside them is E's or; where parentheses are not closed, the first, for
// the side before it to name them.
std::size_t BarOf(const std::string& text, std::size_t start, std::size_t end) {
  int depth = 0;
  for (std::size_t at = start; at < end; ++at) {
    depth += text[at] == '(' ? 1 : text[at] == ')' ? -1 : 0;
    if (text[at] == '|' && depth <= 0) return at;
  }
  const std::size_t first = text.find('|', start);
  return first < end ? first : std::string::npos;
}

// "settings", "saves", "start" and "repeat" are words of their own.
bool StartsWithWord(const std::string& text, std::size_t at, std::size_t end, const std::string& word) {
  return text.compare(at, word.size(), word) == 0 && (at + word.size() == end || IsBlank(text[at + word.size()]));
}

LineContent ContentOf(const std::string& text) {
  LineContent content;
  content.end = std::min(text.find('#'), text.size());
  while (content.end > 0 && IsBlank(text[content.end - 1])) --content.end;
  content.start = SkipBlanks(text, 0, content.end);
  if (content.start == content.end) return content;
  if (const std::size_t length = DisplayWidth(text.substr(0, content.end)); length > kLongestVectorLine)
    throw LineFault{0, "a line of " + std::to_string(length) + " characters before any #, more than the " +
                           std::to_string(kLongestVectorLine) + " a line may have"};
  for (const auto& [word, kind] : {std::pair{"settings", LineKind::kSettings},
                                   {"saves", LineKind::kSaves},
                                   {"delay", LineKind::kDelay},
                                   {"start", LineKind::kStart},
                                   {"repeat", LineKind::kRepeat}})
    if (StartsWithWord(text, content.start, content.end, word)) {
      content.kind = kind;
      content.rest = content.start + std::string(word).size();
      return content;
    }
  content.kind = LineKind::kRow;
  return content;
}

// "repeat N: ROW" or "repeat N n: ROW" up to its row.
struct RepeatHead {
  std::size_t countAt = 0, rowStart = 0;
  std::int64_t count = 0;
  bool counting = false;
};

RepeatHead RepeatHeadOf(const std::string& text, const LineContent& content) {
  const std::size_t colon = text.find(':', content.start);
  if (colon >= content.end) throw LineFault{content.start, "repeat needs a : before its row"};
  RepeatHead head;
  head.countAt = SkipBlanks(text, content.rest, colon);
  const std::size_t countEnd = WordEnd(text, head.countAt, colon);
  const std::size_t counterAt = SkipBlanks(text, countEnd, colon), counterEnd = WordEnd(text, counterAt, colon);
  const std::string count = text.substr(head.countAt, countEnd - head.countAt);
  if (!ReadCount(count, kMostVectorRows, head.count) || head.count < 1)
    throw LineFault{head.countAt,
                    "repeat takes a count from 1 to " + std::to_string(kMostVectorRows) + ", not " + Quoted(count)};
  const std::string counter = text.substr(counterAt, counterEnd - counterAt);
  if ((!counter.empty() && counter != "n") || SkipBlanks(text, counterEnd, colon) != colon)
    throw LineFault{counterAt, "repeat counts only in n: repeat N n: ROW"};
  head.rowStart = colon + 1;
  head.counting = !counter.empty();
  return head;
}

// The V,V... behind a settings or saves line's word.
std::string SettingValuesOf(const std::string& text, const LineContent& content, const std::string& word) {
  const std::size_t end = content.end;
  const std::size_t values = SkipBlanks(text, content.rest, end), behind = WordEnd(text, values, end);
  if (values == end || behind != end)
    throw LineFault{values == end ? end : SkipBlanks(text, behind, end),
                    word + " takes its values as V,V... without blanks"};
  return text.substr(values, behind - values);
}

std::string DecodedText(const std::string& bytes, const std::string& name, std::string& encoding) {
  if (bytes.size() > kLargestVectorFile)
    throw Failure(name + ": more than the " + std::to_string(kLargestVectorFile >> 20) + " MB a vector file may have");
  return UserFileText(bytes, encoding);
}

}  // namespace

VectorReader::VectorReader(const std::string& bytes, const std::string& name, int inputs, int outputs)
    : name_(name), inputs_(inputs), outputs_(outputs), text_(DecodedText(bytes, name, encoding_)), lines_(text_, 0) {
  CountRows();
}

// The rows are counted from the lines alone, so that a file beyond the
// limit is refused before any row is worked out.
void VectorReader::CountRows() {
  LineReader lines(text_, 0);
  for (FileLine line; lines.Next(line);) {
    try {
      const LineContent content = ContentOf(line.text);
      const LineKind kind = content.kind;
      std::int64_t rows = kind == LineKind::kRow || kind == LineKind::kSaves || kind == LineKind::kDelay ? 1 : 0;
      std::size_t at = content.start;
      if (content.kind == LineKind::kRepeat) {
        const RepeatHead head = RepeatHeadOf(line.text, content);
        rows = head.count;
        at = head.countAt;
      }
      if (rows > kMostVectorRows - rows_)
        throw LineFault{at, "the rows reach " + std::to_string(rows_ + rows) + " here, more than the " +
                                std::to_string(kMostVectorRows) + " a vector file may run"};
      rows_ += rows;
    } catch (const LineFault& fault) {
      throw Located(line, fault, false);
    }
  }
}

Failure VectorReader::Located(const FileLine& line, const LineFault& fault, bool inRepeat) const {
  const bool counting = inRepeat && repeat_.counting;
  return Failure(name_ + ":" + std::to_string(line.number) + ":" + std::to_string(ColumnOf(line.text, fault.at)) +
                 ": " + fault.reason + (counting ? " (n=" + std::to_string(repeat_.next - 1) + ")" : "") +
                 (encoding_.empty() ? "" : " (the file read as " + encoding_ + ")"));
}

bool VectorReader::Next(VectorRow& row) {
  for (FileLine line; repeat_.next < repeat_.count || lines_.Next(line);) {
    const bool inRepeat = repeat_.next < repeat_.count;
    try {
      if (inRepeat) {
        const std::int64_t n = repeat_.next++;
        row = RowOf(repeat_.line, repeat_.rowStart, repeat_.rowEnd, n, repeat_.counting);
        return true;
      }
      if (NextOfLine(line, row)) return true;
    } catch (const LineFault& fault) {
      throw Located(inRepeat ? repeat_.line : line, fault, inRepeat);
    }
  }
  if (settingsLine_)
    throw Failure(name_ + ":" + std::to_string(settingsLine_) +
                  ":1: settings without a row, saves or delay line after them");
  if (startLine_) throw Failure(name_ + ":" + std::to_string(startLine_) + ":1: start without a row after it");
  if (rows_ == 0) throw Failure(name_ + ": no rows (inputs | expected outputs)");
  return false;
}

// A plain row; false for a line without one (a repeat's rows come from
// Next).
bool VectorReader::NextOfLine(const FileLine& line, VectorRow& row) {
  const LineContent content = ContentOf(line.text);
  if (content.kind == LineKind::kSettings) ReadSettings(line, content);
  if (content.kind == LineKind::kStart) ReadStart(line, content);
  if (content.kind == LineKind::kSaves || content.kind == LineKind::kDelay) {
    row = CheckOf(line, content, content.kind == LineKind::kSaves ? VectorStep::kSaves : VectorStep::kDelay);
    return true;
  }
  if (content.kind == LineKind::kRepeat) {
    const RepeatHead head = RepeatHeadOf(line.text, content);
    repeat_ = {line, head.rowStart, content.end, head.count, 0, head.counting};
  }
  if (content.kind != LineKind::kRow) return false;
  row = RowOf(line, content.start, content.end, -1, false);
  return true;
}

void VectorReader::ReadSettings(const FileLine& line, const LineContent& content) {
  if (settingsLine_)
    throw LineFault{content.start, "settings again before a row: those of line " + std::to_string(settingsLine_) +
                                       " would not be given"};
  settings_ = SettingValuesOf(line.text, content, "settings");
  settingsLine_ = line.number;
}

void VectorReader::ReadStart(const FileLine& line, const LineContent& content) {
  if (const std::size_t extra = SkipBlanks(line.text, content.rest, content.end); extra != content.end)
    throw LineFault{extra, "start stands alone on its line"};
  startLine_ = line.number;
}

VectorRow VectorReader::CheckOf(const FileLine& line, const LineContent& content, VectorStep step) {
  VectorRow check;
  check.line = line.number;
  check.step = step;
  check.expected = SettingValuesOf(line.text, content, step == VectorStep::kSaves ? "saves" : "delay");
  if (step == VectorStep::kDelay && check.expected != "0" && check.expected != "1")
    throw LineFault{SkipBlanks(line.text, content.rest, content.end), "delay takes 0 or 1"};
  check.settingsLine = settingsLine_;
  check.settings = settings_;
  settingsLine_ = 0;
  settings_.clear();
  return check;
}

VectorRow VectorReader::RowOf(const FileLine& line, std::size_t start, std::size_t end, std::int64_t n, bool counting) {
  const std::size_t bar = BarOf(line.text, start, end);
  if (bar == std::string::npos) throw LineFault{start, "a row needs a | between its inputs and its expected outputs"};
  VectorRow row;
  row.line = line.number;
  row.n = n;
  const std::int64_t counter = counting ? n : -1;
  const Side inputs{inputs_, "input"}, outputs{outputs_, "output"};
  row.inputs = ValuesOf(Columns(line.text, start, bar, counter, inputs), inputs, bar, InputOf);
  row.outputs = ValuesOf(Columns(line.text, bar + 1, end, counter, outputs), outputs, end, ExpectedOf);
  row.settingsLine = settingsLine_;
  row.settings = settings_;
  row.start = startLine_ != 0;
  settingsLine_ = startLine_ = 0;
  settings_.clear();
  return row;
}

VectorCount CountVectors(const std::string& bytes, const std::string& name, int inputs, int outputs) {
  VectorReader reader(bytes, name, inputs, outputs);
  VectorCount count;
  for (VectorRow row; reader.Next(row);) {
    ++(row.step == VectorStep::kSaves ? count.saves : row.step == VectorStep::kDelay ? count.delays : count.rows);
    count.settings += row.settingsLine ? 1 : 0;
  }
  return count;
}

}  // namespace host
