// A part's settings, each declared once in its plugin.h: its name, its
// control in the properties dialog (check box, list or radio buttons), its
// German caption and items, the values a project may hold for it, and the
// component's member that keeps it. A new part's default is what that
// member holds in a new component.
//
// From that one declaration come the dialog's controls and the items of its
// lists (the build's resource generator, frame/settings_resources.cpp), the
// exchange with the dialog, the settings in the project file (one decimal
// line per setting, in the order declared) and the settings table of the
// help. Free of the platform.
//
//   static constexpr frame::Item kDirections[] = {{"aufwärts", 0}, {"abwärts", 1}};
//   static constexpr frame::Setting<Component> kSettings[] = {
//       frame::RadioButtons("direction", "Zählrichtung", &Component::direction, kDirections),
//       frame::DelayFlag(&Component::delayFlag),
//   };
#pragma once

#include <cstddef>
#include <cstdint>

namespace frame {

enum class Control {
  kCheckBox,      // ticked 1, not ticked 0
  kList,          // a drop-down list of the items
  kRadioButtons,  // one button per item, in a group box with the caption
};

// One choice of a list or radio group: its text, and the value the setting
// takes for it.
struct Item {
  const char* text;
  std::int32_t value;
};

// The values a project file may give a setting; reading ignores any other
// and keeps the setting as it was.
struct Accepted {
  enum class Kind { kAny, kRange, kItems };
  Kind kind;
  std::int32_t min, max;

  constexpr bool Takes(std::int32_t value, const Item* items, std::size_t itemCount) const {
    switch (kind) {
      case Kind::kAny:
        return true;
      case Kind::kRange:
        return value >= min && value <= max;
      case Kind::kItems:
        for (std::size_t k = 0; k < itemCount; ++k)
          if (items[k].value == value) return true;
        return false;
    }
    return false;
  }
};

// Where the frame numbers the controls of a setting that names none: setting
// k from kFirstSettingControl + k * kControlsPerSetting, a radio group's
// buttons one after another.
constexpr int kFirstSettingControl = 1000;
constexpr int kControlsPerSetting = 16;

template <class Component>
struct Setting {
  const char* name;     // a word for tools and messages: "width"
  Control control;      //
  const char* caption;  // UTF-8; '&' marks the mnemonic
  std::int32_t Component::*member;
  const Item* items;  // none for a check box
  std::size_t itemCount;
  Accepted accepted;
  bool isDelayFlag;  // what HasDelayDLL reports
  int controlId;     // 0: numbered by the frame

