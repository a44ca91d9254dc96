// Any bytes may stand where the host expects a plug-in's block: a damaged
// or hostile project file. Whatever they are, loading must stop at the end
// of the data or right after the marker, keep its memory bounded, and
// leave every component with settings it can save and load back unchanged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "full_adder.h"
#include "persistence.h"
#include "require.h"
#include "segment_decoder.h"
#include "shift_register.h"

namespace {

using fuzz::Require;

template <class Component>
Component LoadedFrom(const std::string& block) {
  Component component;
  frame::ApplyBlock(component, block);
  return component;
}

template <class Component>
void RequireRoundTrip(const Component& loaded) {
  const std::string saved = frame::ComposeBlock(loaded);
  Require(frame::ComposeBlock(LoadedFrom<Component>(saved)) == saved);
}

// A loaded register still only ever addresses its own cells.
void RequireRegisterWorks(ShiftRegister& shiftRegister) {
  Require(shiftRegister.Width() >= 1 && shiftRegister.Width() <= ShiftRegister::kCapacity);
  double outputs[1];
  for (int step = 0; step < 2 * ShiftRegister::kCapacity + 2; ++step) {
    const double inputs[4] = {0.0, step % 2 ? 5.0 : 0.0, 5.0, 5.0};
    if (step == 0)
      shiftRegister.EvaluateInitial(inputs, outputs);
    else
      shiftRegister.Evaluate(inputs, outputs);
  }
  Require(outputs[0] == 5.0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  std::size_t position = 0;
  const auto block = frame::GatherBlock([&](char& byte) {
    if (position == file.size()) return false;
    byte = file[position++];
    return true;
  });
  if (!block) {
    Require(position == file.size());
    return 0;
  }
  Require(position >= frame::kEndMarkerLength && file[position - 1] == '\n');
  Require(block->size() <= frame::kMaxKeptBlockBytes);
  Require(*block == file.substr(0, block->size()));

  RequireRoundTrip(LoadedFrom<FullAdder>(*block));
  RequireRoundTrip(LoadedFrom<SegmentDecoder>(*block));
  ShiftRegister shiftRegister = LoadedFrom<ShiftRegister>(*block);
  RequireRoundTrip(shiftRegister);
  RequireRegisterWorks(shiftRegister);
  return 0;
}
