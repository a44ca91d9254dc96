// The build's generator of what a part's settings declaration (plugin.h,
// settings.h) gives besides code: the properties dialog's template and the
// items of its lists, for the resource compiler, and a description of the
// settings for the help's settings table. Compiled for the build machine
// against one part; every text stored as Windows-1252, every length counted
// here.
//
//   settings_resources DIALOG_RC ITEMS_BIN SETTINGS_JSON
//
// A declaration the frame cannot serve ends the build with a message that
// names the setting and what is wrong with it.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "plugin.h"
#include "setting_values.h"
#include "settings.h"
#include "windows1252.h"

namespace {

using Component = Plugin::Component;
using Setting = frame::Setting<Component>;

class Refusal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, static_cast<unsigned>(value));
  return text;
}

// `utf8` in Windows-1252; `what` names the text in a refusal.
std::string Windows1252(const std::string& utf8, const std::string& what) {
  std::string converted;
  for (std::size_t at = 0; at < utf8.size();) {
    std::size_t length = 0;
    const char32_t character = frame::text::DecodeUtf8(utf8.data(), utf8.size(), at, length);
    if (length == 0) throw Refusal(what + " \"" + utf8 + "\" is no UTF-8 text at byte " + std::to_string(at));
    const int byte = frame::text::Windows1252Byte(character);
    if (byte < 0)
      throw Refusal(what + " \"" + utf8 + "\": \"" + utf8.substr(at, length) + "\" (U+" + Hex(character, 4) +
                    ") has no Windows-1252 form, which is what the host shows");
    converted += static_cast<char>(byte);
    at += length;
  }
  return converted;
}

// --- the declaration, checked ----------------------------------------------

constexpr std::size_t kSettingCount = frame::SettingCount<Plugin>();
static_assert(kSettingCount <= frame::kMaxSettings, "a dialog shows at most frame::kMaxSettings settings");

std::string NameOf(const Setting& setting) { return "setting \"" + std::string(setting.name) + "\""; }

bool IsWord(const std::string& name) {
  if (name.empty()) return false;
  for (char c : name)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
  return true;
}

void CheckSettings() {
  int delayFlags = 0;
  for (std::size_t k = 0; k < kSettingCount; ++k) {
    const Setting& setting = Plugin::kSettings[k];
    if (!IsWord(setting.name))
      throw Refusal("setting " + std::to_string(k + 1) + ": its name \"" + setting.name +
                    "\" is no word of letters, digits and _");
    for (std::size_t j = 0; j < k; ++j)
      if (std::string(Plugin::kSettings[j].name) == setting.name) throw Refusal(NameOf(setting) + " is declared twice");
    if (!setting.member) throw Refusal(NameOf(setting) + " names no member of the component");
    const bool hasItems = setting.control != frame::Control::kCheckBox;
    if (hasItems && setting.itemCount == 0) throw Refusal(NameOf(setting) + " offers no item");
    delayFlags += setting.isDelayFlag;
    const std::int32_t byDefault = Component().*setting.member;
    if (!setting.accepted.Takes(byDefault, setting.items, setting.itemCount))
      throw Refusal(NameOf(setting) + ": a new part's value " + std::to_string(byDefault) +
                    " is none a project may hold");
    Windows1252(setting.caption, NameOf(setting) + ", caption");
    for (std::size_t i = 0; i < setting.itemCount; ++i) {
      Windows1252(setting.items[i].text, NameOf(setting) + ", item");
      for (std::size_t j = 0; j < i; ++j)
        if (setting.items[j].value == setting.items[i].value)
          throw Refusal(NameOf(setting) + ": two items stand for the value " + std::to_string(setting.items[i].value));
    }
  }
  if (delayFlags > 1) throw Refusal("more than one setting is the delay flag");
}

// --- the dialog's controls ---------------------------------------------------

// One control of the template, as the resource compiler reads it.
struct TemplateControl {
  std::string text;  // Windows-1252
  int id;
  const char* windowClass;  // by the ordinal that the template stores
  const char* style;
  frame::Place place;
};

