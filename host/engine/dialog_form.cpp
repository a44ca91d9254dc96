#include "dialog_form.h"

#include "failure.h"
#include "shown_text.h"

namespace host {
namespace {

// One setting as the dialog offers it: the caption the user reads, the
// controls that hold it and the values it takes.
struct OfferedSetting {
  std::string caption;
  ControlKind kind;
  std::vector<std::size_t> controls;  // one, or a group's radio buttons
  std::vector<std::string> values;
};

bool Overlap(int firstFrom, int firstTo, int secondFrom, int secondTo) {
  return firstFrom < secondTo && secondFrom < firstTo;
}

bool Inside(const ControlBox& outer, const ControlBox& inner) {
  const int x = (inner.left + inner.right) / 2, y = (inner.top + inner.bottom) / 2;
  return outer.left <= x && x < outer.right && outer.top <= y && y < outer.bottom;
}

int Area(const ControlBox& box) { return (box.right - box.left) * (box.bottom - box.top); }

// The label the user reads as a combo box's: the nearest text on its row
// to its left, else the nearest above it; by place, as the template's
// order need not follow it.
const DialogControl* LabelOf(const std::vector<DialogControl>& controls, const ControlBox& combo) {
  const DialogControl *left = nullptr, *above = nullptr;
  for (const DialogControl& label : controls) {
    if (label.kind != ControlKind::kLabel || label.text.empty()) continue;
    const ControlBox& box = label.box;
    if (Overlap(box.top, box.bottom, combo.top, combo.bottom) && box.right <= combo.left + 2) {
      if (!left || box.right > left->box.right) left = &label;
    } else if (Overlap(box.left, box.right, combo.left, combo.right) && box.bottom <= combo.top + 2) {
      if (!above || box.bottom > above->box.bottom) above = &label;
    }
  }
  return left ? left : above;
}

std::string WithoutColon(const std::string& caption) {
  return !caption.empty() && caption.back() == ':' ? caption.substr(0, caption.size() - 1) : caption;
}

// The smallest group box around a control, or none.
const DialogControl* GroupOf(const std::vector<DialogControl>& controls, const ControlBox& inner) {
  const DialogControl* group = nullptr;
  for (const DialogControl& box : controls)
    if (box.kind == ControlKind::kGroupBox && Inside(box.box, inner) && (!group || Area(box.box) < Area(group->box)))
      group = &box;
  return group;
}

void AddRadioButton(std::vector<OfferedSetting>& settings, const std::vector<DialogControl>& controls,
                    std::size_t index) {
  const DialogControl* group = GroupOf(controls, controls[index].box);
  if (!group) return;
  for (OfferedSetting& setting : settings)
    if (setting.kind == ControlKind::kRadioButton && setting.caption == group->text) {
      setting.controls.push_back(index);
      setting.values.push_back(controls[index].text);
      return;
    }
  settings.push_back({group->text, ControlKind::kRadioButton, {index}, {controls[index].text}});
}

std::vector<OfferedSetting> SettingsOffered(const std::vector<DialogControl>& controls) {
  std::vector<OfferedSetting> settings;
  for (std::size_t k = 0; k < controls.size(); ++k) {
    const DialogControl& control = controls[k];
    if (control.kind == ControlKind::kCheckBox) {
      settings.push_back({control.text, control.kind, {k}, {"0", "1"}});
    } else if (control.kind == ControlKind::kComboBox) {
      const DialogControl* label = LabelOf(controls, control.box);
      settings.push_back({label ? WithoutColon(label->text) : "", control.kind, {k}, control.items});
    } else if (control.kind == ControlKind::kRadioButton) {
      AddRadioButton(settings, controls, k);
    }
  }
  return settings;
}

std::string ValuesListed(const std::vector<std::string>& values) {
  if (values.empty()) return "no items";
  std::string listed;
  for (std::size_t k = 0; k < values.size(); ++k)
    listed += (k == 0 ? "" : k + 1 == values.size() ? " or " : ", ") + ShownUserText(values[k]);
  return listed;
}

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kCheckBox:
      return "check box";
    case ControlKind::kComboBox:
      return "list";
    default:
      return "radio buttons";
  }
}

std::string OffersOf(const std::vector<OfferedSetting>& settings) {
  if (settings.empty()) return "  no check box, list or radio buttons";
  std::string offers;
  for (const OfferedSetting& setting : settings)
    offers += std::string(offers.empty() ? "" : "\n") + "  " + Quoted(setting.caption) + " (" + KindName(setting.kind) +
              "): " + ValuesListed(setting.values);
  return offers;
}

bool Names(const OfferedSetting& setting, const std::string& caption) {
  if (setting.kind == ControlKind::kComboBox) return WithoutColon(caption) == setting.caption;
  return caption == setting.caption;
}

const OfferedSetting& SettingCalled(const std::vector<OfferedSetting>& settings, const std::string& caption) {
  const OfferedSetting* found = nullptr;
  for (const OfferedSetting& setting : settings) {
    if (!Names(setting, caption)) continue;
    if (found)
      throw Failure("--set " + Quoted(caption) + ": the dialog has more than one setting of that caption; it offers\n" +
                    OffersOf(settings));
    found = &setting;
  }
  if (!found)
    throw Failure("--set " + Quoted(caption) + ": the dialog has no setting of that caption; it offers\n" +
                  OffersOf(settings));
  return *found;
}

}  // namespace

std::string WithoutMnemonics(const std::string& text) {
  std::string shown;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '&' && ++k == text.size()) break;
    shown += text[k];
  }
  return shown;
}

SetRequest ReadSetRequest(const std::string& text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0)
    throw Failure("--set " + Quoted(text) + " is not CAPTION=VALUE, such as \"Laufzeit nachbilden=1\"");
  return {text.substr(0, equals), text.substr(equals + 1)};
}

DialogAction ActionFor(const std::vector<DialogControl>& controls, const SetRequest& request) {
  const std::vector<OfferedSetting> settings = SettingsOffered(controls);
  const OfferedSetting& setting = SettingCalled(settings, request.caption);
  std::size_t value = 0;
  while (value < setting.values.size() && setting.values[value] != request.value) ++value;
  if (value == setting.values.size())
    throw Failure("--set " + Quoted(request.caption + "=" + request.value) + ": " + Quoted(request.value) +
                  " is not a value of " + Quoted(setting.caption) + ", which takes " + ValuesListed(setting.values));
  if (setting.kind == ControlKind::kComboBox) return {DialogAction::kPick, setting.controls[0], int(value)};
  if (setting.kind == ControlKind::kRadioButton) {
    const std::size_t button = setting.controls[value];
    return {controls[button].checked ? DialogAction::kLeaveAlone : DialogAction::kClick, button};
  }
  const bool tick = value == 1;
  return {controls[setting.controls[0]].checked == tick ? DialogAction::kLeaveAlone : DialogAction::kClick,
          setting.controls[0]};
}

std::string ActionDone(const std::vector<DialogControl>& controls, const DialogAction& action) {
  if (action.kind == DialogAction::kClick) return "clicked";
  if (action.kind == DialogAction::kLeaveAlone) return "already so";
  return "picked item " + std::to_string(action.item + 1) + " of " +
         std::to_string(controls[action.control].items.size());
}

}  // namespace host
