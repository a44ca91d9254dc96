#include "settings_text.h"

#include <cstdlib>
#include <sstream>
#include <vector>

#include "plugin_interface.h"
#include "project_format.h"
#include "shown_text.h"

namespace host {
namespace {

std::vector<std::string> Values(const std::string& list) {
  std::vector<std::string> values;
  std::istringstream items(list);
  for (std::string value; std::getline(items, value, ',');) values.push_back(value);
  return values;
}

bool IsInteger(const std::string& text, long long& value) {
  char* end = nullptr;
  value = std::strtoll(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0';
}

bool SameValue(const std::string& given, const std::string& held) {
  const std::string a = WithoutTrailingBlanks(given), b = WithoutTrailingBlanks(held);
  long long x, y;
  return a == b || (IsInteger(a, x) && IsInteger(b, y) && x == y);
}

}  // namespace

std::string SettingsBlock(const std::string& values) {
  std::string block;
  for (const std::string& value : Values(values)) block += value + "\r\n";
  return block + kEndMarker;
}

std::string SettingsOfBlock(const std::string& block) {
  std::vector<FileLine> lines = SplitLines(block, 0);
  if (!lines.empty() && WithoutTrailingBlanks(lines.back().text) + "\r\n" == kEndMarker) lines.pop_back();
  std::string values;
  for (const FileLine& line : lines) values += (values.empty() ? "" : ",") + line.text;
  return ShownWindows1252(values);
}

std::string SettingsNotTaken(const std::string& given, const std::string& held) {
  const std::vector<std::string> values = Values(given), kept = Values(held);
  std::vector<std::size_t> missed;
  for (std::size_t k = 0; k < values.size(); ++k)
    if (k >= kept.size() || !SameValue(values[k], kept[k])) missed.push_back(k);
  if (missed.empty()) return {};
  std::string shown, numbers;
  for (std::size_t k = 0; k < missed.size(); ++k) {
    const char* separator = k == 0 ? "" : k + 1 == missed.size() ? " and " : ", ";
    shown += std::string(k == 0 ? "" : ", ") + ShownWindows1252(values[missed[k]]);
    numbers += separator + std::to_string(missed[k] + 1);
  }
  return shown + (missed.size() == 1 ? " (value " : " (values ") + numbers + ")";
}

std::string ShownBlock(const std::string& block) { return "\"" + ShownWithLineEnds(block) + "\""; }

std::string SettingsHeld(PartInstance& instance) { return SettingsOfBlock(instance.SavedBlock()); }

}  // namespace host