constexpr const char* kDefaultButtonStyle = "BS_DEFPUSHBUTTON | WS_TABSTOP | WS_CHILD | WS_VISIBLE";
constexpr const char* kButtonStyle = "BS_PUSHBUTTON | WS_TABSTOP | WS_CHILD | WS_VISIBLE";
constexpr const char* kCheckBoxStyle = "BS_AUTOCHECKBOX | WS_TABSTOP | WS_CHILD | WS_VISIBLE";
constexpr const char* kGroupBoxStyle = "BS_GROUPBOX | WS_CHILD | WS_VISIBLE";
constexpr const char* kListStyle = "CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_CHILD | WS_VISIBLE";
constexpr const char* kLabelStyle = "SS_LEFTNOWORDWRAP | WS_GROUP | WS_CHILD | WS_VISIBLE";
// A group's first button takes the focus by Tab; the arrow keys move it.
constexpr const char* kFirstRadioStyle = "BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP | WS_CHILD | WS_VISIBLE";
constexpr const char* kRadioStyle = "BS_AUTORADIOBUTTON | WS_CHILD | WS_VISIBLE";
// What follows a radio group starts a group of its own.
constexpr const char* kButtonAfterGroupStyle = "BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP | WS_CHILD | WS_VISIBLE";
constexpr int kNoId = -1;
constexpr const char* kButton = "0x80";
constexpr const char* kStatic = "0x82";
constexpr const char* kComboBox = "0x85";

// A list's height includes its dropped-down items.
constexpr int kItemHeight = 12;
constexpr int ListHeight(std::size_t items) { return 14 + kItemHeight * static_cast<int>(items < 8 ? items : 8); }
constexpr int kRadioRow = 12;

std::size_t IndexOf(const char* name) {
  for (std::size_t k = 0; k < kSettingCount; ++k)
    if (std::string(Plugin::kSettings[k].name) == name) return k;
  throw Refusal(std::string("the dialog's layout places \"") + name + "\", which is no setting");
}

std::string CaptionOf(const Setting& setting) { return Windows1252(setting.caption, NameOf(setting)); }

// A setting's control: a check box, a list, or a group box with one radio
// button per item, laid one below the other inside it.
void AddSettingControl(std::size_t k, frame::Place place, std::vector<TemplateControl>& controls) {
  const Setting& setting = Plugin::kSettings[k];
  const int id = frame::ControlIdOf(setting, k);
  switch (setting.control) {
    case frame::Control::kCheckBox:
      controls.push_back({CaptionOf(setting), id, kButton, kCheckBoxStyle, place});
      return;
    case frame::Control::kList:
      controls.push_back({"", id, kComboBox, kListStyle, place});
      return;
    case frame::Control::kRadioButtons:
      controls.push_back({CaptionOf(setting), kNoId, kButton, kGroupBoxStyle, place});
      for (std::size_t i = 0; i < setting.itemCount; ++i) {
        const frame::Place button{place.x + 8, place.y + 12 + kRadioRow * static_cast<int>(i), place.width - 16, 10};
        controls.push_back({Windows1252(setting.items[i].text, NameOf(setting) + ", item"), id + static_cast<int>(i),
                            kButton, i == 0 ? kFirstRadioStyle : kRadioStyle, button});
      }
      return;
  }
}

struct DialogTemplate {
  int width, height;
  std::vector<TemplateControl> controls;
};

// The layout plugin.h gives, every setting placed once.
DialogTemplate GivenLayout() {
  DialogTemplate dialog{Plugin::kDialog.width, Plugin::kDialog.height, {}};
  std::vector<int> placed(kSettingCount, 0);
  for (std::size_t c = 0; c < Plugin::kDialog.placedCount; ++c) {
    const frame::Placed& piece = Plugin::kDialog.placed[c];
    switch (piece.piece) {
      case frame::Placed::Piece::kOk:
        dialog.controls.push_back({"OK", 1, kButton, kDefaultButtonStyle, piece.place});
        break;
      case frame::Placed::Piece::kCancel:
        dialog.controls.push_back({Windows1252(piece.text, "a button"), 2, kButton, kButtonStyle, piece.place});
        break;
      case frame::Placed::Piece::kHelp:
        dialog.controls.push_back({"Hilfe", 9, kButton, kButtonStyle, piece.place});
        break;
      case frame::Placed::Piece::kGroupBox:
        dialog.controls.push_back(
            {Windows1252(piece.text, "a group box"), kNoId, kButton, kGroupBoxStyle, piece.place});
        break;
      case frame::Placed::Piece::kSettingControl: {
        const std::size_t k = IndexOf(piece.text);
        ++placed[k];
        AddSettingControl(k, piece.place, dialog.controls);
        break;
      }
      case frame::Placed::Piece::kSettingLabel: {
        const Setting& setting = Plugin::kSettings[IndexOf(piece.text)];
        if (setting.control != frame::Control::kList)
          throw Refusal("the dialog's layout gives " + NameOf(setting) + " a label, which only a list has");
        dialog.controls.push_back({CaptionOf(setting), kNoId, kStatic, kLabelStyle, piece.place});
        break;
      }
    }
  }
  for (std::size_t k = 0; k < kSettingCount; ++k)
    if (placed[k] != 1)
      throw Refusal("the dialog's layout places " + NameOf(Plugin::kSettings[k]) + " " + std::to_string(placed[k]) +
                    " times, not once");
  return dialog;
}

