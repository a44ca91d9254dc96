#include "persistence.h"

namespace frame {

const char kEndMarker[] = "ENDE_MARKE_DER_USER_DLL\r\n";
static_assert(sizeof kEndMarker - 1 == kEndMarkerLength, "marker length");

bool BlockGatherer::Take(char byte) {
  if (text_.size() < kMaxKeptBlockBytes) text_.push_back(byte);
  if (!Complete() && byte == kEndMarker[matched_]) ++matched_;
  return Complete();
}

}  // namespace frame
