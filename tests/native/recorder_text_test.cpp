// The recorder's text of a record: the same characters however they are
// made (in one pass, from kept text, or cut where the buffer ends).
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "field_cache.h"
#include "line.h"

namespace {

using recorder::Line;

// The trace's text of a region, one byte at a time: hex pairs, a run of
// four or more equal bytes as {XX*COUNT}.
std::string PlainBytes(const std::vector<unsigned char>& bytes) {
  if (bytes.empty()) return "-";
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t k = 0; k < bytes.size();) {
    std::size_t run = 1;
    while (k + run < bytes.size() && bytes[k + run] == bytes[k]) ++run;
    const std::string pair = {digits[bytes[k] >> 4], digits[bytes[k] & 15]};
    if (run >= 4) {
      text += "{" + pair + "*" + std::to_string(run) + "}";
      k += run;
    } else {
      text += pair;
      ++k;
    }
  }
  return text;
}

std::string TextOf(const Line& line) { return std::string(line.Data(), line.Size()); }

TEST(RecorderText, BytesAsPairsAndRuns) {
  std::mt19937 random(23);
  std::vector<char> buffer(8192);
  for (int round = 0; round < 2000; ++round) {
    // Few values, so that runs of every length come up.
    std::vector<unsigned char> bytes(random() % 300);
    const unsigned values = 1 + random() % 3;
    for (auto& byte : bytes) byte = static_cast<unsigned char>(random() % values * 0x5b);
    Line line(buffer.data(), buffer.size());
    line.Bytes(bytes.data(), bytes.size());
    ASSERT_EQ(TextOf(line), PlainBytes(bytes)) << "round " << round;
  }
  std::vector<unsigned char> every(256);
  for (int k = 0; k < 256; ++k) every[k] = static_cast<unsigned char>(k);
  Line line(buffer.data(), buffer.size());
  EXPECT_EQ(TextOf(line.Bytes(every.data(), every.size())), PlainBytes(every));
}

TEST(RecorderText, NumbersAndWords) {
  char buffer[256];
  Line line(buffer, sizeof buffer);
  line.Decimal(0).Char(' ').Decimal(9).Char(' ').Decimal(10).Char(' ').Decimal(4294967295u);
  line.Key("cw").Hex(0x037f, 4).Key("x").Hex(0xabcde, 5).Key("eax").Hex(0x00c0ffee, 8).Key("b").Hex(7, 1);
  EXPECT_EQ(TextOf(line), "0 9 10 4294967295 cw=037f x=abcde eax=00c0ffee b=7");
}

// A line too long for its buffer still ends, and never writes past it.
TEST(RecorderText, CutWithinItsBuffer) {
  const std::vector<unsigned char> bytes = {1, 2, 3, 4, 4, 4, 4, 4, 5, 6};
  const std::string whole = "x=" + PlainBytes(bytes) + "\r\n";
  for (std::size_t capacity = 4; capacity <= whole.size(); ++capacity) {
    std::vector<char> buffer(capacity + 8, '#');
    Line line(buffer.data(), capacity);
    line.Text("x=").Bytes(bytes.data(), bytes.size()).End();
    const std::string text = TextOf(line);
    ASSERT_LE(text.size(), capacity);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(text.substr(0, 2), "x=");
    if (capacity == whole.size()) {
      EXPECT_EQ(text, whole);
    }
    EXPECT_EQ(std::string(buffer.data() + capacity, 8), std::string(8, '#'));
  }
}

TEST(RecorderText, KeptFieldReusedOnlyForTheSameBytes) {
  char buffer[256];
  Line line(buffer, sizeof buffer);
  const unsigned char in[] = {0, 0, 0, 0, 0, 0, 0, 0xa0, 1, 0x40};
  const auto key = recorder::FieldKey(6, false, 4);
  recorder::KeepField(key, in, sizeof in, " in={00*7}a00140", 16);
  EXPECT_TRUE(recorder::ReuseField(line, key, in, sizeof in));
  EXPECT_EQ(TextOf(line), " in={00*7}a00140");

  unsigned char changed[sizeof in];
  for (std::size_t k = 0; k < sizeof in; ++k) {
    std::copy(in, in + sizeof in, changed);
    changed[k] ^= 1;  // each word and the tail past the last whole word
    EXPECT_FALSE(recorder::ReuseField(line, key, changed, sizeof in)) << "byte " << k;
  }
  EXPECT_FALSE(recorder::ReuseField(line, key, in, sizeof in - 1));
  // The same bytes in another field, or the same field of the exit
  // record or of another entry point.
  EXPECT_FALSE(recorder::ReuseField(line, recorder::FieldKey(6, false, 5), in, sizeof in));
  EXPECT_FALSE(recorder::ReuseField(line, recorder::FieldKey(6, true, 4), in, sizeof in));
  EXPECT_FALSE(recorder::ReuseField(line, recorder::FieldKey(7, false, 4), in, sizeof in));
  EXPECT_EQ(TextOf(line), " in={00*7}a00140");
}

}  // namespace
