// The project file as the host reads it before any plug-in sees it: which
// lines are the host's, which belong to a part's block, and where a file
// breaks the format (the format: docs/formats.md, "Project files").
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace host {

constexpr char kProjectHeading[] = "HOSTSIM PROJECT 1";

// Whether a part's block ends with the interface's end marker and its CR LF.
bool EndsWithMarker(const std::string& block);

enum class LineEnd { kCrLf, kLf, kCr, kNone };

struct FileLine {
  int number = 0;         // 1 for the first line
  std::size_t start = 0;  // byte offset in the file
  std::string text;       // without its line end
  LineEnd end = LineEnd::kNone;
};

enum class LineRole { kHost, kBlank, kBlock };

struct ProjectPart {
  int number = 0;
  std::string dll;
  std::size_t partLine = 0;  // indices into the layout's lines
  std::size_t firstBlockLine = 0;
  std::size_t markerLine = 0;
};

struct ProjectLayout {
  std::size_t byteOrderMark = 0;  // its length: 0 or 3
  std::vector<FileLine> lines;
  std::vector<LineRole> roles;  // of the lines read before a fault
  std::vector<ProjectPart> parts;

  // Lines ending in LF or CR alone, which the plug-ins cannot read.
  bool HasLinesWithoutCrLf() const;
  // "CR LF", "LF", "CR", "CR LF and LF" ...; empty for a file without line
  // ends.
  std::string LineEndings() const;
  // The file as the plug-ins must read it: every line ending in CR LF.
  std::string WithCrLf() const;
  // Where each line starts in WithCrLf().
  std::vector<std::size_t> CrLfStarts() const;
  // Block of a part in the file: from its first byte to behind the
  // marker's line end.
  std::size_t BlockStart(const ProjectPart& part) const { return lines[part.firstBlockLine].start; }
  std::size_t BlockEnd(const ProjectPart& part) const { return lines[part.markerLine + 1].start; }
};

// The lines from `from` on. A line ends in LF, with or without CR before
// it; in a file whose first line ends in CR alone, in CR alone too.
std::vector<FileLine> SplitLines(const std::string& bytes, std::size_t from);

// The same lines one at a time, for a reader whose memory must not grow
// with the number of lines. It reads `bytes` in place: they must outlive it.
class LineReader {
 public:
  LineReader(const std::string& bytes, std::size_t from);
  // The next line; false behind the last.
  bool Next(FileLine& line);

 private:
  const std::string& bytes_;
  std::size_t at_;
  const char* lineBreaks_;
  int number_ = 0;
};

// Fills the layout of a well-formed project, else throws a Failure "NAME:
// line N (byte B): what is wrong" (or "NAME is not a hostsim project:
// ..."); the roles then cover the lines up to the fault. A file saved as
// UTF-16 is refused as such.
void ReadProjectLayout(const std::string& bytes, const std::string& name, ProjectLayout& layout);

std::string WithoutTrailingBlanks(const std::string& text);

// "PART 3 Morrel.dll" as the writer puts it.
std::string PartLine(int number, const std::string& dll);

}  // namespace host
