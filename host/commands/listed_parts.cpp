#include "listed_parts.h"

#include "failure.h"
#include "options.h"
#include "paths.h"

namespace host {

namespace {

constexpr std::size_t kLongestList = 64 << 10;  // bytes: thousands of parts

}  // namespace

std::vector<std::string> ListedParts(const std::string& folder) {
  const std::string list = folder + "\\parts.txt";
  if (!Exists(list)) throw Failure(folder + " holds no parts.txt, the list of the parts the build put there");
  const std::string text = ReadInput(list, kLongestList);
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) names.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  if (names.empty()) throw Failure(list + " names no part");
  return names;
}

}  // namespace host
