// A dialog as its user reads it: the controls that hold a setting, found
// by the text beside them rather than by ids, and what "CAPTION=VALUE"
// asks of them. Knows nothing of windows; dialog_window.h reads the
// controls from a dialog and acts on them.
#pragma once

#include <string>
#include <vector>

namespace host {

enum class ControlKind { kCheckBox, kRadioButton, kGroupBox, kComboBox, kLabel, kOther };

// Where a control sits, in the dialog's client pixels.
struct ControlBox {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct DialogControl {
  ControlKind kind = ControlKind::kOther;
  std::string text;  // as the user reads it, in UTF-8, without the '&' marks
  ControlBox box;
  std::vector<std::string> items;  // a combo box's list
  int selected = -1;               // a combo box's item shown, -1 for none
  bool checked = false;            // a check box or radio button
};

// A control's text without its mnemonic marks: "&Bitbreite" as "Bitbreite",
// "A && B" as "A & B".
std::string WithoutMnemonics(const std::string& text);

// One --set: "CAPTION=VALUE", split at the first '='.
struct SetRequest {
  std::string caption, value;
};
SetRequest ReadSetRequest(const std::string& text);

// What a user does for one request, on the control `control` (an index
// into the dialog's controls).
struct DialogAction {
  enum Kind { kClick, kLeaveAlone, kPick } kind = kLeaveAlone;
  std::size_t control = 0;
  int item = -1;  // for kPick
};

// The action that makes the dialog show `request`: a check box by its own
// text with 0 or 1; a combo box by its label with an item's text; radio
// buttons by their group box's caption with the button's text. Throws a
// Failure naming the caption and listing what the dialog offers when the
// caption is not there, is there twice, or the value is not one of it.
// A combo box's caption may be given with or without the label's ':'.
DialogAction ActionFor(const std::vector<DialogControl>& controls, const SetRequest& request);

// What ActionFor's action did, for the output: "clicked", "already so",
// "picked item 2 of 3".
std::string ActionDone(const std::vector<DialogControl>& controls, const DialogAction& action);

}  // namespace host
