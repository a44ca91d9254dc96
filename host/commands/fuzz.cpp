// `fuzz`: random calls into several parts of one plug-in, judged after
// every call; a finding names its call, and its seed replays the run.
#include <windows.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "command.h"
#include "fault_guard.h"
#include "fuzz.h"
#include "options.h"
#include "plugin_library.h"
#include "shown_text.h"
#include "words.h"

namespace host {
namespace {

constexpr long kMostCalls = 1000000000;
constexpr double kMostSeconds = 86400;
constexpr double kDefaultSeconds = 10;

bool AllDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::uint64_t Seed(const std::string& text) {
  errno = 0;
  const unsigned long long seed = std::strtoull(text.c_str(), nullptr, 10);
  if (!AllDigits(text) || errno == ERANGE)
    throw Failure("--seed takes a whole number from 0 to 18446744073709551615, as a finding names it; \"" +
                  ShownUserText(text) + "\" is none");
  return seed;
}

long Calls(const std::string& text) {
  const long long calls = AllDigits(text) && text.size() <= 10 ? std::strtoll(text.c_str(), nullptr, 10) : 0;
  if (calls < 1 || calls > kMostCalls)
    throw Failure("--calls takes a whole number from 1 to " + std::to_string(kMostCalls) + ", such as 100000; \"" +
                  ShownUserText(text) + "\" is none");
  return long(calls);
}

double Seconds(const std::string& text) {
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (*end || !(seconds > 0) || !(seconds <= kMostSeconds))
    throw Failure("--seconds takes a time above 0 and up to " + std::to_string(long(kMostSeconds)) +
                  " seconds, such as 5 or 0.5; \"" + ShownUserText(text) + "\" is none");
  return seconds;
}

FuzzBound Bound(const CommandLine& line) {
  if (line.Has("--calls") && line.Has("--seconds"))
    throw Failure("--calls and --seconds each bound the run; give one of them");
  FuzzBound bound;
  if (line.Has("--calls"))
    bound.calls = Calls(line.Option("--calls"));
  else
    bound.seconds = line.Has("--seconds") ? Seconds(line.Option("--seconds")) : kDefaultSeconds;
  return bound;
}

// A seed of the moment, short enough to type again.
std::uint64_t SeedFromTheTime() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return (std::uint64_t(count.QuadPart) ^ std::uint64_t(GetCurrentProcessId()) << 16) % 4294967296ull;
}

void Print(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

std::string Summary(const FuzzOutcome& outcome) {
  char rate[64] = "";
  if (outcome.seconds > 0)
    std::snprintf(rate, sizeof rate, " in %.1f s, %.0f per second", outcome.seconds,
                  double(outcome.calls) / outcome.seconds);
  return Counted(std::size_t(outcome.calls), "call") + rate + ": " +
         (outcome.findings ? Counted(std::size_t(outcome.findings), "finding") : std::string("no findings")) + "\n";
}

int Fuzz(Arguments arguments, FaultGuard& guard) {
  const CommandLine line = ReadCommandLine(kFuzzCommand, arguments);
  const std::string& dll = line.operands[0];
  const bool seedGiven = line.Has("--seed");
  const std::uint64_t seed = seedGiven ? Seed(line.Option("--seed")) : SeedFromTheTime();
  const FuzzBound bound = Bound(line);
  LoadPlugin(dll, guard);  // a DLL that is no plug-in is bad input, said before anything else
  Print("seed " + std::to_string(seed) + (seedGiven ? "\n" : ", chosen from the time\n"));
  // A hang ends the process; the guard's name for the call says which.
  guard.SetHangReport("FINDING ", stdout);
  const FuzzOutcome outcome = FuzzPlugin(dll, seed, bound, guard, Print);
  if (outcome.findings)
    Print("replay: hostsim fuzz " + dll + " --seed " + std::to_string(seed) + " --calls " +
          std::to_string(outcome.calls) + "\n");
  Print(Summary(outcome));
  return outcome.findings ? 1 : 0;
}

}  // namespace

const Command kFuzzCommand = {
    "fuzz",
    {{"fuzz DLL [--seed N] [--calls N] [--seconds S]", "random calls into up to 3 parts of one plug-in at\n"
                                                       "once, judged after every call; 10 s unless --calls\n"
                                                       "or --seconds bound it. A finding names the seed\n"
                                                       "and the call: the same seed makes the same calls.\n"
                                                       "Exit status 1 on a finding"}},
    "",
    Fuzz};

}  // namespace host
