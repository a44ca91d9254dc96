// What a file's header says it is, read before the loader sees the file:
// a plug-in can only be a DLL for 32-bit x86 Windows, and anything else
// handed to the loader would be run (a program's code as a DLL) or turned
// down with a reason that does not name the real one.
#pragma once

#include <string>

namespace host {

// The bytes of the header a file starts with that the check reads at most.
constexpr std::size_t kDllHeaderBytes = 4096;

// Why a file starting with `header` is not a 32-bit Windows DLL ("a
// program, not a DLL"); empty where it is one.
std::string WhyNotA32BitDll(const std::string& header);

}  // namespace host
