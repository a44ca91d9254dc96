// The framing of a settings block, fed from memory.
#include "persistence.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kMarker = "ENDE_MARKE_DER_USER_DLL\r\n";

// A byte source over a string that remembers how far it was read.
struct StringSource {
  explicit StringSource(std::string data) : data(std::move(data)) {}
  bool operator()(char& byte) {
    if (position == data.size()) return false;
    byte = data[position++];
    return true;
  }
  std::string data;
  std::size_t position = 0;
};

TEST(BlockFraming, ReaderStopsRightAfterTheMarker) {
  StringSource source("1\r\n" + kMarker + "HOST DATA");
  auto block = frame::GatherBlock(source);
  ASSERT_TRUE(block);
  EXPECT_EQ("1\r\n" + kMarker, *block);
  EXPECT_EQ(source.data.size() - 9, source.position);
}

TEST(BlockFraming, MarkerAloneAndNonRestartingMatch) {
  StringSource markerOnly(kMarker + "rest");
  ASSERT_TRUE(frame::GatherBlock(markerOnly));
  EXPECT_EQ(25u, markerOnly.position);

  // The stray "x" does not start the match over: the block ends at the LF.
  StringSource stray("ENDE_MARKE_DER_USER_DLLx\r\nrest");
  auto block = frame::GatherBlock(stray);
  ASSERT_TRUE(block);
  EXPECT_EQ(26u, stray.position);

  // A settings value before a marker whose letters are interleaved with noise.
  StringSource noisy("8\r\nE!NDE_MARKE_DER_USER_DLL\r\n");
  EXPECT_TRUE(frame::GatherBlock(noisy));
  EXPECT_EQ(noisy.data.size(), noisy.position);
}

TEST(BlockFraming, SourceEndingBeforeTheMarkerGivesNothing) {
  for (const std::string& data : {std::string(), std::string("1\r\n"), "1\r\n" + kMarker.substr(0, 24)}) {
    StringSource source(data);
    EXPECT_FALSE(frame::GatherBlock(source)) << data;
    EXPECT_EQ(data.size(), source.position);
  }
}

// Megabytes without a marker keep the gathered text bounded; the marker
// still completes behind them and the kept prefix is what gets read.
TEST(BlockFraming, GatheredTextIsBounded) {
  frame::BlockGatherer gatherer;
  gatherer.Take('7');
  for (int i = 0; i < 2 * 1024 * 1024; ++i) gatherer.Take('\0');
  EXPECT_FALSE(gatherer.Complete());
  EXPECT_EQ(frame::kMaxKeptBlockBytes, gatherer.Text().size());
  for (char c : kMarker) gatherer.Take(c);
  EXPECT_TRUE(gatherer.Complete());
  EXPECT_EQ('7', gatherer.Text()[0]);
  EXPECT_EQ(frame::kMaxKeptBlockBytes, gatherer.Text().size());
}

TEST(SettingsExtraction, FailedExtractionKeepsThePreviousValue) {
  for (const char* text : {"abc", "", "2147483648", "-2147483649", "\r\n"}) {
    std::stringstream stream(text);
    int setting = 42;
    EXPECT_FALSE(frame::ExtractSetting(stream, setting)) << text;
    EXPECT_EQ(42, setting) << text;
  }
  std::stringstream stream(" -7\r\n1\r\n");
  int setting = 0;
  bool flag = false;
  EXPECT_TRUE(frame::ExtractSetting(stream, setting));
  EXPECT_TRUE(frame::ExtractSetting(stream, flag));
  EXPECT_EQ(-7, setting);
  EXPECT_TRUE(flag);

  std::stringstream notABoolean("2\r\n");
  flag = true;
  EXPECT_FALSE(frame::ExtractSetting(notABoolean, flag));
  EXPECT_TRUE(flag);
}

}  // namespace
