#include "plugin_fixture.h"

#include <windows.h>

namespace test {

namespace {
std::string FullPath(const std::string& path) {
  char full[MAX_PATH] = {};
  const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  return length && length < MAX_PATH ? full : path;
}
}  // namespace

std::string TestFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.erase(folder.find_last_of('\\') + 1);
}

// The shipped files are built into bin/ beside the tests' folder; a test
// run against another copy of them (an unpacked release) names its folder
// in KORVELANT_PLUGIN_DIR.
std::string PluginFolder() {
  char named[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("KORVELANT_PLUGIN_DIR", named, MAX_PATH);
  std::string folder = length && length < MAX_PATH ? FullPath(named) : FullPath(TestFolder() + "..\\bin");
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

std::string PluginPath(const char* dll) { return PluginFolder() + dll; }

void LoadSettings(host::PluginLibrary& library, unsigned char* record, const std::string& block) {
  ProjectFile file;
  file.Write(block);
  file.Seek(0);
  library.ReadFromFile(file.Argument(), record);
}

}  // namespace test
