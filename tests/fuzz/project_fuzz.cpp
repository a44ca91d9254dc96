// Any bytes may stand where hostsim expects a project file. A layout it
// accepts numbers its parts 1, 2, ... with each block ending in the marker,
// and the file as the plug-ins get it (every line ending in CR LF) reads as
// the same layout. A file it refuses is named, and where the Failure names
// a line and a byte, that byte is where the line starts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "failure.h"
#include "project_format.h"
#include "require.h"

namespace {

using fuzz::Require;

const std::string kName = "fuzzed.hsp";
const std::string kMarkerLine = "ENDE_MARKE_DER_USER_DLL";

std::string BlockOf(const host::ProjectLayout& layout, const host::ProjectPart& part) {
  std::string block;
  for (std::size_t line = part.firstBlockLine; line <= part.markerLine; ++line) block += layout.lines.at(line).text;
  return block;
}

void RequireParts(const host::ProjectLayout& layout) {
  for (std::size_t k = 0; k < layout.parts.size(); ++k) {
    const host::ProjectPart& part = layout.parts[k];
    Require(part.number == int(k + 1) && !part.dll.empty() && part.firstBlockLine == part.partLine + 1);
    Require(part.markerLine >= part.firstBlockLine && part.markerLine + 1 < layout.lines.size());
    Require(host::WithoutTrailingBlanks(layout.lines.at(part.markerLine).text) == kMarkerLine);
    Require(layout.BlockStart(part) < layout.BlockEnd(part));
  }
}

void RequireSameParts(const host::ProjectLayout& layout, const host::ProjectLayout& again) {
  Require(again.parts.size() == layout.parts.size() && !again.HasLinesWithoutCrLf());
  for (std::size_t k = 0; k < layout.parts.size(); ++k) {
    Require(again.parts[k].dll == layout.parts[k].dll);
    Require(BlockOf(again, again.parts[k]) == BlockOf(layout, layout.parts[k]));
  }
}

void RequireAccepted(const host::ProjectLayout& layout) {
  RequireParts(layout);
  const std::string withCrLf = layout.WithCrLf();
  Require(layout.CrLfStarts().back() == withCrLf.size());
  host::ProjectLayout again;
  host::ReadProjectLayout(withCrLf, kName, again);
  RequireSameParts(layout, again);
}

// "NAME: line N (byte B)...", B where line N starts or, one line
// behind the last, the file's size; or a refusal of the whole file.
void RequireLocated(const std::string& failure, const std::string& file) {
  if (failure.rfind(kName + " is ", 0) == 0) return;
  const std::size_t byteOrderMark = file.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  const std::vector<host::FileLine> lines = host::SplitLines(file, byteOrderMark);
  std::size_t at = 0, line = 0;
  std::string name, lineText, byteText;
  Require(fuzz::ReadUpTo(failure, at, ": line ", name) && name == kName);
  Require(fuzz::ReadUpTo(failure, at, " (byte ", lineText) && fuzz::ReadNumber(lineText, lines.size() + 1, line));
  Require(fuzz::ReadUpTo(failure, at, ")", byteText));
  const std::size_t start = line <= lines.size() ? lines[line - 1].start : file.size();
  Require(byteText == std::to_string(start));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  host::ProjectLayout layout;
  const std::string failure = host::FailureOf([&] { host::ReadProjectLayout(file, kName, layout); });
  if (failure.empty())
    RequireAccepted(layout);
  else
    RequireLocated(failure, file);
  return 0;
}
