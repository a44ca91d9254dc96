// This program run again as a child process, for work that may take its
// process down with it (a plug-in that crashes past any guard, or hangs).
// The child tells the parent what it did in messages of its own, a line
// each, on a channel only the two of them use: what a plug-in prints can
// neither mix into them nor move where they are read, and the messages a
// child sent before it was ended all arrive.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace host {

struct ChildOutcome {
  unsigned long status = 0;  // the child's exit status
  bool timedOut = false;     // ended by the time limit
  std::string err;           // what it wrote on its standard and error output
};

// Runs this program with `arguments` (UTF-8) and the environment variable
// `flag` set to `value`; `onMessage` gets each message as it comes (a line
// the child ended before finishing is not one). Throws a Failure when no
// child can be started.
ChildOutcome RunThisProgramAgain(const std::vector<std::string>& arguments, const char* flag, const std::string& value,
                                 unsigned seconds, const std::function<void(const std::string&)>& onMessage);

// Whether this process is such a child, by its flag, and the flag's value.
bool IsChild(const char* flag);
std::string ChildFlag(const char* flag);

// In the child: one message (without a line end) to the parent, written
// through at once.
void SendToParent(const std::string& message);

}  // namespace host
