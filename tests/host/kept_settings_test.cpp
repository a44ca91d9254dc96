// What earlier releases wrote into projects stays readable: every block
// that a release kept (tests/kept/VERSION/project.hsp, tools/keep-settings)
// is read by today's DLL and written back byte for byte, and the odd blocks
// a project may hold (odd.txt) still give the settings they gave then.
#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>

#include "end_marker.h"
#include "failure.h"
#include "hostsim_process.h"
#include "part_instance.h"
#include "plugin_interface.h"
#include "project_format.h"
#include "settings_text.h"

namespace {

using test::InBin;
using test::InTests;

// The releases that kept their blocks, by their folders beside the tests.
std::vector<std::string> KeptReleases() {
  std::vector<std::string> releases;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(InTests("kept\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return releases;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
      releases.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return releases;
}

// What a part of `dll` writes after reading `block`.
std::string WrittenBack(const std::string& dll, const std::string& block) {
  host::PluginLibrary library;
  EXPECT_EQ("", host::FailureOf([&] { library.Load(InBin(dll)); }));
  host::PartInstance instance(library);
  instance.LoadSettings(block);
  return instance.SavedBlock();
}

std::string Unescaped(const std::string& text) {
  std::string bytes;
  for (std::size_t at = 0; at < text.size(); ++at)
    if (text.compare(at, 4, "\\r\\n") == 0) {
      bytes += "\r\n";
      at += 3;
    } else {
      bytes += text[at];
    }
  return bytes;
}

TEST(KeptSettings, EveryReleasesBlocksAreReadAndWrittenBackByteForByte) {
  const std::vector<std::string> releases = KeptReleases();
  ASSERT_FALSE(releases.empty()) << "no kept releases beside the tests";
  for (const std::string& release : releases) {
    const std::string name = release + "\\project.hsp";
    const std::string bytes = test::ReadAll(InTests("kept\\" + name));
    host::ProjectLayout layout;
    ASSERT_EQ("", host::FailureOf([&] { host::ReadProjectLayout(bytes, name, layout); }));
    for (const host::ProjectPart& instance : layout.parts) {
      const std::string block =
          bytes.substr(layout.BlockStart(instance), layout.BlockEnd(instance) - layout.BlockStart(instance));
      EXPECT_EQ(block, WrittenBack(instance.dll, block)) << name << ", part " << instance.number << " (" << instance.dll
                                                         << ", settings " << host::SettingsOfBlock(block) << ")";
    }
  }
}

TEST(KeptSettings, OddBlocksGiveTheSettingsTheyGave) {
  for (const std::string& release : KeptReleases()) {
    std::istringstream lines(test::ReadAll(InTests("kept\\" + release + "\\odd.txt")));
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
      ++number;
      if (line.empty() || line[0] == '#') continue;
      const std::size_t first = line.find(" | "), second = line.rfind(" | ");
      ASSERT_NE(first, second) << release << "\\odd.txt:" << number << ": DLL | block | settings";
      const std::string dll = line.substr(0, first), block = Unescaped(line.substr(first + 3, second - first - 3));
      EXPECT_EQ(line.substr(second + 3), host::SettingsOfBlock(WrittenBack(dll, block + "\r\n" + test::kEndMarker)))
          << release << "\\odd.txt:" << number << ": " << dll << " reading \""
          << line.substr(first + 3, second - first - 3) << "\"";
    }
  }
}

}  // namespace
