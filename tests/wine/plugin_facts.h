// What the host sees of each released plug-in, written out from the host's
// side in one table that every test of the DLLs draws on. Released only:
// the package test follows each row's help button in the unpacked package.
#pragma once

#include <windows.h>

#include <ostream>

namespace test {

struct PluginFacts {
  const char* dll;
  const char* displayName;
  int inputs;
  int outputs;
  bool hasEnhancedInformation;  // exports SetEnhancedInformation2
  // Its properties dialog.
  const char* caption;
  int delayBox;          // the id of "Laufzeit nachbilden"
  bool hasWidth;         // Morrel: the settings start with the width
  bool keepsHostWindow;  // the dialog belongs to the window of the host record
  bool refillsPinInfo;   // the pin record is written after the dialog
  DWORD_PTR helpTopic;   // context number in the help file
  // Its version resource and pictures.
  const wchar_t* fileDescription;
  const wchar_t* productName;
  bool hasBitmap;
};

inline std::ostream& operator<<(std::ostream& out, const PluginFacts& facts) { return out << facts.dll; }

// A table, laid out to be read.
// clang-format off
const PluginFacts kTamberlo = {
    "Tamberlo.dll", "BCD-Anzeige", 4, 7, true,
    "Eigenschaften des Tamberlos", 2015, false, true, true, 201,
    L"BCD-Anzeige: Siebensegment-Decoder f\u00FCr eine Hexadezimalziffer", L"Tamberlo", true};
const PluginFacts kQuenvik = {
    "Quenvik.dll", "Quenvik", 3, 2, true,
    "Quenvik", 2015, false, false, true, 300,
    L"Volladdierer f\u00FCr ein Bit", L"Quenvik", false};
const PluginFacts kMorrel = {
    "Morrel.dll", "Schieberegister", 4, 1, false,
    "Serielles Schieberegister", 2019, true, true, false, 101,
    L"Serielles Schieberegister mit 4, 8 oder 16 Bit", L"Morrel", true};
// clang-format on

const PluginFacts kPlugins[] = {kTamberlo, kQuenvik, kMorrel};

}  // namespace test
