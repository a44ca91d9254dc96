#include "plugin_fixture.h"

#include <windows.h>

namespace test {

// The DLLs are built into the folder of the test programs.
std::string PluginPath(const char* dll) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  folder.erase(folder.find_last_of('\\') + 1);
  return folder + dll;
}

void LoadSettings(host::PluginLibrary& library, unsigned char* record, const std::string& block) {
  ProjectFile file;
  file.Write(block);
  file.Seek(0);
  library.ReadFromFile(file.Argument(), record);
}

}  // namespace test
