#include "project_format.h"

#include <algorithm>

#include "failure.h"
#include "plugin_interface.h"
#include "shown_text.h"
#include "utf16.h"

namespace host {

bool EndsWithMarker(const std::string& block) {
  return block.size() >= kEndMarkerSize &&
         block.compare(block.size() - kEndMarkerSize, kEndMarkerSize, kEndMarker) == 0;
}
namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr TextEncoding kWindows1252 = TextEncoding::kWindows1252;

// The marker as a line, without its CR LF.
const std::string kMarkerLine = std::string(kEndMarker).substr(0, kEndMarkerSize - 2);

bool IsDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// "PART 3 Morrel.dll": true for the keyword PART followed by a number;
// `number` is -1 and `dll` empty where the rest is not one.
bool IsPartLine(const std::string& line, int& number, std::string& dll) {
  number = -1;
  dll.clear();
  if (line.compare(0, 5, "PART ") != 0) return false;
  const std::size_t digits = line.find_first_not_of(' ', 5);
  if (digits == std::string::npos) return true;
  const std::size_t blank = line.find(' ', digits);
  const std::string written = line.substr(digits, blank == std::string::npos ? std::string::npos : blank - digits);
  if (!IsDigits(written) || written.size() > 9) return true;
  number = std::stoi(written);
  if (blank != std::string::npos) {
    const std::size_t name = line.find_first_not_of(' ', blank);
    if (name != std::string::npos) dll = line.substr(name);
  }
  return true;
}

// Old Mac editors end lines in CR alone; such a file is told by its first
// line end, as a lone CR in another file may be a block's own byte.
bool EndsLinesInCrAlone(const std::string& bytes, std::size_t from) {
  const std::size_t lineBreak = bytes.find_first_of("\r\n", from);
  return lineBreak != std::string::npos && bytes[lineBreak] == '\r' && bytes.compare(lineBreak, 2, "\r\n") != 0;
}

// Reads the lines in turn and throws a Failure where the first one breaks
// the format.
class LayoutReader {
 public:
  LayoutReader(const std::string& name, std::size_t fileSize, ProjectLayout& layout)
      : name_(name), fileSize_(fileSize), layout_(layout) {}

  void Read() {
    const std::vector<FileLine>& lines = layout_.lines;
    std::size_t at = SkipBlank(0);
    if (at == lines.size()) throw Failure(name_ + " is not a hostsim project: it is empty");
    Heading(lines[at]);
    Role(LineRole::kHost);
    for (at = at + 1; at < lines.size(); ++at) {
      const std::string text = WithoutTrailingBlanks(lines[at].text);
      if (inBlock_) {
        BlockLine(at, text);
      } else if (text.empty()) {
        Role(LineRole::kBlank);
      } else if (text == "END") {
        AfterEnd(at);
        return;
      } else {
        StartPart(at, text);
      }
    }
    if (inBlock_)
      throw Failure(At(lines.size(), "the file ends inside the block of " + Part(layout_.parts.back()) +
                                         ": its end marker " + kMarkerLine + " is missing"));
    throw Failure(At(lines.size(), "the file ends without END " + After()));
  }

 private:
  std::size_t SkipBlank(std::size_t at) {
    for (; at < layout_.lines.size() && WithoutTrailingBlanks(layout_.lines[at].text).empty(); ++at)
      Role(LineRole::kBlank);
    return at;
  }

  void Heading(const FileLine& line) {
    const std::string text = WithoutTrailingBlanks(line.text);
    if (text == kProjectHeading) return;
    if (text.compare(0, 16, "HOSTSIM PROJECT ") == 0)
      throw Failure(At(
          line, Quoted(text, kWindows1252) + " is a format this hostsim does not read; it reads " + kProjectHeading));
    throw Failure(name_ + " is not a hostsim project: its first line is " + Quoted(text, kWindows1252) + ", not " +
                  kProjectHeading);
  }

  void StartPart(std::size_t at, const std::string& text) {
    ProjectPart part;
    part.partLine = at;
    if (!IsPartLine(text, part.number, part.dll) || part.number < 0 || part.dll.empty())
      throw Failure(Where(layout_.lines[at]) + ", " + After() + ": expected PART or END, found " +
                    Quoted(text, kWindows1252));
    const int expected = int(layout_.parts.size()) + 1;
    if (part.number == 0) throw Failure(At(at, Quoted(text, kWindows1252) + ": parts are numbered from 1"));
    if (part.number < expected)
      throw Failure(At(at, Quoted(text, kWindows1252) + " repeats the number of the part in line " +
                               std::to_string(layout_.lines[layout_.parts[part.number - 1].partLine].number) +
                               "; parts are numbered 1, 2, 3 ... in order, so this one is " +
                               std::to_string(expected)));
    if (part.number > expected)
      throw Failure(At(at, Quoted(text, kWindows1252) + " where part " + std::to_string(expected) +
                               " comes next; parts are numbered 1, 2, 3 ... in order"));
    part.firstBlockLine = at + 1;
    layout_.parts.push_back(part);
    inBlock_ = true;
    Role(LineRole::kHost);
  }

  // A line reading like one of the host's means the block lost its marker.
  void BlockLine(std::size_t at, const std::string& text) {
    int number;
    std::string dll;
    if (text == "END" || (IsPartLine(text, number, dll) && number >= 0))
      throw Failure(At(at, Quoted(text, kWindows1252) + " inside the block of " + Part(layout_.parts.back()) +
                               ": the block ends without its end marker " + kMarkerLine));
    Role(LineRole::kBlock);
    if (text == kMarkerLine) {
      layout_.parts.back().markerLine = at;
      inBlock_ = false;
    }
  }

