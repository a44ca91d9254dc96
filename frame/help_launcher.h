// Opens a topic of the compiled help file through the platform's HTML Help
// control, which no deliverable links against: the control is found and
// loaded at the first request, its ANSI entry point fetched by ordinal, and
// both are kept for as long as the library stays loaded.
//
// The binding is written against a handful of platform calls passed in as
// plain function pointers: the Windows ones in the DLLs, a fake in tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace frame {

constexpr std::size_t kHelpControlPathSize = 260;
constexpr char kHelpControlKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr char kHelpControlName[] = "hhctrl.ocx";
constexpr unsigned kHtmlHelpOrdinal = 14;
constexpr std::uint32_t kHelpContextCommand = 15;  // HH_HELP_CONTEXT

struct HelpPlatform {
  // Opens `subKey` under HKEY_CLASSES_ROOT for reading; true when it is open.
  bool (*openClassesKey)(const char* subKey, void** key);
  // Reads the key's default value into `buffer`, announcing `size` bytes;
  // true when it was read. A value stored without a NUL arrives without one.
  bool (*queryDefaultValue)(void* key, char* buffer, std::uint32_t size);
  void (*closeKey)(void* key);
  // A module handle, or null.
  void* (*loadLibrary)(const char* file);
  // The module's export of that ordinal, or null.
  void* (*fetchOrdinal)(void* module, unsigned ordinal);
  // Calls an HtmlHelpA entry point with its four arguments.
  std::uintptr_t (*callEntry)(void* entry, void* caller, const char* file, std::uint32_t command, std::uintptr_t data);
};

class HelpLauncher {
 public:
  explicit constexpr HelpLauncher(const HelpPlatform& platform) : platform_(platform) {}

  // Passes the four arguments to HtmlHelpA unchanged and gives its result;
  // 0 when the control cannot be bound. A failed load is never tried again;
  // a missing entry point is fetched again at every call.
  std::uintptr_t CallHtmlHelp(void* caller, const char* file, std::uint32_t command, std::uintptr_t data);

  // The registered file of the control; false when the key or its value is
  // missing, or when the value fills the buffer without a terminating NUL.
  bool QueryHelpControlPath(char (&path)[kHelpControlPathSize]) const;

 private:
  void LoadControl();

  const HelpPlatform& platform_;
  void* controlModule_ = nullptr;
  void* entryPoint_ = nullptr;
  std::int32_t failureLatch_ = 0;
};

// The help file in the folder of the library whose full file name is given.
// A name without a folder gives an empty path, which the help control
// simply fails to open.
std::string HelpFilePathBeside(const std::string& libraryFileName);

}  // namespace frame
