// What a fuzz target asserts: a broken promise ends the run, and libFuzzer
// keeps the input that broke it.
#pragma once

#include <cstdlib>
#include <string>

namespace fuzz {

inline void Require(bool condition) {
  if (!condition) std::abort();
}

// Whether `text` is a whole number from 1 to `most` in decimal; `number`
// then holds it.
inline bool ReadNumber(const std::string& text, std::size_t most, std::size_t& number) {
  number = 0;
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + std::size_t(c - '0');
  }
  return number >= 1 && number <= most;
}

// The text of `message` from `at` to the first `end`, and `at` moved
// behind that end; false where there is no such end.
inline bool ReadUpTo(const std::string& message, std::size_t& at, const std::string& end, std::string& text) {
  const std::size_t found = message.find(end, at);
  if (found == std::string::npos) return false;
  text = message.substr(at, found - at);
  at = found + end.size();
  return true;
}

}  // namespace fuzz
