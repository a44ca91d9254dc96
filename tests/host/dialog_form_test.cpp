// Settings found in a dialog by what the user reads: the labels of lists
// by place, radio buttons by the group box around them, and the messages
// for captions that are missing or there twice.
#include <gtest/gtest.h>

#include "dialog_form.h"
#include "failure.h"

namespace {

using host::ActionFor;
using host::ControlKind;
using host::DialogAction;
using host::DialogControl;

DialogControl Control(ControlKind kind, const std::string& text, int left, int top, int right, int bottom) {
  DialogControl control;
  control.kind = kind;
  control.text = text;
  control.box = {left, top, right, bottom};
  return control;
}

DialogControl List(int left, int top, std::vector<std::string> items) {
  DialogControl list = Control(ControlKind::kComboBox, "", left, top, left + 60, top + 20);
  list.items = std::move(items);
  return list;
}

TEST(DialogForm, MnemonicMarksAreDroppedAndDoubledOnesKeptOnce) {
  EXPECT_EQ("Bitbreite des Registers:", host::WithoutMnemonics("&Bitbreite des Registers:"));
  EXPECT_EQ("A & B", host::WithoutMnemonics("A && B"));
  EXPECT_EQ("Ende", host::WithoutMnemonics("Ende&"));
}

// A label to the list's left wins over one above it and over one further
// left; one after the list in the dialog's order counts the same.
TEST(DialogForm, AListIsNamedByTheNearestLabelOnItsRowElseAbove) {
  const std::vector<DialogControl> controls = {
      List(100, 40, {"4", "8"}),
      Control(ControlKind::kLabel, "Oben", 100, 20, 160, 35),
      Control(ControlKind::kLabel, "Weit links", 0, 42, 40, 55),
      Control(ControlKind::kLabel, "Breite:", 50, 42, 98, 55),
      List(100, 80, {"a", "b"}),
      Control(ControlKind::kLabel, "Darunter", 100, 105, 160, 115),
      Control(ControlKind::kLabel, "Modus", 100, 62, 160, 76),
  };
  const DialogAction width = ActionFor(controls, {"Breite", "8"});
  EXPECT_EQ(DialogAction::kPick, width.kind);
  EXPECT_EQ(0u, width.control);
  EXPECT_EQ(1, width.item);
  EXPECT_EQ(0u, ActionFor(controls, {"Breite:", "4"}).control);
  EXPECT_EQ(4u, ActionFor(controls, {"Modus", "b"}).control);
  EXPECT_NE("", host::FailureOf([&] { ActionFor(controls, {"Oben", "4"}); }));
  EXPECT_NE("", host::FailureOf([&] { ActionFor(controls, {"Darunter", "a"}); }));
}

// Radio buttons belong to the innermost group box around their centre;
// a click only where the button is not already chosen.
TEST(DialogForm, RadioButtonsAreChosenInTheirInnermostGroup) {
  std::vector<DialogControl> controls = {
      Control(ControlKind::kGroupBox, "Parameter", 0, 0, 300, 200),
      Control(ControlKind::kGroupBox, "Richtung", 10, 10, 150, 100),
      Control(ControlKind::kRadioButton, "auf", 20, 30, 100, 45),
      Control(ControlKind::kRadioButton, "ab", 20, 50, 100, 65),
      Control(ControlKind::kRadioButton, "aus", 160, 30, 240, 45),
  };
  controls[3].checked = true;
  const DialogAction up = ActionFor(controls, {"Richtung", "auf"});
  EXPECT_EQ(DialogAction::kClick, up.kind);
  EXPECT_EQ(2u, up.control);
  EXPECT_EQ(DialogAction::kLeaveAlone, ActionFor(controls, {"Richtung", "ab"}).kind);
  EXPECT_EQ(4u, ActionFor(controls, {"Parameter", "aus"}).control);
  EXPECT_EQ("--set \"Parameter=auf\": \"auf\" is not a value of \"Parameter\", which takes aus", host::FailureOf([&] {
              ActionFor(controls, {"Parameter", "auf"});
            }));
}

TEST(DialogForm, ACheckBoxIsClickedOnlyWhereItShowsOtherwise) {
  std::vector<DialogControl> controls = {Control(ControlKind::kCheckBox, "Laufzeit nachbilden", 0, 0, 90, 12)};
  EXPECT_EQ(DialogAction::kClick, ActionFor(controls, {"Laufzeit nachbilden", "1"}).kind);
  EXPECT_EQ(DialogAction::kLeaveAlone, ActionFor(controls, {"Laufzeit nachbilden", "0"}).kind);
  controls[0].checked = true;
  EXPECT_EQ(DialogAction::kLeaveAlone, ActionFor(controls, {"Laufzeit nachbilden", "1"}).kind);
  EXPECT_EQ(DialogAction::kClick, ActionFor(controls, {"Laufzeit nachbilden", "0"}).kind);
  EXPECT_NE("", host::FailureOf([&] { ActionFor(controls, {"Laufzeit nachbilden", "ja"}); }));
}

TEST(DialogForm, ACaptionThereTwiceIsAmbiguous) {
  const std::vector<DialogControl> controls = {
      Control(ControlKind::kCheckBox, "Takt", 0, 0, 90, 12),
      Control(ControlKind::kLabel, "Takt:", 0, 20, 40, 32),
      List(50, 18, {"1", "2"}),
  };
  EXPECT_EQ("--set \"Takt\": the dialog has more than one setting of that caption; it offers\n"
            "  \"Takt\" (check box): 0 or 1\n"
            "  \"Takt\" (list): 1 or 2",
            host::FailureOf([&] {
              ActionFor(controls, {"Takt", "1"});
            }));
}

TEST(DialogForm, ARequestIsCaptionEqualsValue) {
  const host::SetRequest request = host::ReadSetRequest("Modus=a=b");
  EXPECT_EQ("Modus", request.caption);
  EXPECT_EQ("a=b", request.value);
  EXPECT_NE("", host::FailureOf([] { host::ReadSetRequest("=1"); }));
}

}  // namespace
