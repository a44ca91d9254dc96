// Any bytes may stand where the host expects a plug-in's block: a damaged
// or hostile project file. Whatever they are, loading must stop at the end
// of the data or right after the marker, keep its memory bounded, and leave
// the part with settings it accepts, that it saves and loads back
// unchanged, and that it evaluates with. Built once per part, against its
// plugin.h.
#include <cstddef>
#include <cstdint>
#include <string>

#include "persistence.h"
#include "plugin.h"
#include "require.h"

namespace {

using fuzz::Require;
using Component = Plugin::Component;

Component LoadedFrom(const std::string& block) {
  Component component;
  frame::ApplyBlock<Plugin>(component, block);
  return component;
}

void RequireAcceptedSettings(const Component& loaded) {
  for (const auto& setting : Plugin::kSettings)
    Require(setting.accepted.Takes(loaded.*setting.member, setting.items, setting.itemCount));
}

void RequireRoundTrip(const Component& loaded) {
  const std::string saved = frame::ComposeBlock<Plugin>(loaded);
  Require(frame::ComposeBlock<Plugin>(LoadedFrom(saved)) == saved);
}

// Every input toggled, long enough for a clock to run through any register
// the settings may give; the sanitizers watch what the rule touches.
void Evaluate(Component& loaded) {
  double inputs[Component::InputCount()];
  double outputs[Component::OutputCount()];
  for (int step = 0; step < 64; ++step) {
    for (double& input : inputs) input = step % 2 ? 5.0 : 0.0;
    if (step == 0)
      loaded.EvaluateInitial(inputs, outputs);
    else
      loaded.Evaluate(inputs, outputs);
  }
  for (double output : outputs) Require(output == 0.0 || output == 5.0);
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

  Component loaded = LoadedFrom(*block);
  RequireAcceptedSettings(loaded);
  RequireRoundTrip(loaded);
  Evaluate(loaded);
  return 0;
}
