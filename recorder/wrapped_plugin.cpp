#include "wrapped_plugin.h"

#include "plugin_interface.h"
#include "sha256.h"

extern "C" const unsigned char RecorderThunks[], RecorderThunksEnd[];

namespace recorder {
namespace trace = host::trace;
namespace {

constexpr std::uint32_t kThunkSize = 8;  // as thunks.S aligns them

bool SameText(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

void Append(char* into, std::size_t room, const char* text) {
  std::size_t k = 0;
  while (into[k]) ++k;
  while (*text && k + 1 < room) into[k++] = *text++;
  into[k] = 0;
}

void DescribeExport(Export& entry) {
  for (const host::EntryPointName& known : host::kEntryPoints)
    if (SameText(known.name, entry.name)) entry.slots = known.stackSlots;
  for (const trace::ArgumentRoles& roles : trace::kArgumentRoles)
    if (SameText(roles.name, entry.name)) entry.roles = roles.roles;
  for (const char* name : trace::kTextResults)
    if (SameText(name, entry.name)) entry.returnsText = true;
}

// VS_FIXEDFILEINFO's file version, found by its signature in the version
// resource: reading it takes no function outside kernel32.
bool FileVersion(HMODULE module, std::uint32_t version[2]) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const auto* bytes = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
  if (!bytes) return false;
  const DWORD size = SizeofResource(module, found);
  for (DWORD at = 0; at + 16 <= size; at += 4) {
    const auto* words = reinterpret_cast<const std::uint32_t*>(bytes + at);
    if (words[0] != 0xFEEF04BD) continue;
    version[0] = words[2];
    version[1] = words[3];
    return true;
  }
  return false;
}

void WriteVersion(Line& line, HMODULE plugin) {
  std::uint32_t version[2];
  if (!plugin || !FileVersion(plugin, version)) {
    line.Text("?");
    return;
  }
  line.Decimal(version[0] >> 16).Char('.').Decimal(version[0] & 0xFFFF).Char('.');
  line.Decimal(version[1] >> 16).Char('.').Decimal(version[1] & 0xFFFF);
}

// The version Windows itself reports (GetVersionEx reports 6.2 to a
// program without a manifest from Windows 8 on), and Wine's where it runs.
void WriteWindows(Line& line) {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  using WineVersionFn = const char*(__cdecl*)();
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(ntdll ? GetProcAddress(ntdll, "RtlGetVersion") : nullptr));
  if (!rtlGetVersion || rtlGetVersion(&info) != 0) {
    OSVERSIONINFOA basic = {};
    basic.dwOSVersionInfoSize = sizeof basic;
    GetVersionExA(&basic);
    info.dwMajorVersion = basic.dwMajorVersion;
    info.dwMinorVersion = basic.dwMinorVersion;
    info.dwBuildNumber = basic.dwBuildNumber;
  }
  line.Decimal(info.dwMajorVersion).Char('.').Decimal(info.dwMinorVersion).Char('.').Decimal(info.dwBuildNumber);
  if (info.wServicePackMajor) line.Text(" SP").Decimal(info.wServicePackMajor);
  auto wineVersion = reinterpret_cast<WineVersionFn>(
      reinterpret_cast<void*>(ntdll ? GetProcAddress(ntdll, "wine_get_version") : nullptr));
  if (wineVersion) line.Text(" (Wine ").Text(wineVersion()).Char(')');
}

void WriteTwoDigits(Line& line, unsigned value) { line.Char(char('0' + value / 10)).Char(char('0' + value % 10)); }

// What LoadLibrary's errors say of a file that is there.
struct LoadError {
  DWORD code;
  const char* meaning;
};
constexpr LoadError kLoadErrors[] = {
    {ERROR_FILE_NOT_FOUND, "ERROR_FILE_NOT_FOUND: the file is gone"},
    {ERROR_PATH_NOT_FOUND, "ERROR_PATH_NOT_FOUND: the file is gone"},
    {ERROR_ACCESS_DENIED, "ERROR_ACCESS_DENIED: the file may not be read"},
    {ERROR_NOT_ENOUGH_MEMORY, "ERROR_NOT_ENOUGH_MEMORY"},
    {ERROR_MOD_NOT_FOUND, "ERROR_MOD_NOT_FOUND: a DLL the part needs is missing"},
    {ERROR_PROC_NOT_FOUND, "ERROR_PROC_NOT_FOUND: a function the part needs is missing from a DLL"},
    {ERROR_BAD_EXE_FORMAT, "ERROR_BAD_EXE_FORMAT: the file is no 32-bit Windows DLL"},
    {ERROR_DLL_INIT_FAILED, "ERROR_DLL_INIT_FAILED: the part's DllMain refused to load"},
};

// The system's own words where the table has none: in the language of the
// user's Windows, quoted, since they may hold any byte.
void WriteSystemText(Line& line, DWORD error) {
  char text[256];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                sizeof text, nullptr);
  while (length && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) --length;
  if (length) line.Char(' ').Quoted(text, length);
}

}  // namespace

