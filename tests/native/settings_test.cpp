// The frame's handling of declared settings, on a part of the test's own:
// the project file's lines, the dialog's values, the delay flag, and the
// German text held as Windows-1252.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "setting_values.h"
#include "settings.h"
#include "windows1252.h"

namespace {

struct Counter {
  std::int32_t direction = 1;
  std::int32_t step = 4;
  std::int32_t enabled = 1;
  std::int32_t delayFlag = 0;
};

struct CounterPart {
  using Component = Counter;
  static constexpr frame::Item kDirections[] = {{"aufwärts", 1}, {"abwärts", -1}};
  static constexpr frame::Item kSteps[] = {{"1", 1}, {"4", 4}, {"10", 10}};
  static constexpr frame::Setting<Counter> kSettings[] = {
      frame::RadioButtons("direction", "Zählrichtung", &Counter::direction, kDirections),
      frame::List("step", "Schritt", &Counter::step, kSteps).Accepting(1, 99),
      frame::CheckBox("enabled", "Zählen", &Counter::enabled),
      frame::DelayFlag(&Counter::delayFlag),
  };
};

std::string Written(const Counter& counter) {
  std::ostringstream text;
  frame::WriteSettings<CounterPart>(counter, text);
  return text.str();
}

Counter Read(const std::string& lines) {
  Counter counter;
  std::istringstream text(lines);
  frame::ReadSettings<CounterPart>(counter, text);
  return counter;
}

TEST(Settings, OneDecimalLinePerSettingInTheOrderDeclared) {
  EXPECT_EQ("1\r\n4\r\n1\r\n0\r\n", Written(Counter()));
  EXPECT_EQ("-1\r\n7\r\n0\r\n-5\r\n", Written(Read("-1\r\n7\r\n0\r\n-5\r\n")));
}

// A value the setting does not take is passed over and the next line still
// read; the first line without a number ends reading.
TEST(Settings, ReadingKeepsWhatTheSettingDoesNotTake) {
  EXPECT_EQ("1\r\n4\r\n0\r\n3\r\n", Written(Read("2\r\n100\r\n0\r\n3\r\n")));
  EXPECT_EQ("-1\r\n4\r\n1\r\n0\r\n", Written(Read("-1\r\nx\r\n0\r\n3\r\n")));
  EXPECT_EQ("1\r\n4\r\n1\r\n0\r\n", Written(Read("")));
  EXPECT_EQ("1\r\n4\r\n1\r\n0\r\n", Written(Read("1\r\n4\r\n2\r\n")));
}

// A list or radio group shows the item of the value, else the last item
// below it, else the first; after OK a check box gives 1 or 0, an item its
// value, and none selected keeps the setting.
TEST(Settings, DialogShowsItemsAndTakesTheirValues) {
  Counter counter = Read("-1\r\n7\r\n1\r\n3\r\n");
  frame::DialogValues shown = frame::CopyToDialog<CounterPart>(counter);
  EXPECT_EQ(1, shown.shown[0]);
  EXPECT_EQ(1, shown.shown[1]);
  EXPECT_EQ(1, shown.shown[2]);
  EXPECT_EQ(3, shown.shown[3]);
  EXPECT_EQ(0, frame::CopyToDialog<CounterPart>(Read("1\r\n1\r\n")).shown[1]);
  EXPECT_EQ(2, frame::CopyToDialog<CounterPart>(Read("1\r\n99\r\n")).shown[1]);

  frame::CopyFromDialog<CounterPart>(counter, {{0, 2, 0, 7}});
  EXPECT_EQ("1\r\n10\r\n0\r\n1\r\n", Written(counter));
  frame::CopyFromDialog<CounterPart>(counter, {{-1, 3, 1, 0}});
  EXPECT_EQ("1\r\n10\r\n1\r\n0\r\n", Written(counter));
}

TEST(Windows1252, TextAndNamesAreHeldInTheHostsCodePage) {
  static constexpr frame::Text kCaption{"Zählrichtung"};
  EXPECT_STREQ("Z\xE4hlrichtung", kCaption.c_str());
  EXPECT_EQ(12u, kCaption.size());
  static constexpr frame::Names kPins{"Rücksetzen", "Takt", "€ Ÿ"};
  EXPECT_EQ(3u, kPins.size());
  EXPECT_STREQ("R\xFC"
               "cksetzen",
               kPins[0]);
  EXPECT_STREQ("Takt", kPins[1]);
  EXPECT_STREQ("\x80 \x9F", kPins[2]);
}

TEST(Windows1252, CharactersWithoutAByteAreRefused) {
  EXPECT_EQ(0xE4, frame::text::Windows1252Byte(U'ä'));
  EXPECT_EQ(0x80, frame::text::Windows1252Byte(U'€'));
  EXPECT_EQ(-1, frame::text::Windows1252Byte(U'ł'));
  EXPECT_EQ(-1, frame::text::Windows1252Byte(0x81));  // a byte the code page leaves unassigned
  EXPECT_EQ(-1, frame::text::Windows1252Byte(0x2028));
  std::size_t length = 9;
  EXPECT_EQ(U'ł', frame::text::DecodeUtf8("\xC5\x82", 2, 0, length));
  EXPECT_EQ(2u, length);
  frame::text::DecodeUtf8("\xC5", 1, 0, length);
  EXPECT_EQ(0u, length);
  frame::text::DecodeUtf8("\xC5x", 2, 0, length);
  EXPECT_EQ(0u, length);
}

}  // namespace
