// A part's settings as the host shows and gives them: the values of its
// block, one per line, written as "8,1" (docs/formats.md, "Settings").
// Shared by every command that sets or shows settings.
#pragma once

#include <string>

#include "part_instance.h"

namespace host {

// "8,1" as a block the part reads: "8\r\n1\r\n" and the end marker.
std::string SettingsBlock(const std::string& values);
// The inverse, for showing: the block's lines but the marker, as "8,1".
std::string SettingsOfBlock(const std::string& block);
// A block whole, in quotes, its line ends as a C string spells them:
// "4\r\n1\r\nENDE_MARKE_DER_USER_DLL\r\n".
std::string ShownBlock(const std::string& block);
// The settings an instance holds, as it writes them.
std::string SettingsHeld(PartInstance& instance);

// The values of `given` that a part did not take, judged by the settings
// it now holds: "17 (value 1)", "a, b (values 1 and 2)"; empty when it took
// them all. A value it holds in another spelling (08 as 8) counts as taken.
std::string SettingsNotTaken(const std::string& given, const std::string& held);

}  // namespace host
