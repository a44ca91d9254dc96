// `replay`: a trace written by a recorder in the host, made again against
// the recorded part or another build of it, and compared.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "command.h"
#include "options.h"
#include "paths.h"
#include "plugin_library.h"
#include "sha256.h"
#include "text.h"
#include "trace_format.h"
#include "trace_replay.h"

namespace host {
namespace {

constexpr double kDialogSeconds = 1.0;

std::string HeadValue(const Trace& trace, const char* key) {
  const auto found = trace.head.find(key);
  return found == trace.head.end() ? "?" : found->second;
}

// Whether the DLL is the build the trace was recorded with.
std::string SameBuildLine(const Trace& trace, HMODULE module) {
  char path[MAX_PATH] = {}, sha[65];
  GetModuleFileNameA(module, path, MAX_PATH - 1);
  if (!checksum::FileSha256(path, sha)) return "a DLL that cannot be read back\n";
  if (HeadValue(trace, trace::kPartSha256Key) == sha) return "the very build recorded (same SHA-256)\n";
  return std::string("another build than the one recorded (SHA-256 ") + sha + ", recorded " +
         HeadValue(trace, trace::kPartSha256Key) + ")\n";
}

double DialogSeconds(const CommandLine& line) {
  if (!line.Has("--close-after")) return kDialogSeconds;
  char* end = nullptr;
  const double seconds = std::strtod(line.Option("--close-after").c_str(), &end);
  if (*end || !(seconds >= 0 && seconds <= 3600))
    throw Failure("--close-after takes seconds from 0 to 3600, not " + line.Option("--close-after"));
  return seconds;
}

int Replay(Arguments arguments) {
  const CommandLine line = ReadCommandLine(kReplayCommand, arguments);
  const std::string& tracePath = line.operands[0];
  const Trace trace = ParseTrace(ReadInput(tracePath), tracePath);
  const std::string dll = line.operands.size() > 1 ? line.operands[1] : HeadValue(trace, trace::kPartKey);
  const double dialogSeconds = DialogSeconds(line);
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(dll);
  std::printf("replay of %s: %s of %s, version %s, recorded by recorder %s on Windows %s\n",
              FileName(tracePath).c_str(), Counted(trace.calls.size(), "call").c_str(),
              HeadValue(trace, trace::kPartKey).c_str(), HeadValue(trace, trace::kPartVersionKey).c_str(),
              HeadValue(trace, trace::kRecorderKey).c_str(), HeadValue(trace, trace::kWindowsKey).c_str());
  std::printf("against %s: %s", dll.c_str(), SameBuildLine(trace, library->Module()).c_str());
  for (const std::string& note : trace.notes) std::printf("recorded: %s\n", note.c_str());
  std::fflush(stdout);
  const ReplayOutcome outcome = ReplayTrace(trace, *library, dialogSeconds, [](const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
  });
  std::printf("replayed %s, %zu differing\n", Counted(outcome.replayed, "call").c_str(), outcome.differing);
  return outcome.differing ? 1 : 0;
}

}  // namespace

const Command kReplayCommand = {
    "replay",
    {{"replay TRACE [DLL] [--close-after SECONDS]", "the calls of a recorder's trace made again, in order,\n"
                                                    "against the recorded part or DLL, with the recorded\n"
                                                    "arguments, bytes, file contents, control word, MXCSR\n"
                                                    "and stack alignment; names the first call whose\n"
                                                    "results differ, with its bytes; exit status 1 when\n"
                                                    "any does"}},
    "Recorder: a DLL that stands in for a part under the part's name, with the real\n"
    "part in a folder named after it beside (Tamberlo.dll and Tamberlo\\Tamberlo.dll),\n"
    "and writes a trace of every call to %TEMP% (tools/make-recorder makes one for\n"
    "any part). Replay cancels a dialog after --close-after seconds (default 1), as\n"
    "the trace does not hold the clicks, and gives the part a window of hostsim's\n"
    "for the simulator's.\n",
    Replay};

}  // namespace host