// Without a given layout: the settings one below the other in a column,
// a list with its caption to its left, the buttons to the right of them.
DialogTemplate StandardLayout() {
  constexpr int kMargin = 7, kColumn = 150, kButtonWidth = 50, kButtonHeight = 14, kCaptionWidth = 70;
  DialogTemplate dialog{kMargin + kColumn + kMargin + kButtonWidth + kMargin, 0, {}};
  int y = kMargin;
  for (std::size_t k = 0; k < kSettingCount; ++k) {
    const Setting& setting = Plugin::kSettings[k];
    switch (setting.control) {
      case frame::Control::kCheckBox:
        AddSettingControl(k, {kMargin, y, kColumn, 10}, dialog.controls);
        y += 16;
        break;
      case frame::Control::kList:
        dialog.controls.push_back(
            {CaptionOf(setting), kNoId, kStatic, kLabelStyle, {kMargin, y + 2, kCaptionWidth, 9}});
        AddSettingControl(k,
                          {kMargin + kCaptionWidth + 4, y, kColumn - kCaptionWidth - 4, ListHeight(setting.itemCount)},
                          dialog.controls);
        y += 20;
        break;
      case frame::Control::kRadioButtons: {
        const int height = 16 + kRadioRow * static_cast<int>(setting.itemCount);
        AddSettingControl(k, {kMargin, y, kColumn, height}, dialog.controls);
        y += height + 6;
        break;
      }
    }
  }
  const int x = kMargin + kColumn + kMargin;
  dialog.controls.push_back({"OK", 1, kButton, kButtonAfterGroupStyle, {x, kMargin, kButtonWidth, kButtonHeight}});
  dialog.controls.push_back({"Abbrechen", 2, kButton, kButtonStyle, {x, kMargin + 18, kButtonWidth, kButtonHeight}});
  dialog.controls.push_back({"Hilfe", 9, kButton, kButtonStyle, {x, kMargin + 36, kButtonWidth, kButtonHeight}});
  const int buttonsEnd = kMargin + 36 + kButtonHeight;
  dialog.height = (y - 6 > buttonsEnd ? y - 6 : buttonsEnd) + kMargin;
  return dialog;
}

// --- what is written ---------------------------------------------------------

// A text as the resource compiler reads it: quotes doubled, backslashes
// escaped; bytes above 127 stay Windows-1252 (the file says so).
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"')
      quoted += "\"\"";
    else if (c == '\\')
      quoted += "\\\\";
    else
      quoted += c;
  }
  return quoted + "\"";
}

std::string Coordinates(const frame::Place& place) {
  return std::to_string(place.x) + ", " + std::to_string(place.y) + ", " + std::to_string(place.width) + ", " +
         std::to_string(place.height);
}

std::string DialogResource(const DialogTemplate& dialog, const std::string& itemsFile, bool hasItems) {
  std::ostringstream rc;
  rc << "// Made by the build from the part's settings declaration (plugin.h).\n"
     << "#pragma code_page(1252)\n\n"
     << Plugin::kDialog.templateId << " DIALOG 0, 0, " << dialog.width << ", " << dialog.height << "\n"
     << "STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU\n"
     << "CAPTION " << Quoted(Windows1252(Plugin::kDialog.caption, "the dialog's caption")) << "\n"
     << "FONT 8, \"MS Sans Serif\"\nBEGIN\n";
  for (const TemplateControl& control : dialog.controls)
    rc << "  CONTROL " << Quoted(control.text) << ", " << control.id << ", " << control.windowClass << ", "
       << control.style << ", " << Coordinates(control.place) << "\n";
  rc << "END\n";
  if (hasItems) rc << "\n" << Plugin::kDialog.templateId << " 240 " << Quoted(itemsFile) << "\n";
  return rc.str();
}

