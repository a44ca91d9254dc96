// Where a test plug-in keeps what InitUserDLL made, in the host's record,
// and how it reaches the project file: the host's layout, stated here once
// for the test plug-ins.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace test {

// The record's instance slot: 4 bytes at this offset.
constexpr std::size_t kInstanceSlot = 5571;

template <class Part>
Part* PartInSlot(unsigned char* record) {
  Part* part;
  std::memcpy(&part, record + kInstanceSlot, 4);
  return part;
}

template <class Part>
void PutInSlot(unsigned char* record, Part* part) {
  std::memcpy(record + kInstanceSlot, &part, 4);
}

inline void EmptySlot(unsigned char* record) { std::memset(record + kInstanceSlot, 0, 4); }

// The project file's handle, which the host passes in the low 16 bits.
inline HANDLE FileOf(std::uint32_t handle) { return reinterpret_cast<HANDLE>(std::uintptr_t(handle & 0xFFFF)); }

}  // namespace test
