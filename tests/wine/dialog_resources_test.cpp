// The dialog templates and the width list's items, read back from the built
// DLLs and compared byte for byte with the host's tables, written out here
// in the classic template format on their own.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "plugin_fixture.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr WORD kGerman = 0x0407;
constexpr WORD kNoId = 0xFFFF;

// Style words as the templates store them.
constexpr DWORD kDialogStyle = 0x80C800C0;
constexpr DWORD kDefaultButton = 0x50010001;
constexpr DWORD kButton = 0x50010000;
constexpr DWORD kCheckBox = 0x50010003;
constexpr DWORD kGroupBox = 0x50000007;
constexpr DWORD kComboBox = 0x50210003;
constexpr DWORD kStaticText = 0x5002000C;

// Predefined window classes by their ordinals.
constexpr WORD kButtonClass = 0x80;
constexpr WORD kStaticClass = 0x82;
constexpr WORD kComboBoxClass = 0x85;

struct Control {
  WORD id;
  WORD windowClass;
  DWORD style;
  const char* text;
  short x, y, width, height;
};

struct Template {
  const char* dll;
  WORD id;
  const char* caption;
  short width, height;
  std::vector<Control> controls;
};

std::ostream& operator<<(std::ostream& out, const Template& t) { return out << t.dll; }

// A table, laid out to be read.
// clang-format off
const Template kTemplates[] = {
    {"Tamberlo.dll", 2012, "Eigenschaften des Tamberlos", 151, 65,
     {
         {1, kButtonClass, kDefaultButton, "OK", 94, 7, 50, 14},
         {2, kButtonClass, kButton, "Abbrechen", 94, 24, 50, 14},
         {9, kButtonClass, kButton, "Hilfe", 94, 42, 50, 16},
         {2015, kButtonClass, kCheckBox, "Laufzeit nachbilden", 7, 7, 79, 10},
     }},
    {"Quenvik.dll", 2003, "Quenvik", 159, 66,
     {
         {1, kButtonClass, kDefaultButton, "OK", 102, 7, 50, 15},
         {2, kButtonClass, kButton, "Abbrechen", 102, 25, 50, 15},
         {9, kButtonClass, kButton, "Hilfe", 102, 44, 50, 15},
         {2015, kButtonClass, kCheckBox, "Laufzeit nachbilden", 15, 21, 73, 10},
         {kNoId, kButtonClass, kGroupBox, "Parameter", 7, 7, 87, 34},
     }},
    {"Morrel.dll", 2008, "Serielles Schieberegister", 206, 66,
     {
         {1, kButtonClass, kDefaultButton, "OK", 149, 7, 50, 14},
         {kNoId, kButtonClass, kGroupBox, "Parameter", 7, 7, 134, 52},
         {2010, kComboBoxClass, kComboBox, "", 95, 19, 39, 50},
         {kNoId, kStaticClass, kStaticText, "&Bitbreite des Registers:", 17, 22, 72, 9},
         {2, kButtonClass, kButton, "Abrechen", 149, 25, 50, 14},
         {9, kButtonClass, kButton, "Hilfe", 149, 44, 50, 14},
         {2019, kButtonClass, kCheckBox, "&Laufzeit nachbilden", 17, 41, 77, 10},
     }},
};
// clang-format on

class Writer {
 public:
  void Word(unsigned value) {
    bytes.push_back(value & 0xFF);
    bytes.push_back((value >> 8) & 0xFF);
  }
  void DoubleWord(std::uint32_t value) {
    Word(value & 0xFFFF);
    Word(value >> 16);
  }
  // Texts of the tables are ASCII: each character widens to 16 bits.
  void WideText(const char* text) {
    for (; *text; ++text) Word(static_cast<unsigned char>(*text));
    Word(0);
  }
  void AlignToDoubleWord() {
    while (bytes.size() % 4) bytes.push_back(0);
  }
  Bytes bytes;
};

