// One record of the trace, built in a fixed buffer: the recorder has no
// heap of its own and links no C++ runtime.
#pragma once

#include <cstddef>
#include <cstdint>

namespace recorder {

class Line {
 public:
  static constexpr std::size_t kCapacity = 48 * 1024;

  void Clear() { size_ = 0; }
  Line& Text(const char* text);
  Line& Char(char c);
  Line& Decimal(std::uint32_t value);
  Line& Hex(std::uint32_t value, int digits);
  // Hex pairs, a run of four or more equal bytes as {XX*COUNT}.
  Line& Bytes(const unsigned char* bytes, std::size_t count);
  // In double quotes, every byte but printable ASCII as \xNN.
  Line& Quoted(const char* text, std::size_t count);
  // " key=" before a field.
  Line& Key(const char* key);
  // CR LF.
  Line& End();

  const char* Data() const { return buffer_; }
  std::size_t Size() const { return size_; }

 private:
  char buffer_[kCapacity] = {};  // initialized, so that a Line needs no constructor run
  std::size_t size_ = 0;
};

}  // namespace recorder
