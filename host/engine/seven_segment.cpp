#include "seven_segment.h"

namespace host {
namespace {

enum Segment { kTop, kUpperLeft, kUpperRight, kMiddle, kLowerLeft, kLowerRight, kBottom };

char Lit(const Segments& segments, Segment segment, char mark) {
  return std::size_t(segment) < segments.size() && segments[segment] ? mark : ' ';
}

}  // namespace

std::vector<std::string> DrawDigits(const std::vector<Segments>& digits, int gap) {
  std::vector<std::string> lines(3);
  for (std::size_t d = 0; d < digits.size(); ++d) {
    const Segments& s = digits[d];
    const std::string between = d + 1 < digits.size() ? std::string(gap, ' ') : "";
    lines[0] += std::string(" ") + Lit(s, kTop, '_') + " " + between;
    lines[1] += std::string() + Lit(s, kUpperLeft, '|') + Lit(s, kMiddle, '_') + Lit(s, kUpperRight, '|') + between;
    lines[2] += std::string() + Lit(s, kLowerLeft, '|') + Lit(s, kBottom, '_') + Lit(s, kLowerRight, '|') + between;
  }
  for (std::string& line : lines)
    while (!line.empty() && line.back() == ' ') line.pop_back();
  return lines;
}

}  // namespace host
