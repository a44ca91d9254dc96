#include "dialog_window.h"

#include <string>

#include "paths.h"
#include "utf16.h"

namespace host {
namespace {

std::string WindowText(HWND window) {
  std::wstring text(std::size_t(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(std::size_t(GetWindowTextW(window, &text[0], int(text.size()))));
  return Utf8FromWide(text);
}

std::string ClassOf(HWND window) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

ControlKind ButtonKind(LONG style) {
  switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return ControlKind::kCheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return ControlKind::kRadioButton;
    case BS_GROUPBOX:
      return ControlKind::kGroupBox;
    default:
      return ControlKind::kOther;
  }
}

// Statics that show text, not pictures, frames or rectangles.
bool ShowsText(LONG style) {
  const LONG type = style & SS_TYPEMASK;
  return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

ControlKind KindOf(HWND window) {
  const std::string name = ClassOf(window);
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  if (lstrcmpiA(name.c_str(), "Button") == 0) return ButtonKind(style);
  if (lstrcmpiA(name.c_str(), "ComboBox") == 0) return ControlKind::kComboBox;
  if (lstrcmpiA(name.c_str(), "Static") == 0 && ShowsText(style)) return ControlKind::kLabel;
  return ControlKind::kOther;
}

ControlBox BoxOf(HWND dialog, HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

std::vector<std::string> ItemsOf(HWND comboBox) {
  std::vector<std::string> items;
  const LRESULT count = SendMessageW(comboBox, CB_GETCOUNT, 0, 0);
  for (LRESULT k = 0; k < count; ++k) {
    const LRESULT length = SendMessageW(comboBox, CB_GETLBTEXTLEN, WPARAM(k), 0);
    std::wstring item(std::size_t(length < 0 ? 0 : length) + 1, L'\0');
    item.resize(std::size_t(SendMessageW(comboBox, CB_GETLBTEXT, WPARAM(k), LPARAM(&item[0]))));
    items.push_back(Utf8FromWide(item));
  }
  return items;
}

DialogControl ControlOf(HWND dialog, HWND window) {
  DialogControl control;
  control.kind = KindOf(window);
  control.text = WithoutMnemonics(WindowText(window));
  control.box = BoxOf(dialog, window);
  if (control.kind == ControlKind::kComboBox) {
    control.items = ItemsOf(window);
    control.selected = int(SendMessageW(window, CB_GETCURSEL, 0, 0));
  }
  control.checked = SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
  return control;
}

}  // namespace

DialogWindow ReadDialog(HWND dialog) {
  DialogWindow read;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    read.controls.push_back(ControlOf(dialog, child));
    read.windows.push_back(child);
  }
  return read;
}

void Perform(HWND dialog, const DialogWindow& window, const DialogAction& action) {
  const HWND control = window.windows[action.control];
  if (action.kind == DialogAction::kClick) SendMessageA(control, BM_CLICK, 0, 0);
  if (action.kind != DialogAction::kPick) return;
  SendMessageA(control, CB_SETCURSEL, WPARAM(action.item), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), CBN_SELCHANGE), LPARAM(control));
}

}  // namespace host
