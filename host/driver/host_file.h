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
  void Create(const std::string& path);
  void Open(const std::string& path);
  // An unnamed scratch file that disappears when closed.
  void CreateScratch();

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  // The handle as the host passes it to WriteToFile and ReadFromFile.
  std::uint32_t Argument() const;

  bool Write(const std::string& bytes);
  std::string ReadRest();
  long Position() const;
  void Seek(long at);

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The last system error as one line of text.
std::string SystemErrorText(DWORD code);

}  // namespace host
