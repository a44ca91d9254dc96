#include "paths.h"

namespace host {
namespace {

std::size_t LastSlash(const std::string& path) { return path.find_last_of("\\/"); }

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

}  // namespace

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return FolderOf(path);
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
