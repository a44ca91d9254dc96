// The pieces of the JSON hostsim writes for tools (its forms:
// docs/formats.md, "JSON"): its texts are UTF-8 already, so only quotes,
// backslashes and control bytes need escaping.
#pragma once

#include <string>
#include <vector>

namespace host {

// A JSON string of UTF-8 text.
std::string JsonText(const std::string& utf8);

// A JSON array of the items, each as `format` writes it.
template <class Item, class Format>
std::string JsonList(const std::vector<Item>& items, Format format) {
  std::string json = "[";
  for (std::size_t k = 0; k < items.size(); ++k) json += (k ? "," : "") + format(items[k]);
  return json + "]";
}

}  // namespace host
