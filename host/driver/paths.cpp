#include "paths.h"
#include "utf16.h"

#include <vector>

namespace host {
namespace {

std::size_t LastSlash(const std::string& path) { return path.find_last_of("\\/"); }

DWORD Attributes(const std::string& path) { return GetFileAttributesW(SystemPath(path).c_str()); }

// Folders are the first to meet the limit: a file in one needs room for
// an 8.3 name behind it.
constexpr std::size_t kLongestPlainPath = MAX_PATH - 12;

bool HasLongPathPrefix(const std::wstring& path) { return path.compare(0, 4, L"\\\\?\\") == 0; }

}  // namespace

std::string FullPath(const std::string& path) {
  const std::wstring wide = WideFromUtf8(path);
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::vector<wchar_t> full(size);
  const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  return length && length < size ? Utf8FromWide(std::wstring(full.data(), length)) : path;
}

std::wstring SystemPath(const std::string& path) {
  const std::wstring wide = WideFromUtf8(path);
  if (wide.size() < kLongestPlainPath || HasLongPathPrefix(wide)) return wide;
  const std::wstring full = WideFromUtf8(FullPath(path));
  if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::string ProgramFolder() {
  std::vector<wchar_t> path(32768);
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
  std::wstring wide(path.data(), length);
  if (HasLongPathPrefix(wide)) wide.erase(0, 4);
  return FolderOf(Utf8FromWide(wide));
}

std::string FileName(const std::string& path) {
  const std::size_t slash = LastSlash(path);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = LastSlash(path);
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool IsBareName(const std::string& path) { return path.find_first_of("\\/:") == std::string::npos; }

bool Exists(const std::string& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace host
