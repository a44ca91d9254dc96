// A plug-in for the tests of `hostsim dialog --set`: a buffer whose four
// settings sit in a dialog of every kind of control, written one a line:
//   the delay flag (check box), the step 1, 2 or 4 (a list), the direction
//   0 up or 1 down (radio buttons), the view 0 decimal or 1 hexadecimal (a
//   list).
// The step is taken from the list's CBN_SELCHANGE, as dialogs that follow
// a pick as it happens do: a list changed without it keeps the old step.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "dialog_ids.h"

#include "../end_marker.h"
#include "../instance_slot.h"
#include "../plain_entries.h"

namespace {

struct Settings {
  int delay = 0, step = 1, down = 0, view = 0;
};

struct Part {
  Settings settings;
  char labels[2] = "E";
};

// The dialog's own state while it is open: its settings and the step the
// list last told it of.
struct OpenDialog {
  Settings* stored;
  int pickedStep;
};

constexpr auto& kMarker = test::kEndMarker;
const int kSteps[] = {1, 2, 4};
HINSTANCE module;

Part* PartIn(unsigned char* record) { return test::PartInSlot<Part>(record); }

using test::FileOf;

int StepIndex(int step) { return step == 4 ? 2 : step == 2 ? 1 : 0; }

void FillDialog(HWND dialog, const Settings& settings) {
  CheckDlgButton(dialog, DELAY_BOX, settings.delay ? BST_CHECKED : BST_UNCHECKED);
  for (const char* step : {"1", "2", "4"}) SendDlgItemMessageA(dialog, STEP_LIST, CB_ADDSTRING, 0, LPARAM(step));
  SendDlgItemMessageA(dialog, STEP_LIST, CB_SETCURSEL, StepIndex(settings.step), 0);
  for (const char* view : {"dezimal", "hexadezimal"})
    SendDlgItemMessageA(dialog, VIEW_LIST, CB_ADDSTRING, 0, LPARAM(view));
  SendDlgItemMessageA(dialog, VIEW_LIST, CB_SETCURSEL, settings.view, 0);
  CheckRadioButton(dialog, UP_BUTTON, DOWN_BUTTON, settings.down ? DOWN_BUTTON : UP_BUTTON);
}

void StoreDialog(HWND dialog, const OpenDialog& open) {
  Settings& settings = *open.stored;
  settings.delay = IsDlgButtonChecked(dialog, DELAY_BOX) == BST_CHECKED;
  settings.step = open.pickedStep;
  settings.down = IsDlgButtonChecked(dialog, DOWN_BUTTON) == BST_CHECKED;
  settings.view = int(SendDlgItemMessageA(dialog, VIEW_LIST, CB_GETCURSEL, 0, 0)) == 1;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* open = reinterpret_cast<OpenDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    open = reinterpret_cast<OpenDialog*>(lParam);
    FillDialog(dialog, *open->stored);
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  if (LOWORD(wParam) == STEP_LIST && HIWORD(wParam) == CBN_SELCHANGE) {
    const LRESULT picked = SendDlgItemMessageA(dialog, STEP_LIST, CB_GETCURSEL, 0, 0);
    if (picked >= 0 && picked < 3) open->pickedStep = kSteps[picked];
  } else if (LOWORD(wParam) == IDOK) {
    StoreDialog(dialog, *open);
    EndDialog(dialog, IDOK);
  } else if (LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
  }
  return TRUE;
}

// Reads the block's lines up to the marker: the settings in their order.
Settings ReadBlock(HANDLE file) {
  std::string block;
  char byte;
  DWORD got = 0;
  while (block.find(kMarker) == std::string::npos && ReadFile(file, &byte, 1, &got, nullptr) && got == 1) block += byte;
  Settings settings;
  std::sscanf(block.c_str(), "%d\r\n%d\r\n%d\r\n%d", &settings.delay, &settings.step, &settings.down, &settings.view);
  return settings;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
  module = instance;
  return TRUE;
}

ENTRY const char* GetDLLName() { return "Dialogprobe"; }

ENTRY void InitUserDLL(unsigned char* record) {
  Part* part = new Part;
  test::PutInSlot(record, part);
}

ENTRY void DisposeUserDLL(unsigned char* record) {
  delete PartIn(record);
  test::EmptySlot(record);
}

ENTRY void InitSimulationDLL2(std::uint32_t, std::uint32_t, std::uint32_t, unsigned char*, const unsigned char* in,
                              unsigned char* out) {
  std::memcpy(out, in, 10);
}

ENTRY std::int32_t SimulateDLL3(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                std::uint32_t, unsigned char*, const unsigned char* in, unsigned char* out) {
  std::memcpy(out, in, 10);
  return 0;
}

ENTRY const char* SetInputChar2(unsigned char* record) { return PartIn(record)->labels; }
ENTRY const char* SetOutputChar2(unsigned char* record) { return PartIn(record)->labels; }

ENTRY void WriteToFile(std::uint32_t handle, unsigned char* record) {
  const Settings& settings = PartIn(record)->settings;
  char text[96];
  std::snprintf(text, sizeof text, "%d\r\n%d\r\n%d\r\n%d\r\n%s", settings.delay, settings.step, settings.down,
                settings.view, kMarker);
  DWORD written;
  WriteFile(FileOf(handle), text, DWORD(std::strlen(text)), &written, nullptr);
}

ENTRY void ReadFromFile(std::uint32_t handle, unsigned char* record) {
  PartIn(record)->settings = ReadBlock(FileOf(handle));
}

ENTRY void CallParameterDialogDLL(unsigned char* record, unsigned char*) {
  OpenDialog open{&PartIn(record)->settings, PartIn(record)->settings.step};
  DialogBoxParamA(module, MAKEINTRESOURCEA(DIALOG_TEMPLATE), GetActiveWindow(), DialogProc, LPARAM(&open));
}

ENTRY std::int32_t HasDelayDLL(unsigned char* record) { return PartIn(record)->settings.delay; }
