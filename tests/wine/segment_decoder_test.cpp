// Tamberlo through its DLL: the sixteen glyphs, the threshold of each
// input, the dark display at the start of a run.
#include "plugin_fixture.h"

namespace {

using test::kHigh;
using test::kLow;
using test::SignalArray;

// Segments per code in output pin order: top, upper left, upper right,
// middle, lower left, lower right, bottom.
const char* const kGlyphs[16] = {"1110111", "0010010", "1011101", "1011011", "0111010", "1101011",
                                 "1101111", "1010010", "1111111", "1111011", "1111110", "0101111",
                                 "1100101", "0011111", "1101101", "1101100"};

class SegmentDecoderDll : public test::PluginTest {
 protected:
  void SetUp() override { Load("Tamberlo.dll"); }

  std::string Segments(const SignalArray& out) {
    std::string segments;
    for (int j = 0; j < 7; ++j) {
      EXPECT_TRUE(out.Is(j, kHigh) || out.Is(j, kLow)) << j;
      segments += out.Is(j, kHigh) ? '1' : '0';
    }
    return segments;
  }
  std::string Show(Instance& instance, const test::Signal (&bits)[4]) {
    SignalArray in, out;
    for (int i = 0; i < 4; ++i) in.Set(i, bits[i]);
    EXPECT_EQ(0, instance.Simulate(in, out));
    return Segments(out);
  }
};

TEST_F(SegmentDecoderDll, DescribesItsPins) {
  std::vector<unsigned char> pins(host::kPinInfoSize, 0xFF);
  library.GetNumberOfInputsOutputs2(pins.data(), 0, 1, 0);
  EXPECT_STREQ("Erstes Bit", reinterpret_cast<const char*>(&pins[2]));
  EXPECT_STREQ("Viertes Bit", reinterpret_cast<const char*>(&pins[125]));
  EXPECT_EQ(0xFF, pins[13]) << "after \"Erstes Bit\" and its NUL";
  for (int j = 0; j < 7; ++j)
    EXPECT_EQ(std::to_string(j + 1) + ". von 7 Segmenten", reinterpret_cast<const char*>(&pins[2052 + 41 * j]));
  Instance instance(library);
  EXPECT_STREQ("1248", library.SetInputChar2(instance.Record()));
  EXPECT_STREQ("abcdefg", library.SetOutputChar2(instance.Record()));
  EXPECT_EQ(0, library.HasDelayDLL(instance.Record())) << "a new decoder asks for no delay";
}

TEST_F(SegmentDecoderDll, SixteenCodes) {
  Instance instance(library);
  for (int code = 0; code < 16; ++code) {
    const test::Signal bits[4] = {code & 1 ? kHigh : kLow, code & 2 ? kHigh : kLow, code & 4 ? kHigh : kLow,
                                  code & 8 ? kHigh : kLow};
    EXPECT_EQ(kGlyphs[code], Show(instance, bits)) << "code " << code;
  }
}

TEST_F(SegmentDecoderDll, EachInputHasItsOwnThreshold) {
  Instance instance(library);
  const test::Signal at = test::Volts(2.5), above = test::Volts(2.5000001),
                     nan = test::MakeSignal(0xC000000000000000ull, 0x7FFF);
  for (int i = 0; i < 4; ++i) {
    test::Signal bits[4] = {kLow, kLow, kLow, kLow};
    bits[i] = at;
    EXPECT_EQ(kGlyphs[0], Show(instance, bits)) << "input " << i << " at 2.5";
    bits[i] = above;
    EXPECT_EQ(kGlyphs[1 << i], Show(instance, bits)) << "input " << i << " at 2.5000001";
    test::Signal others[4] = {kHigh, kHigh, kHigh, kHigh};
    others[i] = nan;
    EXPECT_EQ(kGlyphs[15 & ~(1 << i)], Show(instance, others)) << "NaN on input " << i << " only";
    others[i] = test::Volts(-3.0);
    EXPECT_EQ(kGlyphs[15 & ~(1 << i)], Show(instance, others)) << "negative on input " << i << " only";
  }
}

TEST_F(SegmentDecoderDll, DisplayIsDarkUntilTheFirstEvaluation) {
  Instance instance(library);
  SignalArray in, out;
  for (int i = 0; i < 4; ++i) in.Set(i, kHigh);
  instance.Initial(in, out);
  EXPECT_EQ("0000000", Segments(out));
  instance.Simulate(in, out);
  EXPECT_EQ(kGlyphs[15], Segments(out));
}

}  // namespace
