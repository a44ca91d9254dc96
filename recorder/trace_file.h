// Where a recorder's trace goes, and how it gets there: one WriteFile per
// record, so that a crash of the host keeps every record before it (the
// system writes them out on its own time: no flush per call, which would
// make a long simulation crawl), and a cap, past which records are only
// counted.
#pragma once

#include <windows.h>

#include <cstdint>

#include "line.h"

namespace recorder {

// What the recorder's own text file beside it (<module>-recorder.txt)
// may change; without the file, the defaults.
struct Settings {
  char folder[MAX_PATH] = {};         // empty: %TEMP%
  std::uint32_t limitMegabytes = 64;  // the cap
};

// Reads "key = value" lines ("#" starts a comment): folder, limit-mb.
void ReadSettings(const char* path, Settings& settings);

class TraceFile {
 public:
  // A new file <base>-<date>-<time>-<pid>[-n].txt in the settings' folder;
  // false where none can be made.
  bool Create(const Settings& settings, const char* base);
  bool IsOpen() const { return handle_ != nullptr; }
  const char* Path() const { return path_; }

  // A record, or past the cap only its count.
  void Write(const Line& line);
  // A note that comes whatever the cap (the trace's last lines).
  void WriteAnyway(const Line& line);
  std::uint32_t LeftOut() const { return leftOut_; }
  void Close();

 private:
  HANDLE handle_ = nullptr;  // constant: the recorder runs no constructors
  char path_[MAX_PATH] = {};
  std::uint64_t written_ = 0, cap_ = 0;
  std::uint32_t leftOut_ = 0;
};

}  // namespace recorder
