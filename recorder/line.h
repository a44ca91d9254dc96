// One record of the trace, built in a fixed buffer: the recorder has no
// heap of its own and links no C++ runtime.
#pragma once

#include <cstddef>
#include <cstdint>

#include "trace_format.h"

namespace recorder {

// The text of a line, in a buffer its owner (SizedLine) gives.
class Line {
 public:
  constexpr Line(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {}
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  void Clear() { size_ = 0; }
  Line& Text(const char* text);
  Line& Append(const char* text, std::size_t count);
  // Inline, as are the loops over characters: a call per character would
  // be most of a record's cost.
  Line& Char(char c) {
    if (HasRoom(1)) buffer_[size_++] = c;
    return *this;
  }
  Line& Decimal(std::uint32_t value);
  Line& Hex(std::uint32_t value, int digits);
  // Hex pairs, a run of four or more equal bytes as {XX*COUNT}.
  Line& Bytes(const unsigned char* bytes, std::size_t count);
  // {??*COUNT}: bytes the record leaves out.
  Line& LeftOut(std::uint32_t count);
  // In double quotes, every byte but printable ASCII as \xNN.
  Line& Quoted(const char* text, std::size_t count);
  // " key=" before a field.
  Line& Key(const char* key);
  // CR LF.
  Line& End();

  const char* Data() const { return buffer_; }
  std::size_t Size() const { return size_; }

 private:
  // Room for `count` more characters and the line's end, so that a line
  // cut where its buffer ends still ends.
  bool HasRoom(std::size_t count) const { return size_ + count + 2 <= capacity_; }
  void Pair(unsigned char byte);
  Line& CutBytes(const unsigned char* bytes, std::size_t count);

  char* buffer_;
  std::size_t capacity_;
  std::size_t size_ = 0;
};

// A short line with its buffer; constant-initialised, so that a global one
// needs no constructor run. Its buffer lies in the initialised data, as
// the line's pointer to it does: the record line's is kept apart.
template <std::size_t kCapacity>
class SizedLine : public Line {
 public:
  constexpr SizedLine() : Line(storage_, kCapacity) {}

 private:
  char storage_[kCapacity] = {};
};

// The longest record: one region of kMaxRegionBytes as hex pairs, with
// room for the call's other fields and small regions (pins, signals, a
// returned text).
constexpr std::size_t kMaxRecordBytes = 2 * host::trace::kMaxRegionBytes + 64 * 1024;

}  // namespace recorder
