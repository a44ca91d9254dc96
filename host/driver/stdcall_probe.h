// Calls an entry point the way a host built by another compiler may: the
// arguments pushed as 32-bit slots, the stack at a chosen alignment, and
// the callee trusted to remove exactly its own arguments.
#pragma once

#include <cstdint>

namespace host {

struct ProbeResult {
  std::uint32_t eax;
  // Bytes the callee left on (positive) or took from (negative) the stack
  // beyond its arguments; 0 for a correct stdcall function.
  std::int32_t stackImbalance;
};

// `entryMisalignment` is ESP mod 16 at the callee's first instruction
// (0, 4, 8 or 12).
ProbeResult CallStdcall(const void* function, const std::uint32_t* arguments, int count, int entryMisalignment);

}  // namespace host