void PutWord(std::string& bytes, std::uint32_t value, int size) {
  for (int k = 0; k < size; ++k) bytes += static_cast<char>(value >> (8 * k) & 0xFF);
}

// The lists' items, which the dialog adds as it opens: per item the list's
// control (16 bits), the add-string message (16 bits, 0x0403), the length of
// the text with its NUL (32 bits) and the text; a zero control ends them.
std::string ListItems() {
  constexpr std::uint32_t kAddString = 0x0403;
  std::string bytes;
  for (std::size_t k = 0; k < kSettingCount; ++k) {
    const Setting& setting = Plugin::kSettings[k];
    if (setting.control != frame::Control::kList) continue;
    for (std::size_t i = 0; i < setting.itemCount; ++i) {
      const std::string text = Windows1252(setting.items[i].text, NameOf(setting) + ", item");
      PutWord(bytes, static_cast<std::uint32_t>(frame::ControlIdOf(setting, k)), 2);
      PutWord(bytes, kAddString, 2);
      PutWord(bytes, static_cast<std::uint32_t>(text.size() + 1), 4);
      bytes += text;
      bytes += '\0';
    }
  }
  if (!bytes.empty()) PutWord(bytes, 0, 2);
  return bytes;
}

std::string Json(const std::string& utf8) {
  std::string quoted = "\"";
  for (char c : utf8) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

const char* ControlWord(frame::Control control) {
  switch (control) {
    case frame::Control::kCheckBox:
      return "check";
    case frame::Control::kList:
      return "combo";
    case frame::Control::kRadioButtons:
      return "radio";
  }
  return "?";
}

// For the help's settings table: the settings in the order of their lines
// in the project file, UTF-8.
std::string SettingsDescription(const std::string& part) {
  std::ostringstream json;
  json << "{\"part\": " << Json(part) << ", \"settings\": [";
  for (std::size_t k = 0; k < kSettingCount; ++k) {
    const Setting& setting = Plugin::kSettings[k];
    json << (k ? ",\n  " : "\n  ") << "{\"name\": " << Json(setting.name) << ", \"control\": \""
         << ControlWord(setting.control) << "\", \"caption\": " << Json(setting.caption) << ", \"items\": [";
    for (std::size_t i = 0; i < setting.itemCount; ++i)
      json << (i ? ", " : "") << "{\"text\": " << Json(setting.items[i].text)
           << ", \"value\": " << setting.items[i].value << "}";
    json << "], \"default\": " << Component().*setting.member << ", \"accepts\": ";
    switch (setting.accepted.kind) {
      case frame::Accepted::Kind::kAny:
        json << "null";
        break;
      case frame::Accepted::Kind::kRange:
        json << "{\"min\": " << setting.accepted.min << ", \"max\": " << setting.accepted.max << "}";
        break;
      case frame::Accepted::Kind::kItems:
        json << "\"items\"";
        break;
    }
    json << ", \"delay\": " << (setting.isDelayFlag ? "true" : "false") << "}";
  }
  json << "]}\n";
  return json.str();
}

void Write(const std::string& path, const std::string& content) {
  std::ofstream file(path, std::ios::binary);
  file << content;
  if (!file.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: settings_resources PART DIALOG_RC ITEMS_BIN SETTINGS_JSON\n";
    return 2;
  }
  try {
    CheckSettings();
    const DialogTemplate dialog = Plugin::kDialog.placedCount ? GivenLayout() : StandardLayout();
    const std::string items = ListItems();
    Write(argv[2], DialogResource(dialog, argv[3], !items.empty()));
    Write(argv[3], items);
    Write(argv[4], SettingsDescription(argv[1]));
  } catch (const std::exception& refusal) {
    std::cerr << argv[1] << "'s settings: " << refusal.what() << "\n";
    return 1;
  }
  return 0;
}
