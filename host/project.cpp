#include "project.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>

#include "cli.h"
#include "host_file.h"
#include "plugin_interface.h"
#include "text.h"

namespace host {
namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A bare DLL name is looked for beside the project, then where the loader
// looks (beside hostsim first); a path is taken as it is.
std::string Locate(const std::string& dll, const std::string& projectFolder, const std::string& pluginFolder) {
  if (dll.find_first_of("\\/:") != std::string::npos) return dll;
  for (const std::string& folder : {projectFolder, pluginFolder})
    if (Exists(folder + "\\" + dll)) return folder + "\\" + dll;
  return dll;
}

class Libraries {
 public:
  explicit Libraries(std::vector<std::unique_ptr<PluginLibrary>>& owned) : owned_(owned) {}
  // The library of a DLL, loaded once however many parts use it.
  PluginLibrary& Get(const std::string& path) {
    auto known = byPath_.find(path);
    if (known != byPath_.end()) return *known->second;
    owned_.push_back(std::make_unique<PluginLibrary>());
    owned_.back()->Load(path);
    return *(byPath_[path] = owned_.back().get());
  }

 private:
  std::vector<std::unique_ptr<PluginLibrary>>& owned_;
  std::map<std::string, PluginLibrary*> byPath_;
};

std::vector<std::string> Values(const std::string& list) {
  std::vector<std::string> values;
  std::istringstream items(list);
  for (std::string value; std::getline(items, value, ',');) values.push_back(value);
  return values;
}

bool IsInteger(const std::string& text, long long& value) {
  char* end = nullptr;
  value = std::strtoll(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0';
}

bool SameValue(const std::string& given, const std::string& held) {
  const std::string a = WithoutTrailingBlanks(given), b = WithoutTrailingBlanks(held);
  long long x, y;
  return a == b || (IsInteger(a, x) && IsInteger(b, y) && x == y);
}

// The file's own line starts, and behind the last line its size.
std::vector<std::size_t> FileStarts(const ProjectLayout& layout, std::size_t size) {
  std::vector<std::size_t> starts;
  for (const FileLine& line : layout.lines) starts.push_back(line.start);
  starts.push_back(size);
  return starts;
}

// Lets each part's plug-in read its block through `file`, whose lines
// begin at `starts`, and checks it stopped right behind the marker.
void ReadBlocks(const std::string& path, const ProjectLayout& layout, HostFile& file, const std::string& handed,
                const std::vector<std::size_t>& starts, const std::string& pluginFolder, LoadedProject& project) {
  Libraries libraries(project.libraries);
  for (const ProjectPart& part : layout.parts) {
    LoadedPart loaded;
    loaded.number = part.number;
    loaded.dll = part.dll;
    loaded.library = &libraries.Get(Locate(part.dll, FolderOf(path), pluginFolder));
    loaded.part = std::make_unique<PlacedPart>(*loaded.library);
    const std::size_t from = starts[part.firstBlockLine], to = starts[part.markerLine + 1];
    file.Seek(long(from));
    loaded.library->ReadFromFile(file.Argument(), loaded.part->Record());
    const std::size_t taken = std::size_t(file.Position()) - from;
    if (taken != to - from)
      throw Failure(path + ": line " + std::to_string(layout.lines[part.firstBlockLine].number) + " (byte " +
                    std::to_string(layout.BlockStart(part)) + "): the ReadFromFile of part " +
                    std::to_string(part.number) + " (" + Visible(part.dll) + ") took " + std::to_string(taken) +
                    " bytes of its " + std::to_string(to - from) +
                    "-byte block, not up to its end marker and no further");
    loaded.block = handed.substr(from, taken);
    loaded.blockStart = long(layout.BlockStart(part));
    loaded.blockEnd = long(layout.BlockEnd(part));
    project.parts.push_back(std::move(loaded));
  }
}

// The lines the layout has a role for, numbered: "  5  host   PART 2 Morrel.dll".
std::string ListedLines(const ProjectLayout& layout) {
  const std::size_t width = std::to_string(layout.lines.size()).size();
  std::string listed;
  for (std::size_t k = 0; k < layout.roles.size(); ++k) {
    const std::string number = std::to_string(layout.lines[k].number);
    const std::string text = Visible(layout.lines[k].text);
    listed += "  " + std::string(width - number.size(), ' ') + number;
    if (layout.roles[k] != LineRole::kBlank)
      listed += (layout.roles[k] == LineRole::kHost ? "  host " : "  block") + (text.empty() ? "" : "  " + text);
    listed += "\n";
  }
  return listed;
}

}  // namespace

PartRequest ParsePartRequest(const std::string& argument) {
  const std::size_t equals = argument.rfind('=');
  if (equals == std::string::npos) return {argument, ""};
  return {argument.substr(0, equals), argument.substr(equals + 1)};
}

std::string SettingsBlock(const std::string& values) {
  std::string block;
  for (const std::string& value : Values(values)) block += value + "\r\n";
  return block + kEndMarker;
}

std::string SettingsOfBlock(const std::string& block) {
  std::vector<FileLine> lines = SplitLines(block, 0);
  if (!lines.empty() && WithoutTrailingBlanks(lines.back().text) + "\r\n" == kEndMarker) lines.pop_back();
  std::string values;
  for (const FileLine& line : lines) values += (values.empty() ? "" : ",") + line.text;
  return Visible(values);
}

std::string SettingsNotTaken(const std::string& given, const std::string& held) {
  const std::vector<std::string> values = Values(given), kept = Values(held);
  std::vector<std::size_t> missed;
  for (std::size_t k = 0; k < values.size(); ++k)
    if (k >= kept.size() || !SameValue(values[k], kept[k])) missed.push_back(k);
  if (missed.empty()) return {};
  std::string shown, numbers;
  for (std::size_t k = 0; k < missed.size(); ++k) {
    const char* separator = k == 0 ? "" : k + 1 == missed.size() ? " and " : ", ";
    shown += std::string(k == 0 ? "" : ", ") + Visible(values[missed[k]]);
    numbers += separator + std::to_string(missed[k] + 1);
  }
  return shown + (missed.size() == 1 ? " (value " : " (values ") + numbers + ")";
}

std::vector<std::string> SaveProject(const std::string& path, const std::vector<PartRequest>& requests,
                                     const std::string& pluginFolder) {
  std::vector<std::unique_ptr<PluginLibrary>> owned;
  Libraries libraries(owned);
  std::vector<std::unique_ptr<PlacedPart>> parts;
  for (const PartRequest& request : requests) {
    parts.push_back(std::make_unique<PlacedPart>(libraries.Get(Locate(request.dll, ".", pluginFolder))));
    if (!request.settings.empty()) parts.back()->LoadSettings(SettingsBlock(request.settings));
  }
  {
    HostFile file;
    file.Create(path);
    bool written = file.Write(std::string(kProjectHeading) + "\r\n");
    for (std::size_t k = 0; k < parts.size(); ++k) {
      written = written && file.Write(PartLine(int(k + 1), requests[k].dll) + "\r\n");
      const long before = file.Position();
      parts[k]->Library().WriteToFile(file.Argument(), parts[k]->Record());
      written = written && file.Position() > before;
    }
    written = written && file.Write("END\r\n");
    if (!written) throw Failure("cannot write " + path + ": " + SystemErrorText(GetLastError()));
  }
  // What a plug-in wrote must not break the format for the reader.
  ProjectLayout layout;
  std::string bytes;
  try {
    HostFile saved;
    saved.Open(path);
    bytes = saved.ReadRest();
    ReadProjectLayout(bytes, path, layout);
  } catch (const Failure& failure) {
    throw Failure(std::string("saved, but the file does not read back: ") + failure.what());
  }
  std::vector<std::string> blocks;
  for (const ProjectPart& part : layout.parts)
    blocks.push_back(bytes.substr(layout.BlockStart(part), layout.BlockEnd(part) - layout.BlockStart(part)));
  return blocks;
}

void LoadProject(const std::string& path, const std::string& pluginFolder, LoadedProject& project) {
  HostFile file;
  file.Open(path);
  const std::string bytes = file.ReadRest();
  ProjectLayout layout;
  ReadProjectLayout(bytes, path, layout);
  project.lineEndings = layout.LineEndings();
  if (!layout.HasLfLines())
    return ReadBlocks(path, layout, file, bytes, FileStarts(layout, bytes.size()), pluginFolder, project);
  // The plug-ins find their marker only with its CR LF.
  HostFile copy;
  const std::string restored = layout.WithCrLf();
  copy.CreateScratch();
  if (!copy.Write(restored))
    throw Failure("cannot write a scratch copy of " + path + ": " + SystemErrorText(GetLastError()));
  project.crLfRestored = true;
  return ReadBlocks(path, layout, copy, restored, layout.CrLfStarts(), pluginFolder, project);
}

std::string DescribeProject(const std::string& path, std::string& fault) {
  HostFile file;
  file.Open(path);
  const std::string bytes = file.ReadRest();
  ProjectLayout layout;
  try {
    ReadProjectLayout(bytes, path, layout);
  } catch (const Failure& failure) {
    if (std::find(layout.roles.begin(), layout.roles.end(), LineRole::kHost) == layout.roles.end()) throw;
    fault = failure.what();
  }
  std::string description =
      FileName(path) + ": " + std::to_string(bytes.size()) + " bytes, " + Counted(layout.parts.size(), "part");
  if (layout.byteOrderMark) description += ", a UTF-8 byte-order mark";
  if (!layout.LineEndings().empty()) description += ", lines ending in " + layout.LineEndings();
  if (layout.HasLfLines()) description += " (load gives the plug-ins their blocks with CR LF)";
  description += "\n" + ListedLines(layout);
  return description;
}

}  // namespace host
