#include "host_file.h"

#include "failure.h"
#include "paths.h"

namespace host {

HostFile::~HostFile() {
  if (IsOpen()) CloseHandle(handle_);
}

std::string SystemErrorText(DWORD code) {
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                      text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() &&
         (message.back() == '\n' || message.back() == '\r' || message.back() == '.' || message.back() == ' '))
    message.pop_back();
  return message.empty() ? "error " + std::to_string(code) : message;
}

namespace {

// Why a path cannot be opened, in the words of what the user gave.
std::string WhyNotOpened(const std::string& what, const std::string& path) {
  const DWORD error = GetLastError();
  if (IsFolder(path)) return "cannot " + what + " " + path + ": it is a folder";
  if (error == ERROR_PATH_NOT_FOUND && FolderOf(path) != ".")
    return "cannot " + what + " " + path + ": there is no folder " + FolderOf(path);
  return "cannot " + what + " " + path + ": " + SystemErrorText(error);
}

void ExpectOpened(HANDLE handle, const std::string& what, const std::string& path) {
  if (handle == INVALID_HANDLE_VALUE) throw Failure(WhyNotOpened(what, path));
}

}  // namespace

void HostFile::Create(const std::string& path) {
  handle_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
  ExpectOpened(handle_, "create", path);
}

void HostFile::Open(const std::string& path) {
  handle_ =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ExpectOpened(handle_, "open", path);
}

void HostFile::CreateScratch() {
  char folder[MAX_PATH], name[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "hst", 0, name))
    throw Failure("cannot name a scratch file: " + SystemErrorText(GetLastError()));
  handle_ = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  ExpectOpened(handle_, "create", name);
}

// Plug-ins use only the low 16 bits; handles of a process fit into them.
std::uint32_t HostFile::Argument() const {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle_));
}

bool HostFile::Write(const std::string& bytes) {
  DWORD written = 0;
  return WriteFile(handle_, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
}

std::string HostFile::ReadRest() {
  std::string rest;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(handle_, buffer, sizeof buffer, &got, nullptr) && got) rest.append(buffer, got);
  return rest;
}

long HostFile::Position() const { return long(SetFilePointer(handle_, 0, nullptr, FILE_CURRENT)); }

void HostFile::Seek(long at) { SetFilePointer(handle_, at, nullptr, FILE_BEGIN); }

}  // namespace host
