// `hostsim dialog` as a user runs it: the parts' properties dialogs opened,
// set by --set as a user ticks, picks and chooses, and closed each way a
// user closes them; what it prints, and what the part holds afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "hostsim_process.h"
#include "png_reader.h"

namespace {

using test::Contains;
using test::Hostsim;
using test::InBin;
using test::Outcome;

bool HaveDisplay() {
  char display[256] = {};
  return GetEnvironmentVariableA("DISPLAY", display, sizeof display) > 0 && display[0];
}

// Under Wine hostsim opens the dialog on a desktop of the display it was
// given, "hostsim on :99"; the test looks there, and on its own.
HDESK HostsimDesktop() {
  char display[256] = {};
  GetEnvironmentVariableA("DISPLAY", display, sizeof display);
  return OpenDesktopA(("hostsim on " + std::string(display)).c_str(), 0, FALSE,
                      DESKTOP_READOBJECTS | DESKTOP_ENUMERATE);
}

struct DialogSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<DialogSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  // Its own style, as IsWindowVisible does not look across desktops.
  const bool shown = GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE;
  if (owner == search->process && shown && std::string(className) == "#32770") search->found = window;
  return !search->found;
}

// The process's visible dialog, waited for; null when none came.
HWND WaitForDialogOf(DWORD process) {
  DialogSearch search{process, nullptr};
  for (int wait = 0; wait < 600 && !search.found; ++wait) {
    Sleep(100);
    if (HDESK desktop = HostsimDesktop()) {
      EnumDesktopWindows(desktop, FindDialog, reinterpret_cast<LPARAM>(&search));
      CloseDesktop(desktop);
    }
    if (!search.found) EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
  }
  return search.found;
}

// hostsim's dialog with the test's clicks on these buttons; its outcome.
Outcome DialogClicked(const std::vector<std::string>& arguments, const std::vector<int>& buttons) {
  test::HostsimProcess process(arguments);
  const HWND dialog = WaitForDialogOf(process.Id());
  if (!dialog) return {-1, "", "no dialog appeared"};
  for (int button : buttons) SendMessageA(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
  return process.Finish(60000);
}

// The lines of a dialog run after the first: the block before, what was
// set, how it closed with the settings then, the block after.
std::string AfterFirstLine(const std::string& out) { return out.substr(std::min(out.size(), out.find('\n') + 1)); }

// The settings the part holds once the dialog is gone, as "8,1".
std::string SettingsAfter(const Outcome& run) {
  const std::size_t closed = run.out.find("dialog closed");
  const std::size_t at = run.out.find("settings ", closed), end = run.out.find('\n', at);
  return closed == std::string::npos || at == std::string::npos ? "(no dialog closed)"
                                                                : run.out.substr(at + 9, end - at - 9);
}

Outcome DialogRun(const std::vector<std::string>& arguments) {
  std::vector<std::string> command = {"dialog"};
  command.insert(command.end(), arguments.begin(), arguments.end());
  return Hostsim(command);
}

class DialogCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveDisplay()) GTEST_SKIP() << "needs a display";
  }
};

// ---- the released parts

struct Part {
  const char* dll;
  bool hasWidth;  // the register's width list before the flag
  std::string With(const char* delay) const { return (hasWidth ? std::string("8,") : "") + delay; }
};
const Part kParts[] = {{"Tamberlo.dll", false}, {"Quenvik.dll", false}, {"Morrel.dll", true}};

TEST_F(DialogCommand, OkStoresTheTickedBoxAndPrintsBothBlocks) {
  const Outcome run = DialogRun({"Morrel.dll", "--settings", "8,0", "--set", "Laufzeit nachbilden=1", "--ok"});
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ(InBin("Morrel.dll") + ": delay flag 0, settings 8,0; opening its properties dialog\n"
                                  "block before: \"8\\r\\n0\\r\\nENDE_MARKE_DER_USER_DLL\\r\\n\"\n"
                                  "set \"Laufzeit nachbilden\" to \"1\": clicked\n"
                                  "dialog closed with OK: delay flag 1, settings 8,1\n"
                                  "block after: \"8\\r\\n1\\r\\nENDE_MARKE_DER_USER_DLL\\r\\n\"\n",
            run.out);
  EXPECT_EQ("", run.err);
}

// The box is clicked only where it shows otherwise; OK stores it either way.
TEST_F(DialogCommand, EveryPartStoresItsBoxOnOkAndShowsItsFlag) {
  for (const Part& part : kParts)
    for (const char* delay : {"0", "1"})
      for (const char* wanted : {"0", "1"}) {
        const Outcome run = DialogRun(
            {part.dll, "--settings", part.With(delay), "--set", std::string("Laufzeit nachbilden=") + wanted, "--ok"});
        ASSERT_EQ(0, run.status) << part.dll << run.err;
        EXPECT_TRUE(Contains(run.out, std::string(": ") + (*delay == *wanted ? "already so" : "clicked") + "\n"))
            << part.dll << " from " << delay << " to " << wanted << "\n"
            << run.out;
        EXPECT_EQ(part.With(wanted), SettingsAfter(run)) << part.dll << " from " << delay;
      }
}