  void AfterEnd(std::size_t at) {
    Role(LineRole::kHost);
    const std::size_t rest = SkipBlank(at + 1);
    if (rest == layout_.lines.size()) return;
    throw Failure(At(rest, Quoted(WithoutTrailingBlanks(layout_.lines[rest].text), kWindows1252) +
                               " after END; nothing but blank lines may follow it"));
  }

  std::string After() const {
    if (layout_.parts.empty()) return "after the first line";
    return "after the block of part " + std::to_string(layout_.parts.back().number);
  }

  std::string Part(const ProjectPart& part) const {
    return "part " + std::to_string(part.number) + " (" + Quoted(part.dll, kWindows1252) + ", line " +
           std::to_string(layout_.lines[part.partLine].number) + ")";
  }

  // "NAME: line 5 (byte 67): reason"; the line behind the last is where
  // the file ends.
  std::string At(std::size_t at, const std::string& reason) const {
    if (at < layout_.lines.size()) return At(layout_.lines[at], reason);
    FileLine end;
    end.number = layout_.lines.empty() ? 1 : layout_.lines.back().number + 1;
    end.start = fileSize_;
    return At(end, reason);
  }
  std::string At(const FileLine& line, const std::string& reason) const { return Where(line) + ": " + reason; }
  std::string Where(const FileLine& line) const {
    return name_ + ": line " + std::to_string(line.number) + " (byte " + std::to_string(line.start) + ")";
  }

  void Role(LineRole role) { layout_.roles.push_back(role); }

  const std::string& name_;
  const std::size_t fileSize_;
  ProjectLayout& layout_;
  bool inBlock_ = false;
};

}  // namespace

LineReader::LineReader(const std::string& bytes, std::size_t from)
    : bytes_(bytes), at_(from), lineBreaks_(EndsLinesInCrAlone(bytes, from) ? "\r\n" : "\n") {}

bool LineReader::Next(FileLine& line) {
  if (at_ >= bytes_.size()) return false;
  line = {};
  line.number = ++number_;
  line.start = at_;
  const std::size_t lineBreak = bytes_.find_first_of(lineBreaks_, at_);
  std::size_t textEnd = lineBreak == std::string::npos ? bytes_.size() : lineBreak, next = textEnd + 1;
  if (lineBreak == std::string::npos) {
    next = bytes_.size();
  } else if (bytes_.compare(lineBreak, 2, "\r\n") == 0) {  // found so where lines end in CR alone
    line.end = LineEnd::kCrLf;
    next = lineBreak + 2;
  } else if (bytes_[lineBreak] == '\r') {
    line.end = LineEnd::kCr;
  } else if (lineBreak > at_ && bytes_[lineBreak - 1] == '\r') {
    line.end = LineEnd::kCrLf;
    --textEnd;
  } else {
    line.end = LineEnd::kLf;
  }
  line.text = bytes_.substr(at_, textEnd - at_);
  at_ = next;
  return true;
}

std::vector<FileLine> SplitLines(const std::string& bytes, std::size_t from) {
  std::vector<FileLine> lines;
  LineReader reader(bytes, from);
  for (FileLine line; reader.Next(line);) lines.push_back(line);
  return lines;
}

void ReadProjectLayout(const std::string& bytes, const std::string& name, ProjectLayout& layout) {
  layout = {};
  // The plug-ins read their blocks byte by byte as 8-bit text, and a
  // converted copy would move every byte offset the host names.
  if (const std::string utf16 = Utf16Encoding(bytes); !utf16.empty())
    throw Failure(name + " is saved as " + utf16 +
                  "; a project is 8-bit text, which the plug-ins read byte by byte: save it as 8-bit (ANSI) text");
  if (bytes.compare(0, 3, kByteOrderMark) == 0) layout.byteOrderMark = 3;
  layout.lines = SplitLines(bytes, layout.byteOrderMark);
  LayoutReader(name, bytes.size(), layout).Read();
}

bool ProjectLayout::HasLinesWithoutCrLf() const {
  for (const FileLine& line : lines)
    if (line.end == LineEnd::kLf || line.end == LineEnd::kCr) return true;
  return false;
}

std::string ProjectLayout::LineEndings() const {
  const struct {
    LineEnd end;
    const char* name;
  } kinds[] = {{LineEnd::kCrLf, "CR LF"}, {LineEnd::kLf, "LF"}, {LineEnd::kCr, "CR"}};
  std::vector<std::string> found;
  for (const auto& kind : kinds)
    if (std::any_of(lines.begin(), lines.end(), [&](const FileLine& line) { return line.end == kind.end; }))
      found.push_back(kind.name);
  std::string names;
  for (std::size_t k = 0; k < found.size(); ++k)
    names += (k == 0 ? "" : k + 1 == found.size() ? " and " : ", ") + found[k];
  return names;
}

std::string ProjectLayout::WithCrLf() const {
  std::string text(kByteOrderMark, byteOrderMark);
  for (const FileLine& line : lines) text += line.text + (line.end == LineEnd::kNone ? "" : "\r\n");
  return text;
}

std::vector<std::size_t> ProjectLayout::CrLfStarts() const {
  std::vector<std::size_t> starts;
  std::size_t at = byteOrderMark;
  for (const FileLine& line : lines) {
    starts.push_back(at);
    at += line.text.size() + (line.end == LineEnd::kNone ? 0 : 2);
  }
  starts.push_back(at);
  return starts;
}

std::string WithoutTrailingBlanks(const std::string& text) {
  std::size_t end = text.size();
  while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return text.substr(0, end);
}

std::string PartLine(int number, const std::string& dll) { return "PART " + std::to_string(number) + " " + dll; }

}  // namespace host
