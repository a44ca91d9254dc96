#include "project.h"

#include <cstdio>
#include <map>
#include <sstream>

#include "host_file.h"
#include "plugin_interface.h"
#include "text.h"

namespace host {
namespace {

const std::string kMarker = kEndMarker;

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
  PluginLibrary* Get(const std::string& path, std::string& error) {
    auto known = byPath_.find(path);
    if (known != byPath_.end()) return known->second;
    owned_.push_back(std::make_unique<PluginLibrary>());
    error = owned_.back()->Load(path);
    if (!error.empty()) return nullptr;
    return byPath_[path] = owned_.back().get();
  }

 private:
  std::vector<std::unique_ptr<PluginLibrary>>& owned_;
  std::map<std::string, PluginLibrary*> byPath_;
};

// "PART 3 Morrel.dll" gives 3 and Morrel.dll.
bool ParsePartLine(const std::string& line, int& number, std::string& dll) {
  std::istringstream words(line);
  std::string keyword;
  if (!(words >> keyword >> number) || keyword != "PART" || number < 1) return false;
  std::getline(words >> std::ws, dll);
  return !dll.empty();
}

std::string Visible(const std::string& windows1252) {
  std::string shown;
  for (unsigned char byte : windows1252) {
    if (byte < 0x20 || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      shown += escape;
    } else {
      shown += char(byte);
    }
  }
  return Utf8FromWindows1252(shown);
}

}  // namespace

PartRequest ParsePartRequest(const std::string& argument) {
  const std::size_t equals = argument.rfind('=');
  if (equals == std::string::npos) return {argument, ""};
  return {argument.substr(0, equals), argument.substr(equals + 1)};
}

std::string SettingsBlock(const std::string& values) {
  std::string block;
  std::istringstream list(values);
  for (std::string value; std::getline(list, value, ',');) block += value + "\r\n";
  return block + kMarker;
}

std::string SettingsOfBlock(const std::string& block) {
  std::string text = block;
  if (text.size() >= kMarker.size() && text.compare(text.size() - kMarker.size(), kMarker.size(), kMarker) == 0)
    text.erase(text.size() - kMarker.size());
  std::string values;
  std::size_t from = 0;
  for (std::size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
    values += (values.empty() ? "" : ",") + text.substr(from, end - from);
  if (from < text.size()) values += (values.empty() ? "" : ",") + text.substr(from);
  return Visible(values);
}

std::string SaveProject(const std::string& path, const std::vector<PartRequest>& requests,
                        const std::string& pluginFolder) {
  std::vector<std::unique_ptr<PluginLibrary>> owned;
  Libraries libraries(owned);
  std::vector<std::unique_ptr<PlacedPart>> parts;
  for (const PartRequest& request : requests) {
    std::string error;
    PluginLibrary* library = libraries.Get(Locate(request.dll, ".", pluginFolder), error);
    if (!library) return error;
    parts.push_back(std::make_unique<PlacedPart>(*library));
    if (!request.settings.empty()) parts.back()->LoadSettings(SettingsBlock(request.settings));
  }
  HostFile file;
  if (std::string error = file.Create(path); !error.empty()) return error;
  bool written = file.Write(std::string(kProjectHeading) + "\r\n");
  for (std::size_t k = 0; k < parts.size(); ++k) {
    written = written && file.Write("PART " + std::to_string(k + 1) + " " + requests[k].dll + "\r\n");
    const long before = file.Position();
    parts[k]->Library().WriteToFile(file.Argument(), parts[k]->Record());
    written = written && file.Position() > before;
  }
  written = written && file.Write("END\r\n");
  return written ? "" : "cannot write " + path + ": " + SystemErrorText(GetLastError());
}

std::string LoadProject(const std::string& path, const std::string& pluginFolder, LoadedProject& project) {
  HostFile file;
  if (std::string error = file.Open(path); !error.empty()) return error;
  std::string line;
  if (!file.ReadLine(line) || line != kProjectHeading) return path + " is not a hostsim project";
  Libraries libraries(project.libraries);
  while (true) {
    const long lineStart = file.Position();
    if (!file.ReadLine(line)) return path + ": ends without END";
    if (line == "END") return {};
    LoadedPart loaded;
    if (!ParsePartLine(line, loaded.number, loaded.dll)) {
      const std::string where = project.parts.empty()
                                    ? "after the first line"
                                    : "after the block of part " + std::to_string(project.parts.back().number);
      return path + ": byte " + std::to_string(lineStart) + ", " + where + ": expected PART or END, found \"" +
             Visible(line) + "\"";
    }
    std::string error;
    loaded.library = libraries.Get(Locate(loaded.dll, FolderOf(path), pluginFolder), error);
    if (!loaded.library) return error;
    loaded.part = std::make_unique<PlacedPart>(*loaded.library);
    loaded.blockStart = file.Position();
    loaded.library->ReadFromFile(file.Argument(), loaded.part->Record());
    loaded.blockEnd = file.Position();
    project.parts.push_back(std::move(loaded));
  }
}

std::string DescribeProject(const std::string& path, std::string& description) {
  HostFile file;
  if (std::string error = file.Open(path); !error.empty()) return error;
  const std::string text = file.ReadRest();
  if (text.compare(0, sizeof kProjectHeading - 1, kProjectHeading) != 0) return path + " is not a hostsim project";
  bool inBlock = false;
  int parts = 0;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t end = text.find('\n', from);
    end = end == std::string::npos ? text.size() : end + 1;
    std::string line = text.substr(from, end - from);
    from = end;
    const bool endsBlock = inBlock && line.find(kMarker.substr(0, kMarker.size() - 2)) != std::string::npos;
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) line.erase(line.size() - 2);
    description += std::string(inBlock ? "  block  " : "  host   ") + Visible(line) + "\n";
    int number;
    std::string dll;
    if (!inBlock && ParsePartLine(line, number, dll)) {
      inBlock = true;
      ++parts;
    } else if (endsBlock) {
      inBlock = false;
    }
  }
  description = path.substr(path.find_last_of("\\/") + 1) + ": " + std::to_string(text.size()) + " bytes, " + std::to_string(parts) + " parts\n" + description;
  return {};
}

}  // namespace host
