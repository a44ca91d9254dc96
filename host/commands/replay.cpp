// `replay`: a trace written by a recorder in the host, made again against
// the recorded part or another build of it, and compared.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "command.h"
#include "options.h"
#include "paths.h"
#include "plugin_library.h"
#include "sha256.h"
#include "shown_text.h"
#include "trace_file.h"
#include "trace_format.h"
#include "trace_replay.h"
#include "words.h"

namespace host {
namespace {

constexpr double kDialogSeconds = 1.0;

std::string HeadValue(const Trace& trace, const char* key) {
  const auto found = trace.head.find(key);
  return found == trace.head.end() ? "?" : ShownUserText(found->second);
}

bool IsDeviceName(const std::string& name) {
  std::string stem = name.substr(0, name.find('.'));
  for (char& c : stem) c = char(std::toupper(static_cast<unsigned char>(c)));
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (stem == device) return true;
  return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) && stem[3] >= '0' &&
         stem[3] <= '9';
}

// The part's file name from the head: only its last component, and only
// a plain name of a DLL, never a path, a drive, a device or a stream.
std::string PartFileName(const Trace& trace) {
  const auto part = trace.head.find(trace::kPartKey);
  if (part == trace.head.end()) throw Failure("the trace names no part: name the DLL to replay against");
  const std::string name = FileName(part->second);
  const bool plain = name.size() > 4 && name.find_first_of("<>:\"|?*") == std::string::npos &&
                     name.find("..") == std::string::npos && !IsDeviceName(name) &&
                     _stricmp(name.c_str() + name.size() - 4, ".dll") == 0;
  if (!plain)
    throw Failure("the trace's part " + Quoted(part->second) +
                  " is no plain DLL file name: name the DLL to replay against");
  return name;
}

// The recorded part, looked for in the trace's folder and the current
// folder, and taken only where its SHA-256 is the recorded one: nothing is
// loaded before that is known.
std::string RecordedPart(const Trace& trace, const std::string& tracePath) {
  const std::string name = PartFileName(trace);
  const std::string recorded = HeadValue(trace, trace::kPartSha256Key);
  const std::string traceFolder = tracePath == "-" ? "." : FolderOf(FullPath(tracePath));
  std::string found;
  for (const std::string& folder : {traceFolder, FullPath(".")}) {
    const std::string path = folder + "\\" + name;
    char sha[65];
    if (!Exists(path) || IsFolder(path) || !checksum::FileSha256(path.c_str(), sha)) continue;
    if (recorded == sha) return path;
    found += "; " + path + " has SHA-256 " + sha;
  }
  if (found.empty())
    throw Failure(name + " is in neither the trace's folder nor the current folder: name the DLL to replay against");
  throw Failure("the trace was recorded with " + name + " of SHA-256 " + recorded + found +
                ": none is loaded; name the DLL to replay against");
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

void PrintHead(const Trace& trace, std::size_t calls, const std::string& tracePath, const std::string& dll,
               HMODULE module) {
  std::printf("replay of %s: %s of %s, version %s, recorded by recorder %s on Windows %s\n",
              FileName(tracePath).c_str(), Counted(calls, "call").c_str(), HeadValue(trace, trace::kPartKey).c_str(),
              HeadValue(trace, trace::kPartVersionKey).c_str(), HeadValue(trace, trace::kRecorderKey).c_str(),
              HeadValue(trace, trace::kWindowsKey).c_str());
  std::printf("against %s: %s", dll.c_str(), SameBuildLine(trace, module).c_str());
  for (const std::string& note : trace.notes) std::printf("recorded: %s\n", ShownUserText(note).c_str());
  if (trace.notesNotKept) std::printf("recorded: %s more\n", Counted(trace.notesNotKept, "note").c_str());
  std::fflush(stdout);
}

int Replay(Arguments arguments, FaultGuard& guard) {
  const CommandLine line = ReadCommandLine(kReplayCommand, arguments);
  const std::string& tracePath = line.operands[0];
  const double dialogSeconds = DialogSeconds(line);
  // The whole trace is checked before any DLL is loaded or called.
  Trace trace;
  std::size_t calls = 0;
  ReadTraceAt(tracePath, trace, [&](const TraceCall&) { ++calls; });
  const std::string dll = line.operands.size() > 1 ? line.operands[1] : RecordedPart(trace, tracePath);
  const std::unique_ptr<PluginLibrary> library = LoadPlugin(dll, guard);
  PrintHead(trace, calls, tracePath, dll, library->Module());
  TraceReplay replay(*library, dialogSeconds, [](const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
  });
  Trace again;
  ReadTraceAt(tracePath, again, [&](const TraceCall& call) { replay.Call(call); });
  const ReplayOutcome outcome = replay.Finish();
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
    "Without DLL, the part named by the trace's head, by its file name only, from the\n"
    "trace's folder or the current folder, and only where its SHA-256 is the one\n"
    "recorded. A trace that is not as the recorder writes it is bad input.\n"
    "Recorder: a DLL that stands in for a part under the part's name, with the real\n"
    "part in a folder named after it beside (Tamberlo.dll and Tamberlo\\Tamberlo.dll),\n"
    "and writes a trace of every call to %TEMP% (tools/make-recorder makes one for\n"
    "any part). Replay cancels a dialog after --close-after seconds (default 1), as\n"
    "the trace does not hold the clicks, and gives the part a window of hostsim's\n"
    "for the simulator's.\n",
    Replay};

}  // namespace host