  // The values a project may hold, from `min` to `max`.
  constexpr Setting Accepting(std::int32_t min, std::int32_t max) const {
    Setting changed = *this;
    changed.accepted = {Accepted::Kind::kRange, min, max};
    return changed;
  }
  // Any 32-bit value a project holds is taken, and written back as read.
  constexpr Setting AcceptingAny() const {
    Setting changed = *this;
    changed.accepted = {Accepted::Kind::kAny, 0, 0};
    return changed;
  }
  // The control's id where a dialog's layout is fixed already.
  constexpr Setting WithControlId(int id) const {
    Setting changed = *this;
    changed.controlId = id;
    return changed;
  }
};

// A check box; the setting is 1 when ticked, 0 when not, and a project may
// hold 0 or 1.
template <class Component>
constexpr Setting<Component> CheckBox(const char* name, const char* caption, std::int32_t Component::*member) {
  return {name, Control::kCheckBox, caption, member, nullptr, 0, {Accepted::Kind::kRange, 0, 1}, false, 0};
}

// The delay flag: whether the host simulates the part's propagation delay.
// The part only keeps and reports it. As most parts keep it: any value a
// project holds is reported and written back as read.
template <class Component>
constexpr Setting<Component> DelayFlag(std::int32_t Component::*member, const char* caption = "Laufzeit nachbilden") {
  return {"delay", Control::kCheckBox, caption, member, nullptr, 0, {Accepted::Kind::kAny, 0, 0}, true, 0};
}

// A drop-down list of `items`, in their order; a project may hold their
// values.
template <class Component, std::size_t N>
constexpr Setting<Component> List(const char* name, const char* caption, std::int32_t Component::*member,
                                  const Item (&items)[N]) {
  return {name, Control::kList, caption, member, items, N, {Accepted::Kind::kItems, 0, 0}, false, 0};
}

// One radio button per item, in a group box that bears the caption.
template <class Component, std::size_t N>
constexpr Setting<Component> RadioButtons(const char* name, const char* caption, std::int32_t Component::*member,
                                          const Item (&items)[N]) {
  return {name, Control::kRadioButtons, caption, member, items, N, {Accepted::Kind::kItems, 0, 0}, false, 0};
}

// The id of setting k's control (of a radio group, its first button).
template <class Component>
constexpr int ControlIdOf(const Setting<Component>& setting, std::size_t k) {
  return setting.controlId != 0 ? setting.controlId : kFirstSettingControl + static_cast<int>(k) * kControlsPerSetting;
}

// The item a list or radio group shows for `value`: the one of that value;
// else the last below it, else the first. A list whose items grow (4, 8,
// 16) so shows a value in between as the step below it.
template <class Component>
constexpr std::int32_t ItemShown(const Setting<Component>& setting, std::int32_t value) {
  std::int32_t shown = 0;
  for (std::size_t k = 0; k < setting.itemCount; ++k) {
    if (setting.items[k].value == value) return static_cast<std::int32_t>(k);
    if (setting.items[k].value < value && setting.items[k].value >= setting.items[shown].value)
      shown = static_cast<std::int32_t>(k);
  }
  return shown;
}

// --- the dialog ---------------------------------------------------------------

// When the path of the help file is built: once as the dialog opens, or
// anew at every click of "Hilfe".
enum class HelpPathBuilt { kPerDialog, kPerClick };

// A place in dialog units.
struct Place {
  int x, y, width, height;
};

// One control of a dialog whose layout is given: the buttons, a group box,
// a setting's control or a list's label, in tab order.
struct Placed {
  enum class Piece { kOk, kCancel, kHelp, kGroupBox, kSettingControl, kSettingLabel };
  Piece piece;
  const char* text;  // of a button or group box; a setting's name for the other two
  Place place;
};

constexpr Placed OkButton(Place place) { return {Placed::Piece::kOk, "OK", place}; }
constexpr Placed CancelButton(Place place, const char* text = "Abbrechen") {
  return {Placed::Piece::kCancel, text, place};
}
constexpr Placed HelpButton(Place place) { return {Placed::Piece::kHelp, "Hilfe", place}; }
constexpr Placed GroupBox(const char* text, Place place) { return {Placed::Piece::kGroupBox, text, place}; }
// A setting's check box, list or the group box of its radio buttons.
constexpr Placed ControlOf(const char* setting, Place place) {
  return {Placed::Piece::kSettingControl, setting, place};
}
// The caption of a setting's list, beside it.
constexpr Placed LabelOf(const char* setting, Place place) { return {Placed::Piece::kSettingLabel, setting, place}; }

// The properties dialog: its template's id (also of its lists' items), its
// caption and its help topic. Without a layout the frame lays the settings
// out one below the other, the buttons beside them; a given layout places
// every control itself.
struct Dialog {
  int templateId;
  const char* caption;  // UTF-8
  std::uint32_t helpContext;
  HelpPathBuilt helpPath = HelpPathBuilt::kPerDialog;
  int width = 0, height = 0;  // of a given layout
  const Placed* placed = nullptr;
  std::size_t placedCount = 0;

  template <std::size_t N>
  constexpr Dialog LaidOut(int dialogWidth, int dialogHeight, const Placed (&controls)[N]) const {
    Dialog changed = *this;
    changed.width = dialogWidth;
    changed.height = dialogHeight;
    changed.placed = controls;
    changed.placedCount = N;
    return changed;
  }
  constexpr Dialog BuildingHelpPathPerClick() const {
    Dialog changed = *this;
    changed.helpPath = HelpPathBuilt::kPerClick;
    return changed;
  }
};

}  // namespace frame