bool PluginFilePresent(const char* path) {
  const HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return true;
  }
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

void WriteLoadError(Line& line, DWORD error) {
  line.Text("error ").Decimal(error);
  for (const LoadError& known : kLoadErrors)
    if (known.code == error) {
      line.Text(", ").Text(known.meaning);
      return;
    }
  WriteSystemText(line, error);
}

bool FindPlace(HMODULE self, Place& place) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  if (!length || length >= MAX_PATH - 1) return false;
  DWORD slash = length, dot = length;
  while (slash && path[slash - 1] != '\\' && path[slash - 1] != '/') --slash;
  for (DWORD k = slash; k < length; ++k)
    if (path[k] == '.') dot = k;
  if (dot - slash >= sizeof place.base) return false;
  for (DWORD k = slash; k < dot; ++k) place.base[k - slash] = path[k];
  place.base[dot - slash] = 0;
  path[slash] = 0;  // the folder, with its backslash
  place.pluginPath[0] = place.settingsPath[0] = 0;
  const char* const pluginPieces[] = {path, place.base, "\\", place.base, ".dll"};
  for (const char* piece : pluginPieces) Append(place.pluginPath, MAX_PATH, piece);
  const char* const settingsPieces[] = {path, place.base, "-recorder.txt"};
  for (const char* piece : settingsPieces) Append(place.settingsPath, MAX_PATH, piece);
  return true;
}

void BindExports(HMODULE self, HMODULE plugin, Export (&exports)[kThunks]) {
  const auto* image = reinterpret_cast<const unsigned char*>(self);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(image + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const auto* table = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(image + directory.VirtualAddress);
  const auto* names = reinterpret_cast<const DWORD*>(image + table->AddressOfNames);
  const auto* ordinals = reinterpret_cast<const WORD*>(image + table->AddressOfNameOrdinals);
  const auto* functions = reinterpret_cast<const DWORD*>(image + table->AddressOfFunctions);
  for (DWORD i = 0; i < table->NumberOfNames; ++i) {
    const unsigned char* function = image + functions[ordinals[i]];
    if (function < RecorderThunks || function >= RecorderThunksEnd) continue;
    Export& entry = exports[std::uint32_t(function - RecorderThunks) / kThunkSize];
    entry.name = reinterpret_cast<const char*>(image + names[i]);
    entry.target = plugin ? reinterpret_cast<const void*>(GetProcAddress(plugin, entry.name)) : nullptr;
    DescribeExport(entry);
  }
}

void WriteHead(Line& line, const Place& place, HMODULE plugin, bool sse) {
  line.Text(trace::kFirstLine).Char(' ').Decimal(trace::kFormatVersion).End();
  line.Text(trace::kRecorderKey).Char(' ').Text(RECORDER_VERSION).End();
  line.Text(trace::kPartKey).Char(' ').Text(place.pluginPath).End();
  line.Text(trace::kPartVersionKey).Char(' ');
  WriteVersion(line, plugin);
  char sha[65];
  line.End().Text(trace::kPartSha256Key).Char(' ').Text(checksum::FileSha256(place.pluginPath, sha) ? sha : "?").End();
  line.Text(trace::kWindowsKey).Char(' ');
  WriteWindows(line);
  line.End().Text(trace::kSseKey).Char(' ').Text(sse ? "yes" : "no").End();
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, MAX_PATH - 1);
  line.Text(trace::kProcessKey).Char(' ').Decimal(GetCurrentProcessId()).Char(' ').Text(program).End();
  SYSTEMTIME now;
  GetLocalTime(&now);
  line.Text(trace::kStartedKey).Char(' ').Decimal(now.wYear).Char('-');
  WriteTwoDigits(line, now.wMonth);
  line.Char('-');
  WriteTwoDigits(line, now.wDay);
  line.Char(' ');
  WriteTwoDigits(line, now.wHour);
  line.Char(':');
  WriteTwoDigits(line, now.wMinute);
  line.Char(':');
  WriteTwoDigits(line, now.wSecond);
  line.End();
}

}  // namespace recorder
