#include "host_file.h"

#include <algorithm>
#include <vector>

#include "failure.h"
#include "paths.h"
#include "utf16.h"

namespace host {

HostFile::~HostFile() { Close(); }

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
std::string WhyNotOpened(const std::string& what, const std::string& path, DWORD error) {
  if (IsFolder(path)) return "cannot " + what + " " + path + ": it is a folder";
  if (error == ERROR_PATH_NOT_FOUND && FolderOf(path) != ".")
    return "cannot " + what + " " + path + ": there is no folder " + FolderOf(path);
  return "cannot " + what + " " + path + ": " + SystemErrorText(error);
}

HANDLE CreateWide(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
  return CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
}

// Beside the target, so that moving it into place is a rename within one
// folder; named for this process, so that two runs do not meet.
std::string TemporaryNameFor(const std::string& target) {
  return target + "." + std::to_string(GetCurrentProcessId()) + ".hostsim-tmp";
}

}  // namespace

void HostFile::Open(const std::string& path) {
  handle_ = CreateWide(SystemPath(path), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (handle_ == INVALID_HANDLE_VALUE) throw Failure(WhyNotOpened("open", path, GetLastError()));
}

void HostFile::CreateScratch() {
  wchar_t folder[MAX_PATH + 1], name[MAX_PATH + 1];
  if (!GetTempPathW(MAX_PATH + 1, folder) || !GetTempFileNameW(folder, L"hst", 0, name))
    throw Failure("cannot name a scratch file: " + SystemErrorText(GetLastError()));
  handle_ = CreateWide(name, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE);
  if (handle_ == INVALID_HANDLE_VALUE) throw Failure(WhyNotOpened("create", Utf8FromWide(name), GetLastError()));
}

bool HostFile::CreateNew(const std::string& path) {
  handle_ = CreateWide(SystemPath(path), GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
  return IsOpen();
}

void HostFile::Close() {
  if (IsOpen()) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

// Plug-ins use only the low 16 bits; handles of a process fit into them.
std::uint32_t HostFile::Argument() const {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle_));
}

bool HostFile::Write(const std::string& bytes) {
  DWORD written = 0;
  return WriteFile(handle_, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
}

std::string HostFile::ReadRest() { return ReadUpTo(std::string::npos); }

std::string HostFile::ReadUpTo(std::size_t limit) {
  std::string rest;
  std::vector<char> buffer(4096);
  DWORD got = 0;
  while (rest.size() < limit &&
         ReadFile(handle_, buffer.data(), DWORD(std::min(buffer.size(), limit - rest.size())), &got, nullptr) && got)
    rest.append(buffer.data(), got);
  return rest;
}

long HostFile::Position() const { return long(SetFilePointer(handle_, 0, nullptr, FILE_CURRENT)); }

void HostFile::Seek(long at) { SetFilePointer(handle_, at, nullptr, FILE_BEGIN); }

void CheckWritable(const std::string& path) {
  if (IsFolder(path)) throw Failure("cannot create " + path + ": it is a folder");
  if (!IsFolder(FolderOf(FullPath(path))))
    throw Failure("cannot create " + path + ": there is no folder " + FolderOf(path));
}

FileReplacement::FileReplacement(const std::string& target) : target_(target), temporary_(TemporaryNameFor(target)) {
  CheckWritable(target);
  if (!file_.CreateNew(temporary_)) throw Failure("cannot create " + target + ": " + SystemErrorText(GetLastError()));
}

FileReplacement::~FileReplacement() {
  if (committed_) return;
  file_.Close();
  DeleteFileW(SystemPath(temporary_).c_str());
}

void FileReplacement::Write(const std::string& bytes) {
  if (!file_.Write(bytes)) throw Failure("cannot write " + target_ + ": " + SystemErrorText(GetLastError()));
}

void FileReplacement::Commit() {
  file_.Close();
  if (!MoveFileExW(SystemPath(temporary_).c_str(), SystemPath(target_).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    throw Failure("cannot replace " + target_ + ": " + SystemErrorText(GetLastError()));
  committed_ = true;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  FileReplacement file(path);
  file.Write(bytes);
  file.Commit();
}

}  // namespace host
