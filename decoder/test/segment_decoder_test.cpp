#include "segment_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "persistence.h"
#include "pin_info.h"
#include "plugin.h"

namespace {

// Lit segments per code, in output pin order: top, upper left, upper right,
// middle, lower left, lower right, bottom.
const char* const kGlyphs[16] = {
    "1110111", "0010010", "1011101", "1011011", "0111010", "1101011", "1101111", "1010010",  // 0-7
    "1111111", "1111011", "1111110", "0101111", "1100101", "0011111", "1101101", "1101100",  // 8 9 A b C d E F
};

// The outputs as a glyph string; anything but exactly 5.0 or 0.0 shows up.
std::string Shown(const double (&out)[7]) {
  std::string glyph;
  for (double v : out) glyph += v == 5.0 ? '1' : v == 0.0 ? '0' : '?';
  return glyph;
}

std::string Decode(const double (&in)[4]) {
  const SegmentDecoder decoder;
  double out[7] = {-1, -1, -1, -1, -1, -1, -1};
  decoder.Evaluate(in, out);
  return Shown(out);
}

TEST(SegmentDecoder, ShowsEveryCodeAsItsGlyph) {
  for (int code = 0; code < 16; ++code) {
    const double in[4] = {code & 1 ? 5.0 : 0.0, code & 2 ? 5.0 : 0.0, code & 4 ? 5.0 : 0.0, code & 8 ? 5.0 : 0.0};
    EXPECT_EQ(kGlyphs[code], Decode(in)) << code;
  }
}

// Each pin is judged on its own value alone, against 2.5, whatever the
// other pins carry.
TEST(SegmentDecoder, EachInputIsLevelledOnItsOwn) {
  const double lows[] = {2.5, 0.0, -0.0, -5.0, -INFINITY, NAN, -NAN};
  const double highs[] = {2.5000001, 2.6, 1e300, INFINITY};
  for (int pin = 0; pin < 4; ++pin) {
    for (int others : {0, 15}) {
      double in[4];
      for (int i = 0; i < 4; ++i) in[i] = (others >> i) & 1 ? 5.0 : 0.0;
      const int withoutPin = others & ~(1 << pin);
      for (double low : lows) {
        in[pin] = low;
        EXPECT_EQ(kGlyphs[withoutPin], Decode(in)) << "pin " << pin << " value " << low;
      }
      for (double high : highs) {
        in[pin] = high;
        EXPECT_EQ(kGlyphs[withoutPin | (1 << pin)], Decode(in)) << "pin " << pin << " value " << high;
      }
    }
  }
}

TEST(SegmentDecoder, RunStartsDarkWhateverTheInputs) {
  const SegmentDecoder decoder;
  const double allHigh[4] = {5.0, 5.0, 5.0, 5.0};
  const double oddValues[4] = {NAN, 2.6, -1.0, INFINITY};
  for (const auto* in : {&allHigh, &oddValues}) {
    double out[7] = {-1, -1, -1, -1, -1, -1, -1};
    decoder.EvaluateInitial(*in, out);
    EXPECT_EQ("0000000", Shown(out));
  }
  double out[7];
  decoder.Evaluate(allHigh, out);
  EXPECT_EQ(kGlyphs[15], Shown(out));
}

TEST(SegmentDecoder, DefaultsLabelsAndPinNames) {
  const SegmentDecoder decoder;
  EXPECT_STREQ("1248", decoder.InputLabels());
  EXPECT_STREQ("abcdefg", decoder.OutputLabels());
  EXPECT_EQ(0, frame::HasDelay<Plugin>(decoder));
  EXPECT_EQ("0\r\nENDE_MARKE_DER_USER_DLL\r\n", frame::ComposeBlock<Plugin>(decoder));

  unsigned char record[4102];
  std::memset(record, 0xFF, sizeof record);
  frame::FillPinInfo<SegmentDecoder>(record);
  EXPECT_EQ(4, record[0]);
  EXPECT_EQ(7, record[1]);
  EXPECT_STREQ("Erstes Bit", reinterpret_cast<const char*>(record + 2));
  EXPECT_EQ(0xFF, record[13]);
  EXPECT_STREQ("Viertes Bit", reinterpret_cast<const char*>(record + 125));
  EXPECT_STREQ("7. von 7 Segmenten", reinterpret_cast<const char*>(record + 2298));
  EXPECT_EQ(0xFF, record[2298 + 19]);
}

TEST(SegmentDecoder, FlagIsKeptAsReadAndKeptOnGarbage) {
  SegmentDecoder decoder;
  frame::ApplyBlock<Plugin>(decoder, "7\r\nENDE_MARKE_DER_USER_DLL\r\n");
  EXPECT_EQ(7, frame::HasDelay<Plugin>(decoder));
  EXPECT_EQ("7\r\nENDE_MARKE_DER_USER_DLL\r\n", frame::ComposeBlock<Plugin>(decoder));
  for (const char* garbage : {"x1\r\n", "", "4294967296\r\n"}) {
    frame::ApplyBlock<Plugin>(decoder, std::string(garbage) + "ENDE_MARKE_DER_USER_DLL\r\n");
    EXPECT_EQ(7, frame::HasDelay<Plugin>(decoder)) << garbage;
  }
  frame::ApplyBlock<Plugin>(decoder, " \r\n-3\r\nENDE_MARKE_DER_USER_DLL\r\n");
  EXPECT_EQ("-3\r\nENDE_MARKE_DER_USER_DLL\r\n", frame::ComposeBlock<Plugin>(decoder));
}

}  // namespace
