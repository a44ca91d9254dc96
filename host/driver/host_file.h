// A file the host holds open and shares with plug-ins by handle. The host
// reads and writes through the same handle, with no buffer of its own in
// between, so that where a plug-in leaves the file position is exactly
// where the host continues.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace host {

class HostFile {
 public:
  HostFile() = default;
  HostFile(const HostFile&) = delete;
  HostFile& operator=(const HostFile&) = delete;
  ~HostFile();

  // Each throws a Failure that names the file and the reason.
  void Open(const std::string& path);
  // An unnamed scratch file that disappears when closed.
  void CreateScratch();
  // A file that must not exist yet; false, with the system's error for
  // GetLastError, where it cannot be made.
  bool CreateNew(const std::string& path);
  void Close();

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  // The handle as the host passes it to WriteToFile and ReadFromFile.
  std::uint32_t Argument() const;

  bool Write(const std::string& bytes);
  std::string ReadRest();
  std::string ReadUpTo(std::size_t limit);
  long Position() const;
  void Seek(long at);

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// A file to be written, checked before the work that makes its bytes:
// throws a Failure where it is a folder or its folder does not exist.
void CheckWritable(const std::string& path);

// A file written whole. Its bytes go into a temporary file in the same
// folder, which takes the file's place by a rename only once complete:
// until then, and after any failure, the file is as it was, and the
// temporary file is gone when this object is.
class FileReplacement {
 public:
  // Throws a Failure as CheckWritable, or where the folder takes no file.
  explicit FileReplacement(const std::string& target);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  const std::string& Target() const { return target_; }
  // The temporary file's handle, for plug-ins to write on.
  HostFile& File() { return file_; }
  // Each throws a Failure that names the target and what the system said.
  void Write(const std::string& bytes);
  void Commit();

 private:
  std::string target_, temporary_;
  HostFile file_;
  bool committed_ = false;
};

// `bytes` as the whole of the file at `path`, by a FileReplacement.
void WriteWholeFile(const std::string& path, const std::string& bytes);

// The last system error as one line of text.
std::string SystemErrorText(DWORD code);

}  // namespace host
