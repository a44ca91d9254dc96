#include "full_adder.h"

#include <cstring>
#include <istream>
#include <ostream>

#include "persistence.h"

FullAdder::FullAdder() : delayFlag(0) {
  std::memcpy(inputLabels, "AB\xDC", 4);
  std::memcpy(outputLabels, "S\xDC", 3);
}

void FullAdder::WriteSettings(std::ostream& text) const { text << delayFlag << "\r\n"; }

void FullAdder::ReadSettings(std::istream& text) { frame::ExtractSetting(text, delayFlag); }