// Header: style, extended style, item count, x, y, width, height, no menu,
// no class of its own, caption, point size and face of the font. Each item
// on a 4-byte boundary: style, extended style, x, y, width, height, id,
// class ordinal, text, no creation data.
Bytes ClassicTemplate(const Template& t) {
  Writer w;
  w.DoubleWord(kDialogStyle);
  w.DoubleWord(0);
  w.Word(static_cast<WORD>(t.controls.size()));
  for (int at : {0, 0, int(t.width), int(t.height)}) w.Word(static_cast<WORD>(at));
  w.Word(0);
  w.Word(0);
  w.WideText(t.caption);
  w.Word(8);
  w.WideText("MS Sans Serif");
  for (const Control& c : t.controls) {
    w.AlignToDoubleWord();
    w.DoubleWord(c.style);
    w.DoubleWord(0);
    for (short at : {c.x, c.y, c.width, c.height}) w.Word(static_cast<WORD>(at));
    w.Word(c.id);
    w.Word(0xFFFF);
    w.Word(c.windowClass);
    w.WideText(c.text);
    w.Word(0);
  }
  return w.bytes;
}

// Control 2010, the 16-bit add-string message of a combo box, the text's
// length with its NUL, the text; a zero ends the list.
Bytes WidthListItems() {
  Writer w;
  for (const char* text : {"4", "8", "16"}) {
    w.Word(2010);
    w.Word(0x0403);
    w.DoubleWord(static_cast<std::uint32_t>(std::string(text).size() + 1));
    for (const char* c = text; *c; ++c) w.bytes.push_back(static_cast<unsigned char>(*c));
    w.bytes.push_back(0);
  }
  w.Word(0);
  return w.bytes;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
  reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
  return TRUE;
}

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
  reinterpret_cast<std::vector<WORD>*>(found)->push_back(IS_INTRESOURCE(name) ? LOWORD(name) : 0);
  return TRUE;
}

std::vector<WORD> Languages(HMODULE module, LPCSTR type, WORD id) {
  std::vector<WORD> languages;
  EnumResourceLanguagesA(module, type, MAKEINTRESOURCEA(id), AddLanguage, reinterpret_cast<LONG_PTR>(&languages));
  return languages;
}

// Names that are strings show as 0.
std::vector<WORD> NumberedNames(HMODULE module, LPCSTR type) {
  std::vector<WORD> names;
  EnumResourceNamesA(module, type, AddName, reinterpret_cast<LONG_PTR>(&names));
  return names;
}

Bytes Resource(HMODULE module, LPCSTR type, WORD id) {
  HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), kGerman);
  if (!found) return {};
  auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
  return Bytes(data, data + SizeofResource(module, found));
}

class DialogResources : public test::PluginTest, public ::testing::WithParamInterface<Template> {
 protected:
  void SetUp() override { Load(GetParam().dll); }
};

TEST_P(DialogResources, OneGermanTemplateAsTheTablesLayItOut) {
  const Template& t = GetParam();
  EXPECT_EQ(std::vector<WORD>{t.id}, NumberedNames(library.Module(), RT_DIALOG));
  EXPECT_EQ(std::vector<WORD>{kGerman}, Languages(library.Module(), RT_DIALOG, t.id));
  EXPECT_EQ(ClassicTemplate(t), Resource(library.Module(), RT_DIALOG, t.id));
}

TEST_P(DialogResources, OnlyTheShiftRegisterHasListItems) {
  const Template& t = GetParam();
  const LPCSTR kListItemsType = MAKEINTRESOURCEA(240);
  if (t.id == 2008) {
    EXPECT_EQ(std::vector<WORD>{2008}, NumberedNames(library.Module(), kListItemsType));
    EXPECT_EQ(std::vector<WORD>{kGerman}, Languages(library.Module(), kListItemsType, 2008));
    const Bytes items = Resource(library.Module(), kListItemsType, 2008);
    EXPECT_EQ(33u, items.size());
    EXPECT_EQ(WidthListItems(), items);
  } else {
    EXPECT_EQ(std::vector<WORD>{}, NumberedNames(library.Module(), kListItemsType));
  }
}

INSTANTIATE_TEST_SUITE_P(EveryPlugin, DialogResources, ::testing::ValuesIn(kTemplates));

}  // namespace
