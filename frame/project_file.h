// The host's open project file, as the plug-in sees it: a handle of which
// only the low 16 bits count, one write per block, one byte per read.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace frame {

inline HANDLE ProjectFileHandle(std::uint32_t handleArgument) {
  return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handleArgument & 0xFFFFu));
}

// One single write; a failed or short write is not reported (the host has
// no way to hear of it).
void WriteProjectBlock(HANDLE file, const std::string& block);

// One byte at the file's position; false at the end of the file or when the
// read fails.
bool ReadProjectByte(HANDLE file, char& byte);

}  // namespace frame
