// The host's pin description record, and how a component's name tables are
// written into it.
//
// Byte 0 and byte 1 hold the input and output counts; input name i sits in
// a 41-byte slot at 2 + 41 * i, output name j at 2052 + 41 * j whatever the
// number of inputs. Only the counts and the names with their NULs are
// written: every other byte stays as the host supplied it.
#pragma once

#include <cstddef>

namespace frame {

constexpr int kMaxPins = 50;  // per direction; also the working buffers' size
constexpr std::size_t kPinNameSlotSize = 41;
constexpr std::size_t kInputNamesOffset = 2;
constexpr std::size_t kOutputNamesOffset = kInputNamesOffset + kMaxPins * kPinNameSlotSize;  // 2052

constexpr std::size_t NameLength(const char* name) {
  std::size_t n = 0;
  while (name[n]) ++n;
  return n;
}

template <class NameTable>
constexpr bool NamesFitSlots(const NameTable& names) {
  for (std::size_t pin = 0; pin < names.size(); ++pin)
    if (NameLength(names[pin]) >= kPinNameSlotSize) return false;
  return true;
}

inline void CopyPinName(unsigned char* slot, const char* name) {
  for (std::size_t i = 0;; ++i) {
    slot[i] = static_cast<unsigned char>(name[i]);
    if (!name[i]) break;
  }
}

// `Component` names its pins in the tables kInputNames and kOutputNames
// (frame::Names).
template <class Component>
void FillPinInfo(unsigned char* record) {
  static_assert(Component::InputCount() >= 1 && Component::InputCount() <= kMaxPins, "input count");
  static_assert(Component::OutputCount() >= 1 && Component::OutputCount() <= kMaxPins, "output count");
  static_assert(Component::kInputNames.size() == Component::InputCount(), "one name per input");
  static_assert(Component::kOutputNames.size() == Component::OutputCount(), "one name per output");
  static_assert(NamesFitSlots(Component::kInputNames) && NamesFitSlots(Component::kOutputNames),
                "every pin name fits its slot with its NUL");

  record[0] = static_cast<unsigned char>(Component::InputCount());
  record[1] = static_cast<unsigned char>(Component::OutputCount());
  for (int i = 0; i < Component::InputCount(); ++i)
    CopyPinName(record + kInputNamesOffset + i * kPinNameSlotSize, Component::kInputNames[i]);
  for (int j = 0; j < Component::OutputCount(); ++j)
    CopyPinName(record + kOutputNamesOffset + j * kPinNameSlotSize, Component::kOutputNames[j]);
}

}  // namespace frame
