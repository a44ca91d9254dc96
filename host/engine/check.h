// `check`: judges any plug-in from the host's side of the interface, area
// by area. Each area yields findings (the plug-in breaks the interface),
// notes (worth knowing, not wrong) or a one-line account of what passed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fault_guard.h"
#include "plugin_interface.h"

namespace host {

struct CheckLine {
  enum Kind { kPassed, kFinding, kNote } kind;
  std::string area;
  std::string text;  // UTF-8
};

// An area as `check --list` shows it.
struct CheckArea {
  const char* name;
  const char* description;
};

// Every area, in the order they are judged.
const std::vector<CheckArea>& CheckAreas();

// What is done with a DLL beside its areas, told as areas of their own so
// that whatever happens there has a place: loading it and reading its
// name, unloading it.
constexpr char kLoadArea[] = "load";
constexpr char kUnloadArea[] = "unload";

// What the checker tells as it goes, each as soon as it is known, so that
// a check that takes its process down has told all it found before. The
// account of what passed comes at the end of its area, after any notes.
class CheckListener {
 public:
  virtual ~CheckListener() = default;
  virtual void Heading(const std::string& displayName) = 0;  // UTF-8; empty when there is none
  virtual void Begin(const std::string& area) = 0;
  virtual void Calling(const std::string& entryPoint) = 0;  // before each call into the plug-in
  virtual void Line(const CheckLine& line) = 0;
  virtual void End(const std::string& area) = 0;
};

// The areas to judge of one DLL (names of CheckAreas), and whether its
// heading is wanted: not where a check goes on after an area that took its
// process down.
struct CheckPlan {
  std::vector<std::string> areas;
  bool heading = true;
};

void CheckPlugin(const std::string& path, FaultGuard& guard, CheckListener& listener, const CheckPlan& plan);

// What the stack probe passes in each kind of slot: the addresses of its
// own buffers and the file's handle, 0 for a number, and 1 for the
// describe flag, so that the pin record is written.
struct ProbeArguments {
  std::uint32_t record, pins, in, out, parameters, enables, file;

  std::uint32_t For(entry_point::Slot slot) const;
};

struct ProbeCall {
  const EntryPoint* entry;
  std::vector<std::uint32_t> arguments;
};

// The stack probe's calls: every entry point that returns without a user,
// once, in the order of the interface's list but for the placing of the
// part, first, and its removal, last, so that every entry point that needs
// the part finds it.
std::vector<ProbeCall> StackProbeCalls(const ProbeArguments& given);

}  // namespace host
