// Where a recorder's trace goes, and how it gets there. The file is written
// through a mapped view, so that a record costs a copy and no call of the
// system, and a host that dies keeps every record written before: the
// system writes a dead process's pages of a mapped file like any other.
// Only a window of the file is mapped at a time, as the host is a 32-bit
// process whose address space is its own.
//
// The cap keeps both ends (docs/formats.md, "The cap"): the first part, then a ring
// of two halves for the last records, the older half given up for each
// new one.
#pragma once

#include <windows.h>

#include <cstdint>

#include "line.h"

namespace recorder {

// What the recorder's own text file beside it (<module>-recorder.txt)
// may change; without the file, the defaults.
struct Settings {
  char folder[MAX_PATH] = {};  // empty: %TEMP%
  // In MB; 0 where the file does not say.
  std::uint32_t limit = 0, first = 0, last = 0;
};

// Reads "key = value" lines ("#" starts a comment): folder, limit-mb,
// first-mb, last-mb.
void ReadSettings(const char* path, Settings& settings);

// The cap's two sizes in bytes, from the settings: limit-mb is the whole
// trace, first-mb and last-mb split it, the one not given takes the rest,
// and with neither a quarter is kept for the beginning.
struct CapSizes {
  std::uint32_t first, ring;
};
CapSizes CapOf(const Settings& settings);

// Calls a range of records holds, and how many records.
struct CallSpan {
  std::uint32_t first = 0, last = 0, records = 0;
  void Add(std::uint32_t call);
  void Add(const CallSpan& span);
};

class TraceFile {
 public:
  // A new file <base>-<date>-<time>-<pid>[-n].txt in the settings' folder;
  // false where none can be made.
  bool Create(const Settings& settings, const char* base);
  bool IsOpen() const { return file_ != nullptr; }
  const char* Path() const { return path_; }

  // The head's line "cap FIRST RING".
  void WriteCapKey(Line& head) const;
  // A record, of call `call` (0 for a note), whole: in the first part
  // while it fits, then in the ring.
  void Write(const Line& line, std::uint32_t call = 0);
  // The note of what the ring left out, where it did; the rest of the
  // half given up is cleared, and the file ends after its last text.
  void Close();

 private:
  void BeginHalf();
  void WriteLeftOut();
  // Copies `count` bytes to file offset `at` so that the text seen there
  // ends before them until all are there.
  void Put(std::uint32_t at, const char* bytes, std::uint32_t count);
  // Zeroes [from, to) up to the highest offset written.
  void Clear(std::uint32_t from, std::uint32_t to);
  // The view's address of file offset `at`, mapped with [at, end) in view.
  char* Map(std::uint32_t at, std::uint32_t end);
  void Unmap();

  // All zero at the start: the recorder runs no constructors.
  HANDLE file_ = nullptr, mapping_ = nullptr;
  char* view_ = nullptr;
  std::uint32_t viewAt_ = 0, viewEnd_ = 0, mappingSize_ = 0;
  char path_[MAX_PATH] = {};
  CapSizes cap_ = {};
  std::uint32_t at_ = 0, end_ = 0, highest_ = 0;
  std::uint32_t part_ = 0;  // the ring's half being written, from 1; 0 in the first part
  CallSpan halves_[2] = {}, leftOut_ = {};
};

}  // namespace recorder
