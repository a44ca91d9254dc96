#include "help_launcher.h"

#include <cstring>

namespace frame {

std::uintptr_t HelpLauncher::CallHtmlHelp(void* caller, const char* file, std::uint32_t command, std::uintptr_t data) {
  if (!controlModule_) {
    if (failureLatch_) return 0;
    LoadControl();
    if (!controlModule_) {
      failureLatch_ = 1;
      return 0;
    }
  }
  if (!entryPoint_) {
    entryPoint_ = platform_.fetchOrdinal(controlModule_, kHtmlHelpOrdinal);
    if (!entryPoint_) {
      failureLatch_ = 1;
      return 0;
    }
  }
  return platform_.callEntry(entryPoint_, caller, file, command, data);
}

// The registered file first; where there is none or it will not load, the
// platform's search for the bare name.
void HelpLauncher::LoadControl() {
  char path[kHelpControlPathSize];
  if (QueryHelpControlPath(path)) controlModule_ = platform_.loadLibrary(path);
  if (!controlModule_) controlModule_ = platform_.loadLibrary(kHelpControlName);
}

bool HelpLauncher::QueryHelpControlPath(char (&path)[kHelpControlPathSize]) const {
  void* key = nullptr;
  if (!platform_.openClassesKey(kHelpControlKey, &key)) return false;
  // Zeroed first, so a value stored without its NUL still ends where the
  // value ends, unless it fills the whole buffer.
  std::memset(path, 0, sizeof path);
  const bool read = platform_.queryDefaultValue(key, path, sizeof path);
  platform_.closeKey(key);
  return read && std::memchr(path, 0, sizeof path) != nullptr;
}

std::string HelpFilePathBeside(const std::string& libraryFileName) {
  const std::size_t lastBackslash = libraryFileName.rfind('\\');
  if (lastBackslash == std::string::npos) return std::string();
  return libraryFileName.substr(0, lastBackslash) + "\\korvelant.chm";
}

}  // namespace frame
