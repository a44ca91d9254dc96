// The trace reader takes nothing on trust: each way a trace can be wrong
// is named with its line and column, and what is right reads back.
#include <gtest/gtest.h>

#include <string>

#include "failure.h"
#include "test_text.h"
#include "trace_reader.h"

namespace {

using test::Repeated;

const std::string kHead = "korvelant call trace 2\r\n"
                          "part Quenvik.dll\r\n";
const std::string kInit = "> 1 0 InitUserDLL depth=0 align=12 cw=037f slots=00d15e30 slot={00*4} window={00*4}\r\n";
const std::string kInitBack =
    "< 1 0 InitUserDLL depth=0 eax=00000000 edx=00000000 pop=4 cw=037f slot=4005d100 window={00*4}\r\n";

std::string ReadFailure(const std::string& text) {
  return host::FailureOf([&] { host::ParseTrace(text, "t.txt"); });
}

std::string Simulate(const std::string& extra) {
  return "> 2 0 SimulateDLL3 depth=0 align=12 cw=037f slots=00000000,00000000,00000000,00000000,00000000,00000000,"
         "00d15e30,0080f2a0,0080f688 slot=4005d100 window={00*4}" +
         extra + "\r\n";
}

TEST(TraceReader, NamesEachHostileLineWithItsLineAndColumn) {
  const struct {
    std::string text, failure;
  } cases[] = {
      {kHead + "> 1 0 GetNumberOfInputsOutputs2 depth=0 align=12 cw=037f slots=00000000,00000000,00000001,00000000 "
               "pins={00*4294967295}\r\n",
       "t.txt, line 3, column 109: a run's count is more than 4102"},
      {kHead + kInit + kInitBack + Simulate(" out={00*100000000}"),
       "t.txt, line 5, column 168: a run's count is more than 500"},
      {kHead + "> 1 0 SimulateDLL3 depth=0 align=12 cw=037f slots=00000000,00000000,00000000\r\n",
       "t.txt, line 3, column 51: 3 slots for SimulateDLL3, which takes 9"},
      {kHead + "> 1 0 GetParameterStruct depth=0 align=12 cw=037f slots= params=-\r\n",
       "t.txt, line 3, column 57: 0 slots for GetParameterStruct, which takes 1"},
      {kHead + "> 1 0 GetDLLName depth=0 align=12 cw=037f slots=" + Repeated("00000000,", 100000) + "\r\n",
       "t.txt, line 3, column 130: more slots than any entry point takes"},
      {kHead + kInit + "> 2 0 InitUserDLL depth=0 align=12 cw=037f mxcsr=ffffffff slots=00d15e30\r\n",
       "t.txt, line 4, column 50: an MXCSR with reserved bits set"},
      {kHead + kInit + "< 1 0 InitUserDLL depth=0 eax=0000", "t.txt, line 4, column 35: the trace is cut here"},
      {kHead + kInit + "< 1 0 InitUserDLL depth=0 eax=0000\n", "t.txt, line 4, column 35: the line ends in LF"},
      {kHead + "\x1b[2Jjunk is here\r\n", "t.txt, line 3, column 1: a control character \"\\x1B\""},
      {kHead + "junk is here\r\n", "t.txt, line 3, column 1: a head key this hostsim does not know: \"junk\""},
      {kHead + kInit + "junk\r\n", "t.txt, line 4, column 1: a line that is no record: \"junk\""},
      {kHead + kInit + kInitBack + kInitBack, "t.txt, line 5, column 3: call 1 ends without its entry before it"},
      {kHead + kInit + kInit, "t.txt, line 4, column 3: call 1 after call 1"},
      {kHead + kInit + "~ 1 0 InitUserDLL why=crash\r\n", "t.txt, line 4, column 23: a \"~\" record takes why="},
      {kHead + "> 1 0 Extra depth=0 align=12 cw=037f slots=?\r\n> 2 0 ReadFromFile depth=0 align=12 cw=037f "
               "slots=00010004,00d15e30 slot={00*4} window={00*4} file=500000000\r\n< 2 0 ReadFromFile depth=0 "
               "eax=00000000 edx=00000000 pop=8 cw=037f slot={00*4} window={00*4} file=500000001+0102\r\n",
       "t.txt, line 5, column 1: file bytes that are not those between the positions"},
      {"korvelant call trace 1\r\n> 1 0 Extra depth=0 align=12 cw=037f slots=?\r\n",
       "t.txt, line 2, column 44: slots=? is not in a version 1 trace"},
      {"korvelant call trace 3\r\n",
       "t.txt is a call trace of version 3, which this hostsim does not read (it reads versions 1 to 2)"},
      {"# not a trace\n", "t.txt is no call trace"},
      {"korvelant call trace 2\r\ncap 100 100\r\n" + std::string(100 - 38, 'x'),
       "t.txt, line 3, column 63: the trace is cut here"},
  };
  for (const auto& each : cases) {
    const std::string failure = ReadFailure(each.text);
    EXPECT_EQ(0u, failure.find(each.failure)) << failure << "\nfor\n" << each.text;
  }
}

TEST(TraceReader, ReadsUnreturnedCallsLeftOutBytesAndTheCapsRing) {
  const std::string first = "korvelant call trace 2\r\ncap 200 800\r\n" + kInit;
  const std::string newer =
      "! ring part=3\r\n" + Simulate("").replace(2, 1, "6") + "~ 6 9 SimulateDLL3 why=next-call\r\n";
  // The ring came round: its second half holds the older records, which
  // end a call of the first part and one begun in the gap.
  const std::string older = "! ring part=2\r\n< 1 0 InitUserDLL depth=0 eax=00000000 edx=00000000 pop=4 cw=037f\r\n"
                            "< 4 0 GetDLLName depth=0 eax=00000000 edx=00000000 pop=0 cw=037f text=\"\"\r\n"
                            "> 5 0 GetDLLName depth=0 align=12 cw=037f slots=\r\n"
                            "< 5 0 GetDLLName depth=0 eax=00000000 edx=00000000 pop=0 cw=037f text=\"Quenvik\"\r\n";
  const std::string text =
      first + std::string(200 - first.size(), '\0') + newer + std::string(400 - newer.size(), '\0') + older;
  const host::Trace trace = host::ParseTrace(text, "t.txt");
  ASSERT_EQ(3u, trace.calls.size());
  EXPECT_TRUE(trace.gap.present);
  EXPECT_EQ(1u, trace.gap.lastBefore);
  EXPECT_EQ(5u, trace.gap.firstAfter);
  EXPECT_FALSE(trace.calls[0].afterGap);
  EXPECT_EQ("\"Quenvik\"", trace.calls[1].exit.Field("text"));
  EXPECT_TRUE(trace.calls[2].afterGap);
  EXPECT_EQ("next-call", trace.calls[2].unreturned);
  EXPECT_EQ("t.txt, line 5, column 2: the trace is cut here: the line has no CR LF at its end",
            ReadFailure(first + std::string(200 - first.size(), '\0') + "! ring part=1\r\nx"));
  EXPECT_EQ(std::vector<unsigned char>({0xab, 0, 0, 0, 0}), host::DecodeTraceBytes("ab{00*4}{??*7}"));
  EXPECT_EQ(7u, host::UnknownTraceBytes("ab{00*4}{??*7}"));
}

}  // namespace
