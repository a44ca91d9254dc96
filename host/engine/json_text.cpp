#include "json_text.h"

#include <cstdio>

namespace host {

std::string JsonText(const std::string& utf8) {
  std::string text = "\"";
  for (char c : utf8) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      text += '\\';
      text += c;
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", byte);
      text += escape;
    } else {
      text += c;
    }
  }
  return text + "\"";
}

}  // namespace host
