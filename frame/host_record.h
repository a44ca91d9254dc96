// The host's per-component record. Opaque but for two fields; the record is
// byte-packed, so both are unaligned and copied rather than dereferenced.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstring>

namespace frame {

constexpr std::size_t kInstanceSlotOffset = 5571;
constexpr std::size_t kHostWindowOffset = 5579;

// The two small records the plug-in clears for the host: the parameter
// record (3 bytes) and the dialog-enable record (three 32-bit words and
// one byte).
constexpr std::size_t kParameterStructSize = 3;
constexpr std::size_t kDialogEnableStructSize = 3 * 4 + 1;

template <class Component>
Component* InstanceIn(const void* hostRecord) {
  Component* instance;
  std::memcpy(&instance, static_cast<const unsigned char*>(hostRecord) + kInstanceSlotOffset, sizeof instance);
  return instance;
}

inline void SetInstanceSlot(void* hostRecord, void* instance) {
  std::memcpy(static_cast<unsigned char*>(hostRecord) + kInstanceSlotOffset, &instance, sizeof instance);
}

inline HWND HostWindowIn(const void* hostRecord) {
  HWND window;
  std::memcpy(&window, static_cast<const unsigned char*>(hostRecord) + kHostWindowOffset, sizeof window);
  return window;
}

}  // namespace frame
