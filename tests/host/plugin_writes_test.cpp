// The rules `check` and `fuzz` both judge a plug-in by, on their own: a text
// an entry point returns, and a pin record that was not to be written.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "plugin_interface.h"
#include "plugin_writes.h"

namespace {

// A guard that runs the reading, or reports a fault without running it.
std::function<bool(const std::function<void()>&)> Guard(bool faults, int& runs) {
  return [faults, &runs](const std::function<void()>& reading) {
    ++runs;
    if (!faults) reading();
    return !faults;
  };
}

TEST(ReturnedText, IsReadToItsNulUnderTheGuard) {
  int runs = 0;
  const host::ReturnedText read = host::ReadReturnedText("SetInputChar2", "A,B", Guard(false, runs));
  EXPECT_EQ(1, runs);
  EXPECT_TRUE(read.whole);
  EXPECT_EQ("A,B", read.text);
  EXPECT_EQ("", read.fault);
}

TEST(ReturnedText, NamesWhatIsWrongWithTheText) {
  int runs = 0;
  const host::ReturnedText null = host::ReadReturnedText("GetDLLName", nullptr, Guard(false, runs));
  EXPECT_EQ(0, runs) << "a null pointer is not read";
  EXPECT_FALSE(null.whole);
  EXPECT_EQ("GetDLLName gives a null pointer", null.fault);

  const std::string endless(host::kTextRoom, 'x');  // its NUL one byte too far
  const host::ReturnedText cut = host::ReadReturnedText("SetOutputChar2", endless.c_str(), Guard(false, runs));
  EXPECT_FALSE(cut.whole);
  EXPECT_EQ("SetOutputChar2 gives a text without an end within 4096 bytes", cut.fault);

  const std::string longest(host::kTextRoom - 1, 'x');
  EXPECT_TRUE(host::ReadReturnedText("SetOutputChar2", longest.c_str(), Guard(false, runs)).whole);
}

TEST(ReturnedText, AFaultWhileReadingIsTheGuardsToReport) {
  int runs = 0;
  const host::ReturnedText read = host::ReadReturnedText("GetDLLName", "name", Guard(true, runs));
  EXPECT_EQ(1, runs);
  EXPECT_FALSE(read.whole);
  EXPECT_EQ("", read.fault);
  EXPECT_EQ("", read.text);
}

TEST(UndescribedPinRecord, NamesTheFirstByteWritten) {
  std::vector<unsigned char> pins(host::kPinInfoSize + 16, 0xCD);
  EXPECT_EQ("", host::UndescribedPinRecordFault(pins, 0xCD));
  pins[host::kOutputNameAt + 41] = 'Q';
  pins[host::kPinInfoSize + 3] = 0;
  EXPECT_EQ("with a third argument of 0 it still writes (the slot of output 1)",
            host::UndescribedPinRecordFault(pins, 0xCD));
  pins[1] = 2;
  EXPECT_EQ("with a third argument of 0 it still writes (count byte 1)", host::UndescribedPinRecordFault(pins, 0xCD));
}

}  // namespace
