// Texts the host's tests make from others: long inputs of a piece written
// once, a file with one piece of it changed throughout.
#pragma once

#include <cstddef>
#include <string>

namespace test {

inline std::string Repeated(const std::string& text, std::size_t times) {
  std::string all;
  for (std::size_t k = 0; k < times; ++k) all += text;
  return all;
}

// `text` with every `from` made `to`.
inline std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace test
