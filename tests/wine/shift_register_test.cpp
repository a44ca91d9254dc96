// Morrel through its DLL: clocked sequences as a host runs them, and every
// width the register takes from a project file.
#include "plugin_fixture.h"

namespace {

using test::kHigh;
using test::kLow;
using test::SignalArray;

struct Step {
  double clear, clock, function, data;
};

class ShiftRegisterDll : public test::PluginTest {
 protected:
  void SetUp() override { Load("Morrel.dll"); }

  // Runs the steps, the first one as the initial evaluation of a run when
  // `startRun`; gives the output after each step as '1' or '0'.
  std::string Run(Instance& instance, const std::vector<Step>& steps, bool startRun = true) {
    std::string trace;
    for (std::size_t s = 0; s < steps.size(); ++s) {
      SignalArray in, out;
      in.Set(0, test::Volts(steps[s].clear));
      in.Set(1, test::Volts(steps[s].clock));
      in.Set(2, test::Volts(steps[s].function));
      in.Set(3, test::Volts(steps[s].data));
      if (s == 0 && startRun)
        instance.Initial(in, out);
      else
        instance.Simulate(in, out);
      EXPECT_TRUE(out.Is(0, kHigh) || out.Is(0, kLow));
      for (std::size_t b = 10; b < sizeof out.bytes; ++b) EXPECT_EQ(0xEE, out.bytes[b]);
      trace += out.Is(0, kHigh) ? '1' : '0';
    }
    return trace;
  }

  // After an initial evaluation with the clock low, `edges` rising edges
  // shifting in ones; the output after each falling and rising step.
  std::string ShiftOnes(Instance& instance, int edges) {
    std::vector<Step> steps = {{0, 0, 5, 5}};
    for (int e = 0; e < edges; ++e) {
      steps.push_back({0, 5, 5, 5});
      steps.push_back({0, 0, 5, 5});
    }
    std::string trace = Run(instance, steps);
    std::string afterRisingEdges;
    for (std::size_t s = 1; s < trace.size(); s += 2) afterRisingEdges += trace[s];
    return afterRisingEdges;
  }
};

TEST_F(ShiftRegisterDll, NewPart) {
  Instance instance(library);
  EXPECT_STREQ("C&LCFS", library.SetInputChar2(instance.Record()));
  EXPECT_STREQ("O", library.SetOutputChar2(instance.Record()));
  EXPECT_EQ(1, library.HasDelayDLL(instance.Record()));
  std::vector<unsigned char> pins(host::kPinInfoSize, 0xFF);
  library.GetNumberOfInputsOutputs2(pins.data(), 0, 1, 0);
  EXPECT_STREQ("L\xF6"
               "schen",
               reinterpret_cast<const char*>(&pins[2]));
  EXPECT_STREQ("Serieller Eingang", reinterpret_cast<const char*>(&pins[125]));
  EXPECT_STREQ("Serieller Ausgang", reinterpret_cast<const char*>(&pins[2052]));
  EXPECT_EQ(0xFF, pins[2093]);
}

TEST_F(ShiftRegisterDll, OneReachesTheOutputAtTheEdgeOfItsWidth) {
  const struct {
    const char* settings;
    int width;
  } widths[] = {{nullptr, 4}, {"8\r\n1\r\n", 8}, {"16\r\n1\r\n", 16}, {"5\r\n1\r\n", 5}};
  for (const auto& w : widths) {
    Instance instance(library);
    if (w.settings) test::LoadSettings(library, instance.Record(), w.settings + std::string(test::kEndMarker));
    EXPECT_EQ(std::string(w.width - 1, '0') + "11", ShiftOnes(instance, w.width + 1)) << "width " << w.width;
  }
}

// Ones shifted in at every rising edge reach the output of the 4-bit
// register at the fourth; held levels, falling edges and a clock at exactly
// 2.5 (low) in between move nothing.
TEST_F(ShiftRegisterDll, OnlyRisingEdgesShift) {
  Instance instance(library);
  // clang-format off
  EXPECT_EQ("000000000000111", Run(instance, {{0, 0, 5, 5},                                       // initial
                                          {0, 5, 5, 5}, {0, 5, 5, 5}, {0, 0, 5, 5}, {0, 0, 5, 5},  // edge 1
                                          {0, 5, 5, 5}, {0, 5, 5, 5}, {0, 0, 5, 5},                // edge 2
                                          {0, 2.5, 5, 5}, {0, 2.6, 5, 5}, {0, 2.6, 5, 5},         // edge 3
                                          {0, 0, 5, 5}, {0, 5, 5, 5}, {0, 5, 5, 5}, {0, 0, 5, 5}}));  // edge 4
  // clang-format on
}

TEST_F(ShiftRegisterDll, ClearWinsAndConsumesTheEdge) {
  Instance instance(library);
  std::vector<Step> fill = {{0, 0, 5, 5}};
  for (int e = 0; e < 4; ++e) fill.insert(fill.end(), {{0, 5, 5, 5}, {0, 0, 5, 5}});
  EXPECT_EQ('1', Run(instance, fill).back());
  // Clear with a rising edge empties; clear released with the clock high
  // does not shift; the next shift needs a new edge.
  EXPECT_EQ("0000", Run(instance, {{5, 5, 5, 5}, {5, 0, 5, 5}, {5, 5, 5, 5}, {0, 5, 5, 5}}, false));
  // "Funktion" low on the edge, raised while the clock stays high: no shift.
  EXPECT_EQ("000", Run(instance, {{0, 0, 5, 5}, {0, 5, 0, 5}, {0, 5, 5, 5}}, false));
}

TEST_F(ShiftRegisterDll, RunsStartFromAnEmptyRegisterButKeepTheClock) {
  // A new part whose first run starts with the clock high shifts once.
  Instance instance(library);
  EXPECT_EQ(
      "0001",
      Run(instance, {{0, 5, 5, 5}, {0, 0, 5, 0}, {0, 5, 5, 0}, {0, 0, 5, 0}, {0, 5, 5, 0}, {0, 0, 5, 0}, {0, 5, 5, 0}})
          .substr(3));
  // That run ended with the clock high: a new run starting high finds no
  // edge and an emptied register.
  EXPECT_EQ("0", Run(instance, {{0, 5, 5, 5}}));
  // Again no edge at the start; of the next four edges only the first
  // shifts a one, which reaches the output with the fourth.
  EXPECT_EQ("000000001", Run(instance, {{0, 5, 5, 5},
                                        {0, 0, 5, 0},
                                        {0, 5, 5, 5},
                                        {0, 0, 5, 0},
                                        {0, 5, 5, 0},
                                        {0, 0, 5, 0},
                                        {0, 5, 5, 0},
                                        {0, 0, 5, 0},
                                        {0, 5, 5, 0}}));
}

TEST_F(ShiftRegisterDll, PartsAreApart) {
  Instance first(library), second(library);
  test::LoadSettings(library, first.Record(), std::string("8\r\n0\r\n") + test::kEndMarker);
  EXPECT_EQ(0, library.HasDelayDLL(first.Record()));
  EXPECT_EQ(1, library.HasDelayDLL(second.Record()));
  EXPECT_EQ("00011", ShiftOnes(second, 5)) << "the second part still has 4 bits";
  EXPECT_EQ("000000011", ShiftOnes(first, 9));
}

}  // namespace
