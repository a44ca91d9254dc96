// `check`: judges any plug-in from the host's side of the interface, area
// by area. Each area yields findings (the plug-in breaks the interface),
// notes (worth knowing, not wrong) or a one-line account of what passed.
#pragma once

#include <string>
#include <vector>

#include "fault_guard.h"

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

}  // namespace host
