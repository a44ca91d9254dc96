// The framing of an instance's settings in the host's project file: the
// component's settings text followed by the end marker, with no header and
// no length. The host positions its file on a block and goes on with its own
// data right behind the marker, so the reader consumes up to the marker's
// final LF and not one byte more.
//
// This part is free of the platform: bytes come from and go to whatever the
// caller plugs in (the host's file handle in the DLLs, memory in tests).
#pragma once

#include <cstddef>
#include <optional>
#include <sstream>
#include <string>

#include "setting_values.h"

namespace frame {

extern const char kEndMarker[];  // "ENDE_MARKE_DER_USER_DLL\r\n"
constexpr std::size_t kEndMarkerLength = 25;

// Settings texts are a few bytes; a damaged or hostile file may hold
// megabytes before anything like a marker. Bytes past this bound are matched
// against the marker but not kept.
constexpr std::size_t kMaxKeptBlockBytes = 4096;

// The whole block for one write: settings text, then the marker.
template <class Plugin>
std::string ComposeBlock(const typename Plugin::Component& component) {
  std::stringstream text;
  WriteSettings<Plugin>(component, text);
  text << kEndMarker;
  return text.str();
}

// Takes a block byte by byte and says when the marker has gone by. The match
// never starts over: a byte that does not continue the marker is kept as
// text and the match waits for the marker's next character, so the marker
// is complete at the first point where all its characters have occurred in
// order.
class BlockGatherer {
 public:
  // Returns true once the marker is complete.
  bool Take(char byte);
  bool Complete() const { return matched_ == kEndMarkerLength; }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  std::size_t matched_ = 0;
};

// Reads one block through `readByte(char&)`, which gives false at the end of
// the file or on a failed read. Nothing is read past the marker. Gives the
// gathered text, or nothing when the source ended before the marker was
// complete.
template <class ReadByte>
std::optional<std::string> GatherBlock(ReadByte&& readByte) {
  BlockGatherer gatherer;
  char byte;
  while (!gatherer.Complete()) {
    if (!readByte(byte)) return std::nullopt;
    gatherer.Take(byte);
  }
  return gatherer.Text();
}

// Lets the component read its settings from the start of a gathered block.
template <class Plugin>
void ApplyBlock(typename Plugin::Component& component, const std::string& block) {
  std::stringstream text(block);
  ReadSettings<Plugin>(component, text);
}

}  // namespace frame
