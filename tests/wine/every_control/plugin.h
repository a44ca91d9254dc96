// The test part's settings, in the frame's own layout.
#pragma once

#include "counter.h"
#include "settings.h"

struct Plugin {
  using Component = Counter;
  static constexpr bool kKeepsHostWindow = true;
  static constexpr bool kRefillsPinInfoAfterDialog = false;

  static constexpr frame::Item kDirections[] = {{"aufwärts", 1}, {"abwärts", -1}};
  static constexpr frame::Item kSteps[] = {{"1", 1}, {"4", 4}, {"10", 10}};
  static constexpr frame::Setting<Component> kSettings[] = {
      frame::RadioButtons("direction", "Zählrichtung", &Component::direction, kDirections),
      frame::List("step", "Schrittweite:", &Component::step, kSteps),
      frame::CheckBox("enabled", "&Zählen", &Component::enabled),
      frame::DelayFlag(&Component::delayFlag),
  };
  static constexpr frame::Dialog kDialog{3000, "Zähler", 900};
};
