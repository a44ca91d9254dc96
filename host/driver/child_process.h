// This program run again as a child process, for work that may take its
// process down with it (a plug-in that crashes past any guard, or hangs):
// its output arrives as the child writes it, and a time limit ends it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace host {

struct ChildOutcome {
  unsigned long status = 0;  // the child's exit status
  bool timedOut = false;     // ended by the time limit
  std::string out, err;
};

// Runs this program with `arguments` (UTF-8) and the environment variable
// `flag` set to `value`; `onOutput` gets each piece of its standard output
// as it comes. Throws a Failure when no child can be started.
ChildOutcome RunThisProgramAgain(const std::vector<std::string>& arguments, const char* flag, const std::string& value,
                                 unsigned seconds, const std::function<void(const std::string&)>& onOutput);

// Whether this process is such a child, by its flag, and the flag's value.
bool IsChild(const char* flag);
std::string ChildFlag(const char* flag);

}  // namespace host
