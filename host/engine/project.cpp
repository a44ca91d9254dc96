#include "project.h"

#include <algorithm>
#include <map>

#include "failure.h"
#include "host_file.h"
#include "paths.h"
#include "plugin_interface.h"
#include "project_format.h"
#include "settings_text.h"
#include "shown_text.h"
#include "words.h"

namespace host {
namespace {

class Libraries {
 public:
  Libraries(std::vector<std::unique_ptr<PluginLibrary>>& owned, FaultGuard& guard) : owned_(owned), guard_(guard) {}
  // The library of a DLL, loaded once however many parts use it.
  PluginLibrary& Get(const std::string& path) {
    auto known = byPath_.find(path);
    if (known != byPath_.end()) return *known->second;
    owned_.push_back(std::make_unique<PluginLibrary>(&guard_));
    owned_.back()->Load(path);
    return *(byPath_[path] = owned_.back().get());
  }

 private:
  std::vector<std::unique_ptr<PluginLibrary>>& owned_;
  FaultGuard& guard_;
  std::map<std::string, PluginLibrary*> byPath_;
};

// The file's own line starts, and behind the last line its size.
std::vector<std::size_t> FileStarts(const ProjectLayout& layout, std::size_t size) {
  std::vector<std::size_t> starts;
  for (const FileLine& line : layout.lines) starts.push_back(line.start);
  starts.push_back(size);
  return starts;
}

// Lets each part's plug-in read its block through one handle on the file
// (or on its copy with CR LF restored) and checks that it stopped right
// behind the marker; then takes down what the part says of itself.
class BlockReader {
 public:
  BlockReader(const std::string& path, const ProjectLayout& layout, HostFile& file, const std::string& handed,
              std::vector<std::size_t> starts)
      : path_(path), layout_(layout), file_(file), handed_(handed), starts_(std::move(starts)) {}

  void Read(const std::string& pluginFolder, FaultGuard& guard, LoadedProject& project) {
    Libraries libraries(project.libraries, guard);
    for (const ProjectPart& part : layout_.parts) {
      LoadedPart loaded;
      loaded.number = part.number;
      loaded.dll = part.dll;
      loaded.file = LocateDll(part.dll, FolderOf(path_), pluginFolder);
      loaded.instance = std::make_unique<PartInstance>(libraries.Get(loaded.file));
      loaded.block = ReadBlock(part, *loaded.instance);
      loaded.blockStart = long(layout_.BlockStart(part));
      loaded.blockEnd = long(layout_.BlockEnd(part));
      loaded.displayName = ShownPluginText(loaded.instance->Library().DisplayName());
      loaded.delayFlag = loaded.instance->HasDelay();
      loaded.writtenBack = loaded.instance->SavedBlock();
      project.parts.push_back(std::move(loaded));
    }
  }

 private:
  std::string ReadBlock(const ProjectPart& part, PartInstance& instance) {
    const std::size_t from = starts_[part.firstBlockLine], to = starts_[part.markerLine + 1];
    file_.Seek(long(from));
    instance.Read(file_.Argument());
    const std::size_t taken = std::size_t(file_.Position()) - from;
    if (taken != to - from)
      throw Failure(path_ + ": line " + std::to_string(layout_.lines[part.firstBlockLine].number) + " (byte " +
                    std::to_string(layout_.BlockStart(part)) + "): the ReadFromFile of part " +
                    std::to_string(part.number) + " (" + Quoted(part.dll, TextEncoding::kWindows1252) + ") took " +
                    std::to_string(taken) + " bytes of its " + std::to_string(to - from) +
                    "-byte block, not up to its end marker and no further");
    return handed_.substr(from, taken);
  }

