// Long inputs for the readers' tests, made of a piece written once.
#pragma once

#include <cstddef>
#include <string>

namespace test {

inline std::string Repeated(const std::string& text, std::size_t times) {
  std::string all;
  for (std::size_t k = 0; k < times; ++k) all += text;
  return all;
}

}  // namespace test
