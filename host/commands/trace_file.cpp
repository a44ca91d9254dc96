#include "trace_file.h"

#include <windows.h>

#include "options.h"
#include "paths.h"

namespace host {
namespace {

// A trace's file, read where the reader asks: it is never held whole.
class FileTraceSource : public TraceSource {
 public:
  explicit FileTraceSource(const std::string& path) : path_(path) {
    file_ = CreateFileW(SystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size = {};
    if (file_ == INVALID_HANDLE_VALUE || !GetFileSizeEx(file_, &size))
      throw Failure("cannot read " + path + ": " + (IsFolder(path) ? "it is a folder" : "no such file"));
    size_ = std::uint64_t(size.QuadPart);
  }
  ~FileTraceSource() override { CloseHandle(file_); }
  FileTraceSource(const FileTraceSource&) = delete;
  FileTraceSource& operator=(const FileTraceSource&) = delete;

  std::uint64_t Size() const override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t room) override {
    LARGE_INTEGER at;
    at.QuadPart = LONGLONG(offset);
    DWORD got = 0;
    if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) || !ReadFile(file_, buffer, DWORD(room), &got, nullptr))
      throw Failure("cannot read " + path_ + " at byte " + std::to_string(offset));
    return got;
  }

 private:
  std::string path_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::uint64_t size_ = 0;
};

}  // namespace

void ReadTraceAt(const std::string& path, Trace& trace, const std::function<void(const TraceCall&)>& call) {
  if (path == "-") {
    static const std::string input = ReadInput(path);
    TextTraceSource source(input);
    return ReadTrace(source, "standard input", trace, call);
  }
  FileTraceSource source(path);
  ReadTrace(source, path, trace, call);
}

}  // namespace host