  const std::string& path_;
  const ProjectLayout& layout_;
  HostFile& file_;
  const std::string& handed_;
  const std::vector<std::size_t> starts_;
};

// The lines the layout has a role for, numbered: "  5  host   PART 2 Morrel.dll".
std::string ListedLines(const ProjectLayout& layout) {
  const std::size_t width = std::to_string(layout.lines.size()).size();
  std::string listed;
  for (std::size_t k = 0; k < layout.roles.size(); ++k) {
    const std::string number = std::to_string(layout.lines[k].number);
    const std::string text = ShownWindows1252(layout.lines[k].text);
    listed += "  " + std::string(width - number.size(), ' ') + number;
    if (layout.roles[k] != LineRole::kBlank)
      listed += (layout.roles[k] == LineRole::kHost ? "  host " : "  block") + (text.empty() ? "" : "  " + text);
    listed += "\n";
  }
  return listed;
}

// What is wrong with a block a part wrote, or empty.
std::string WhyNotABlock(const std::string& block) {
  if (block.empty()) return "wrote nothing";
  if (!EndsWithMarker(block))
    return "wrote " + std::to_string(block.size()) + " bytes without the end marker " +
           std::string(kEndMarker).substr(0, kEndMarkerSize - 2) + " at their end";
  return "";
}

}  // namespace

PartRequest ParsePartRequest(const std::string& argument) {
  const std::size_t equals = argument.rfind('=');
  if (equals == std::string::npos) return {argument, ""};
  return {argument.substr(0, equals), argument.substr(equals + 1)};
}

std::vector<SavedPart> SaveProject(const std::string& path, const std::vector<PartRequest>& requests,
                                   const std::string& userFolder, const std::string& pluginFolder, FaultGuard& guard) {
  CheckWritable(path);
  std::vector<std::unique_ptr<PluginLibrary>> owned;
  Libraries libraries(owned, guard);
  std::vector<std::unique_ptr<PartInstance>> instances;
  std::vector<SavedPart> saved;
  for (const PartRequest& request : requests) {
    saved.push_back({"", LocateDll(request.dll, userFolder, pluginFolder)});
    instances.push_back(std::make_unique<PartInstance>(libraries.Get(saved.back().file)));
    if (!request.settings.empty()) instances.back()->LoadSettings(SettingsBlock(request.settings));
  }
  FileReplacement file(path);
  file.Write(std::string(kProjectHeading) + "\r\n");
  std::vector<std::pair<long, long>> blocks;
  for (std::size_t k = 0; k < instances.size(); ++k) {
    file.Write(PartLine(int(k + 1), requests[k].dll) + "\r\n");
    const long start = file.File().Position();
    instances[k]->Write(file.File().Argument());
    blocks.push_back({start, file.File().Position()});
  }
  file.Write("END\r\n");
  file.File().Seek(0);
  const std::string bytes = file.File().ReadRest();
  for (std::size_t k = 0; k < instances.size(); ++k) {
    saved[k].block = bytes.substr(std::size_t(blocks[k].first), std::size_t(blocks[k].second - blocks[k].first));
    const std::string why = WhyNotABlock(saved[k].block);
    if (!why.empty())
      throw Failure("cannot save " + path + ": the WriteToFile of part " + std::to_string(k + 1) + " (" +
                    requests[k].dll + ") " + why);
  }
  // What a plug-in wrote must not break the format for the reader.
  ProjectLayout layout;
  try {
    ReadProjectLayout(bytes, path, layout);
  } catch (const Failure& failure) {
    throw Failure("cannot save " + path + ", for it would not read back: " + failure.what());
  }
  file.Commit();
  return saved;
}

void LoadProject(const std::string& path, const std::string& pluginFolder, FaultGuard& guard, LoadedProject& project) {
  HostFile file;
  file.Open(path);
  const std::string bytes = file.ReadRest();
  ProjectLayout layout;
  ReadProjectLayout(bytes, path, layout);
  project.lineEndings = layout.LineEndings();
  if (!layout.HasLinesWithoutCrLf())
    return BlockReader(path, layout, file, bytes, FileStarts(layout, bytes.size())).Read(pluginFolder, guard, project);
  // The plug-ins find their marker only with its CR LF.
  HostFile copy;
  const std::string restored = layout.WithCrLf();
  copy.CreateScratch();
  if (!copy.Write(restored))
    throw Failure("cannot write a scratch copy of " + path + ": " + SystemErrorText(GetLastError()));
  project.crLfRestored = true;
  BlockReader(path, layout, copy, restored, layout.CrLfStarts()).Read(pluginFolder, guard, project);
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
  if (layout.HasLinesWithoutCrLf()) description += " (load gives the plug-ins their blocks with CR LF)";
  description += "\n" + ListedLines(layout);
  return description;
}

}  // namespace host
