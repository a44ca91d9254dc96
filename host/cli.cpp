#include "cli.h"

#include <windows.h>

#include <cstdio>

#include "host_file.h"
#include "text.h"

namespace host {

std::string Shown(const char* text) { return text ? Utf8FromWindows1252(text) : "(null)"; }

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  const std::size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? "." : folder.substr(0, slash);
}

std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::unique_ptr<PluginLibrary> LoadPlugin(const std::string& path) {
  auto library = std::make_unique<PluginLibrary>();
  library->Load(path);
  return library;
}

std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  char buffer[4096];
  if (path == "-") {
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) bytes.append(buffer, got);
    return bytes;
  }
  HostFile file;
  file.Open(path);
  return file.ReadRest();
}

std::vector<std::string> ShownNames(const std::vector<std::string>& windows1252) {
  std::vector<std::string> shown;
  for (const std::string& name : windows1252) shown.push_back(Utf8FromWindows1252(name));
  return shown;
}

bool TakeOption(std::vector<std::string>& arguments, const std::string& name, std::string& value) {
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    if (arguments[k] != name) continue;
    if (k + 1 == arguments.size()) throw Failure(name + " needs a value");
    value = arguments[k + 1];
    arguments.erase(arguments.begin() + long(k), arguments.begin() + long(k) + 2);
    return true;
  }
  return false;
}

}  // namespace host
