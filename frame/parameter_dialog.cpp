// The dialog without a framework: one object per run, which lives on the
// caller's stack and is found again through the window's own data. Nothing
// of a run is kept in statics, so that a dialog opened from within another
// one's modal loop (the loop dispatches the host thread's messages, and the
// host may call in meanwhile) keeps its own values.

#include "parameter_dialog.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "boundary.h"
#include "dialog_help.h"
#include "frame_ids.h"
#include "help_launcher.h"
#include "library_state.h"

namespace frame {
namespace {

// Lists are initialised from a resource of this type with the dialog's id.
constexpr WORD kListItemsType = 240;

// The list items are stored with the add-string messages of 16-bit
// Windows, which today's controls no longer know.
struct StoredMessage {
  WORD stored;
  UINT today;
};
constexpr StoredMessage kStoredMessages[] = {
    {0x0401, LB_ADDSTRING},
    {0x0403, CB_ADDSTRING},
};

UINT TodaysMessage(WORD stored) {
  for (const StoredMessage& message : kStoredMessages)
    if (message.stored == stored) return message.today;
  return 0;
}

WORD Word(const unsigned char* at) { return static_cast<WORD>(at[0] | at[1] << 8); }
DWORD DoubleWord(const unsigned char* at) { return Word(at) | static_cast<DWORD>(Word(at + 2)) << 16; }

// Entries: control (16 bits), message (16 bits), length of the text with
// its NUL (32 bits), text; a zero control ends them. An entry that runs
// past the end, or a text without its NUL, is not sent.
void AddListItems(HWND dialog, const unsigned char* data, std::size_t size) {
  constexpr std::size_t kHeader = 8;
  std::size_t at = 0;
  while (size - at >= kHeader && Word(data + at) != 0) {
    const WORD control = Word(data + at);
    const UINT message = TodaysMessage(Word(data + at + 2));
    const DWORD length = DoubleWord(data + at + 4);
    at += kHeader;
    if (length > size - at) return;
    const char* text = reinterpret_cast<const char*>(data + at);
    at += length;
    if (message && length > 0 && text[length - 1] == '\0')
      SendDlgItemMessageA(dialog, control, message, 0, reinterpret_cast<LPARAM>(text));
  }
}

void FillLists(HWND dialog, int templateId) {
  HMODULE module = Module();
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(kListItemsType));
  if (!found) return;
  const void* data = LockResource(LoadResource(module, found));
  if (data) AddListItems(dialog, static_cast<const unsigned char*>(data), SizeofResource(module, found));
}

// Check boxes and radio buttons through their messages: the documented way on every Windows
// the host runs on (the reference gives Vista for CheckDlgButton and
// IsDlgButtonChecked, which only send these).
void LoadControl(HWND dialog, const BoundControl& control) {
  switch (control.kind) {
    case Exchange::kCheckBox:
      SendDlgItemMessageA(dialog, control.id, BM_SETCHECK, *control.value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case Exchange::kComboIndex:
      SendDlgItemMessageA(dialog, control.id, CB_SETCURSEL, static_cast<WPARAM>(*control.value), 0);
      break;
    case Exchange::kRadioIndex:
      for (int k = 0; k < control.buttons; ++k)
        SendDlgItemMessageA(dialog, control.id + k, BM_SETCHECK, k == *control.value ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
  }
}

std::int32_t SaveControl(HWND dialog, const BoundControl& control) {
  switch (control.kind) {
    case Exchange::kCheckBox:
      return SendDlgItemMessageA(dialog, control.id, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    case Exchange::kComboIndex:
      return static_cast<std::int32_t>(SendDlgItemMessageA(dialog, control.id, CB_GETCURSEL, 0, 0));
    case Exchange::kRadioIndex:
      for (int k = 0; k < control.buttons; ++k)
        if (SendDlgItemMessageA(dialog, control.id + k, BM_GETCHECK, 0, 0) == BST_CHECKED) return k;
      return -1;
  }
  return 0;
}

// The host window kept for the library while it exists, else the
// window active on the host's thread (which may be none).
HWND DialogOwner() {
  HWND kept = MainWindow();
  if (kept && IsWindow(kept)) return kept;
  return GetActiveWindow();
}

// The templates place the dialog at 0, 0: it goes over the middle of its
// owner, or of the screen when it has none, and stays on the work area.
void CentreOverOwner(HWND dialog) {
  HWND owner = GetWindow(dialog, GW_OWNER);
  MONITORINFO monitor;
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  RECT around = work;
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);
  RECT own;
  GetWindowRect(dialog, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  int x = (around.left + around.right - width) / 2;
  int y = (around.top + around.bottom - height) / 2;
  x = std::max<int>(work.left, std::min<int>(x, work.right - width));
  y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

class ParameterDialog {
 public:
  ParameterDialog(const DialogLayout& layout, const BoundControl* controls, std::size_t count)
      : layout_(layout), controls_(controls), count_(count) {
    if (layout_.helpPath == HelpPathBuilt::kPerDialog) helpFilePath_ = BuildHelpFilePath();
  }

  INT_PTR DoModal(HWND owner) {
    return DialogBoxParamA(Module(), MAKEINTRESOURCEA(layout_.templateId), owner, Procedure,
                           reinterpret_cast<LPARAM>(this));
  }

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      SetWindowLongPtrA(window, DWLP_USER, lParam);
      reinterpret_cast<ParameterDialog*>(lParam)->OnInitDialog(window);
      return TRUE;
    }
    auto* dialog = reinterpret_cast<ParameterDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (dialog && message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
      return dialog->OnButton(LOWORD(wParam)) ? TRUE : FALSE;
    return FALSE;
  }

  void OnInitDialog(HWND window) {
    window_ = window;
    CentreOverOwner(window);
    FillLists(window, layout_.templateId);
    for (std::size_t i = 0; i < count_; ++i) LoadControl(window, controls_[i]);
  }

  void SaveValues() {
    for (std::size_t i = 0; i < count_; ++i) *controls_[i].value = SaveControl(window_, controls_[i]);
  }

  bool OnButton(int id) {
    switch (id) {
      case IDOK:
        SaveValues();
        EndDialog(window_, IDOK);
        return true;
      case IDCANCEL:
        EndDialog(window_, IDCANCEL);
        return true;
      case FRAME_HELP_BUTTON:
        OnHelpButton();
        return true;
    }
    return false;
  }

  // The help window belongs to no one, so the dialog stays usable while it
  // is open. Runs inside the window procedure: nothing may leave it as an
  // exception.
  void OnHelpButton() {
    AtBoundary([this] {
      const std::string path = layout_.helpPath == HelpPathBuilt::kPerClick ? BuildHelpFilePath() : helpFilePath_;
      CallHtmlHelp(nullptr, path.c_str(), kHelpContextCommand, layout_.helpContext);
    });
  }

  const DialogLayout& layout_;
  const BoundControl* controls_;
  std::size_t count_;
  std::string helpFilePath_;
  HWND window_ = nullptr;
};

}  // namespace

int RunModalDialog(const DialogLayout& layout, const BoundControl* controls, std::size_t count) {
  ParameterDialog dialog(layout, controls, count);
  return static_cast<int>(dialog.DoModal(DialogOwner()));
}

}  // namespace frame
