// Small pieces of the texts hostsim writes, shared by the driver, the engine
// and the commands.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace host {

// "a, b, c" for ", ".
inline std::string Joined(const std::vector<std::string>& parts, const char* separator) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : separator) + part;
  return text;
}

// "0x037F" for (0x37F, 4): a register's value as the processor's manuals
// write it.
inline std::string HexNumber(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*lX", digits, static_cast<unsigned long>(value));
  return text;
}

// "1 part", "0 parts", "3 parts": a count with its noun.
inline std::string Counted(std::size_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

}  // namespace host
