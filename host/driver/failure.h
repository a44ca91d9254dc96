// The host side's one error convention: what goes wrong with what the user
// gave (a file, a DLL, a stimulus, a project) is thrown as a Failure whose
// text is the whole message, one line naming the thing; the command line
// prints it and ends with exit status 2.
#pragma once

#include <stdexcept>
#include <string>

namespace host {

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The message of the Failure that `work()` throws; empty when it throws
// none. For callers (and tests) that look at the message itself.
template <class Work>
std::string FailureOf(Work&& work) {
  try {
    work();
  } catch (const Failure& failure) {
    return failure.what();
  }
  return {};
}

}  // namespace host
