#include "part.h"

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

void WriteVersion(Line& line, HMODULE part) {
  std::uint32_t version[2];
  if (!part || !FileVersion(part, version)) {
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

}  // namespace

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
  place.partPath[0] = place.settingsPath[0] = 0;
  const char* const partPieces[] = {path, place.base, "\\", place.base, ".dll"};
  for (const char* piece : partPieces) Append(place.partPath, MAX_PATH, piece);
  const char* const settingsPieces[] = {path, place.base, "-recorder.txt"};
  for (const char* piece : settingsPieces) Append(place.settingsPath, MAX_PATH, piece);
  return true;
}

void BindExports(HMODULE self, HMODULE part, Export (&exports)[kThunks]) {
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
    entry.target = part ? reinterpret_cast<const void*>(GetProcAddress(part, entry.name)) : nullptr;
    DescribeExport(entry);
  }
}

void WriteHead(Line& line, const Place& place, HMODULE part, bool sse) {
  line.Text(trace::kFirstLine).Char(' ').Decimal(trace::kFormatVersion).End();
  line.Text(trace::kRecorderKey).Char(' ').Text(RECORDER_VERSION).End();
  line.Text(trace::kPartKey).Char(' ').Text(place.partPath).End();
  line.Text(trace::kPartVersionKey).Char(' ');
  WriteVersion(line, part);
  char sha[65];
  line.End().Text(trace::kPartSha256Key).Char(' ').Text(checksum::FileSha256(place.partPath, sha) ? sha : "?").End();
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