// A width between the listed ones would come back rounded by any store.
TEST_F(DialogCommand, CancelEscAndTheCloseBoxStoreNothing) {
  const std::map<std::string, std::string> ways = {
      {"--cancel", "Cancel"}, {"--esc", "Esc"}, {"--close", "the close box"}};
  for (const Part& part : kParts)
    for (const auto& [option, shown] : ways) {
      const std::string before = part.hasWidth ? "13,1" : "1";
      std::vector<std::string> arguments = {part.dll, "--settings", before, "--set", "Laufzeit nachbilden=0", option};
      if (part.hasWidth) arguments.insert(arguments.end(), {"--set", "Bitbreite des Registers=16"});
      const Outcome run = DialogRun(arguments);
      ASSERT_EQ(0, run.status) << part.dll << " " << option << run.err;
      EXPECT_TRUE(Contains(run.out, "dialog closed with " + shown + ":")) << run.out;
      EXPECT_EQ(before, SettingsAfter(run)) << part.dll << " " << option;
    }
}

TEST_F(DialogCommand, AnyFlagOtherThanZeroShowsTheBoxTickedAndOkStoresOne) {
  for (const char* dll : {"Tamberlo.dll", "Quenvik.dll"}) {
    const Outcome cancelled = DialogRun({dll, "--settings", "7", "--set", "Laufzeit nachbilden=1", "--cancel"});
    EXPECT_TRUE(Contains(cancelled.out, ": already so\n")) << cancelled.out;
    EXPECT_EQ("7", SettingsAfter(cancelled)) << dll << ": cancelled, as read";
    EXPECT_EQ("1", SettingsAfter(DialogRun({dll, "--settings", "7", "--ok"}))) << dll;
  }
}

// The register shows the listed width at or below its own, and OK stores it.
TEST_F(DialogCommand, TheWidthListStoresTheWidthItShows) {
  const std::map<std::string, std::string> stored = {{"1", "4"}, {"4", "4"},  {"7", "4"},
                                                     {"8", "8"}, {"15", "8"}, {"16", "16"}};
  for (const auto& [width, shown] : stored)
    EXPECT_EQ(shown + ",1", SettingsAfter(DialogRun({"Morrel.dll", "--settings", width + ",1", "--ok"})))
        << "width " << width;
}

TEST_F(DialogCommand, ChoosingAnotherWidth) {
  const Outcome run = DialogRun({"Morrel.dll", "--settings", "16,0", "--set", "Bitbreite des Registers:=8", "--ok"});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_TRUE(Contains(run.out, "set \"Bitbreite des Registers:\" to \"8\": picked item 2 of 3\n")) << run.out;
  EXPECT_EQ("8,0", SettingsAfter(run));
}

// ---- a dialog of every kind of control (dialog_plugin)

const char kProbe[] = "dialog_plugin.dll";

TEST_F(DialogCommand, RadioButtonsListsAndBoxTogether) {
  const Outcome run =
      DialogRun({kProbe, "--settings", "0,1,0,0", "--set", "Z\xC3\xA4hlrichtung=abw\xC3\xA4rts", "--set",
                 "Anzeige=hexadezimal", "--set", "Schrittweite=4", "--set", "Laufzeit nachbilden=1", "--ok"});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("block before: \"0\\r\\n1\\r\\n0\\r\\n0\\r\\nENDE_MARKE_DER_USER_DLL\\r\\n\"\n"
            "set \"Z\xC3\xA4hlrichtung\" to \"abw\xC3\xA4rts\": clicked\n"
            "set \"Anzeige\" to \"hexadezimal\": picked item 2 of 2\n"
            "set \"Schrittweite\" to \"4\": picked item 3 of 3\n"
            "set \"Laufzeit nachbilden\" to \"1\": clicked\n"
            "dialog closed with OK: delay flag 1, settings 1,4,1,1\n"
            "block after: \"1\\r\\n4\\r\\n1\\r\\n1\\r\\nENDE_MARKE_DER_USER_DLL\\r\\n\"\n",
            AfterFirstLine(run.out));
}

TEST_F(DialogCommand, TheRadioButtonAlreadyChosenIsLeftAlone) {
  const Outcome run =
      DialogRun({kProbe, "--settings", "0,2,1,0", "--set", "Z\xC3\xA4hlrichtung=abw\xC3\xA4rts", "--ok"});
  EXPECT_TRUE(Contains(run.out, ": already so\n")) << run.out;
  EXPECT_EQ("0,2,1,0", SettingsAfter(run));
  EXPECT_EQ("0,2,0,0", SettingsAfter(DialogRun(
                           {kProbe, "--settings", "0,2,1,0", "--set", "Z\xC3\xA4hlrichtung=aufw\xC3\xA4rts", "--ok"})));
}

// A caption not there, a value not offered: nothing is set, the dialog
// ends with Cancel, and the message lists what the dialog offers.
TEST_F(DialogCommand, WhatTheDialogDoesNotOfferIsRefusedWithItsOffers) {
  const Outcome unknown =
      DialogRun({kProbe, "--settings", "0,2,0,1", "--set", "Laufzeit nachbilden=1", "--set", "Tempo=3", "--ok"});
  EXPECT_EQ(2, unknown.status);
  EXPECT_EQ("hostsim: --set \"Tempo\": the dialog has no setting of that caption; it offers\n"
            "  \"Laufzeit nachbilden\" (check box): 0 or 1\n"
            "  \"Schrittweite\" (list): 1, 2 or 4\n"
            "  \"Anzeige\" (list): dezimal or hexadezimal\n"
            "  \"Z\xC3\xA4hlrichtung\" (radio buttons): aufw\xC3\xA4rts or abw\xC3\xA4rts\n",
            unknown.err);
  EXPECT_TRUE(Contains(unknown.out, "dialog closed (Cancel, as a --set could not be done)")) << unknown.out;
  EXPECT_FALSE(Contains(unknown.out, "set \"Laufzeit")) << "nothing is set before every request is known";
  EXPECT_EQ("0,2,0,1", SettingsAfter(unknown));

  // 13 comes back rounded from any store: the dialog was cancelled.
  const Outcome value = DialogRun({"Morrel.dll", "--settings", "13,1", "--set", "Bitbreite des Registers=5", "--ok"});
  EXPECT_EQ(2, value.status);
  EXPECT_EQ("hostsim: --set \"Bitbreite des Registers=5\": \"5\" is not a value of \"Bitbreite des Registers\", "
            "which takes 4, 8 or 16\n",
            value.err);
  EXPECT_EQ("13,1", SettingsAfter(value));
}

// ---- the command line and the dialog's other ends

TEST(DialogCommandLine, RefusesBadRequestsBeforeOpeningTheDialog) {
  const Outcome unsplit = DialogRun({"Quenvik.dll", "--set", "Laufzeit nachbilden", "--ok"});
  EXPECT_EQ(2, unsplit.status);
  EXPECT_EQ("hostsim: --set \"Laufzeit nachbilden\" is not CAPTION=VALUE, such as \"Laufzeit nachbilden=1\"\n",
            unsplit.err);
  EXPECT_EQ("", unsplit.out);
  const Outcome twoWays = DialogRun({"Quenvik.dll", "--ok", "--esc"});
  EXPECT_EQ(2, twoWays.status);
  EXPECT_EQ("hostsim: --ok and --esc both close the dialog; give one\n", twoWays.err);
  const Outcome valued = DialogRun({"Quenvik.dll", "--ok=1"});
  EXPECT_EQ("hostsim: --ok takes no value\n", valued.err);
}

TEST_F(DialogCommand, APartWhoseDialogNeverAppearsIsAFinding) {
  const Outcome run = DialogRun({"one_fault_none.dll", "--set", "Laufzeit nachbilden=1", "--ok"});
  EXPECT_EQ(1, run.status);
  EXPECT_TRUE(Contains(run.err, "one_fault_none.dll: CallParameterDialogDLL returned without showing a dialog, so "
                                "nothing was set\n"))
      << run.err;
}

// The adder's dialog: its box ticked and confirmed by the test's own
// clicks, the flag comes back 1.
TEST(Dialog, ChangesReachThePartWhenConfirmed) {
  if (!HaveDisplay()) {
    const Outcome dialog = Hostsim({"dialog", "Quenvik.dll"});
    EXPECT_EQ(2, dialog.status);
    EXPECT_EQ("hostsim: the dialog needs a display, and no window can be created here\n", dialog.err);
    return;
  }
  const Outcome closed = DialogClicked({"dialog", "Quenvik.dll"}, {2015, IDOK});
  EXPECT_EQ(0, closed.status) << closed.err;
  EXPECT_EQ(InBin("Quenvik.dll") + ": delay flag 0, settings 0; opening its properties dialog\n"
                                   "block before: \"0\\r\\nENDE_MARKE_DER_USER_DLL\\r\\n\"\n"
                                   "dialog closed: delay flag 1, settings 1\n"
                                   "block after: \"1\\r\\nENDE_MARKE_DER_USER_DLL\\r\\n\"\n",
            closed.out);
}

// Where nobody clicks: the register's box unticked meanwhile, and still
// the flag stays, for hostsim ends the dialog with Cancel.
TEST(Dialog, EndsItselfWithCancelAfterTheTimeGiven) {
  if (!HaveDisplay()) GTEST_SKIP() << "needs a display";
  const Outcome closed = DialogClicked({"dialog", "Morrel.dll", "--close-after", "2"}, {2019});
  EXPECT_EQ(0, closed.status) << closed.err;
  EXPECT_EQ("dialog closed (Cancel after 2 s): delay flag 1, settings 4,1\n"
            "block after: \"4\\r\\n1\\r\\nENDE_MARKE_DER_USER_DLL\\r\\n\"\n",
            AfterFirstLine(AfterFirstLine(closed.out)));
}

// The picture is the dialog's window as the test finds it on the screen,
// and shows it: its caption, its face and the controls' lines and text.
TEST(Dialog, ScreenshotIsAPngOfTheDialog) {
  const std::string png = test::Scratch("dialog.png");
  DeleteFileA(png.c_str());
  if (!HaveDisplay()) {
    const Outcome dialog = Hostsim({"dialog", "Morrel.dll", "--screenshot", png});
    EXPECT_EQ(2, dialog.status);
    EXPECT_EQ("(cannot read " + png + ")", test::ReadAll(png));
    return;
  }
  test::HostsimProcess process({"dialog", "Morrel.dll", "--screenshot", png, "--close-after", "3"});
  const HWND dialog = WaitForDialogOf(process.Id());
  ASSERT_TRUE(dialog) << "no dialog appeared";
  RECT frame;
  GetWindowRect(dialog, &frame);
  const Outcome closed = process.Finish(60000);
  ASSERT_EQ(0, closed.status) << closed.err;
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  EXPECT_TRUE(Contains(closed.out, "wrote " + png + ": the dialog, " + std::to_string(width) + " x " +
                                       std::to_string(height) + " pixels\n"))
      << closed.out;
  test::PngPicture picture;
  ASSERT_EQ("", test::ReadPng(test::ReadAll(png), picture));
  EXPECT_EQ(width, picture.width);
  EXPECT_EQ(height, picture.height);
  std::map<unsigned, int> counts;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) ++counts[picture.Pixel(x, y)];
  EXPECT_GE(counts.size(), 4u) << "a blank picture";
  int most = 0;
  for (const auto& [pixel, count] : counts) most = std::max(most, count);
  EXPECT_LT(most, picture.width * picture.height * 9 / 10) << "mostly one colour";
  const unsigned caption = picture.Pixel(width / 3, 8), face = picture.Pixel(width / 2, height - 6);
  EXPECT_NE(caption, face) << "no caption bar above the dialog's face";
  DeleteFileA(png.c_str());
}

TEST(Dialog, ScreenshotAloneEndsTheDialogOnceTaken) {
  if (!HaveDisplay()) GTEST_SKIP() << "needs a display";
  const std::string png = test::Scratch("quenvik.png");
  const Outcome dialog = Hostsim({"dialog", "Quenvik.dll", "--screenshot", png});
  EXPECT_EQ(0, dialog.status) << dialog.err;
  const std::vector<std::string> lines = test::Lines(dialog.out);
  ASSERT_GE(lines.size(), 2u) << dialog.out;
  EXPECT_EQ("dialog closed (Cancel after the screenshot): delay flag 0, settings 0", lines[lines.size() - 2]);
  test::PngPicture picture;
  EXPECT_EQ("", test::ReadPng(test::ReadAll(png), picture));
  DeleteFileA(png.c_str());
}

// The picture comes after the --set requests and before the way out: a
// ticked box shows in it.
TEST_F(DialogCommand, ScreenshotShowsWhatWasSet) {
  std::string pictures[2];
  for (int delay : {0, 1}) {
    const std::string png = test::Scratch("dialog_set.png");
    const Outcome run =
        DialogRun({kProbe, "--set", "Laufzeit nachbilden=" + std::to_string(delay), "--screenshot", png, "--ok"});
    ASSERT_EQ(0, run.status) << run.err;
    EXPECT_TRUE(Contains(run.out, "dialog closed with OK: delay flag " + std::to_string(delay))) << run.out;
    pictures[delay] = test::ReadAll(png);
    DeleteFileA(png.c_str());
  }
  test::PngPicture unticked, ticked;
  ASSERT_EQ("", test::ReadPng(pictures[0], unticked));
  ASSERT_EQ("", test::ReadPng(pictures[1], ticked));
  EXPECT_NE(pictures[0], pictures[1]) << "the same picture with the box ticked and not";
}

}  // namespace
