// Shared by the tests that load a plug-in DLL the way the host does.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "failure.h"
#include "host_file.h"
#include "part_instance.h"
#include "plugin_library.h"
#include "signal_encoding.h"

namespace test {

// The host's byte patterns, written out here on purpose.
struct Signal {
  unsigned char bytes[10];
  // A value goes wherever the host takes the bytes of one.
  operator const unsigned char*() const { return bytes; }
};
inline Signal MakeSignal(std::uint64_t significand, unsigned signAndExponent) {
  Signal s;
  std::memcpy(s.bytes, &significand, 8);
  s.bytes[8] = signAndExponent & 0xFF;
  s.bytes[9] = signAndExponent >> 8;
  return s;
}
inline Signal Volts(double v) {
  Signal s;
  host::EncodeSignal(v, s.bytes);
  return s;
}
const Signal kHigh = MakeSignal(0xA000000000000000ull, 0x4001);  // 5.0
const Signal kLow = MakeSignal(0, 0);                            // 0.0
// The line that ends a part's block in a project file, which the host
// writes after the block and the part reads up to.
constexpr char kEndMarker[] = "ENDE_MARKE_DER_USER_DLL\r\n";

using host::SignalArray;

// Folders with their trailing backslash: the test programs' own, and that
// of the DLLs under test with the help file.
std::string TestFolder();
std::string PluginFolder();
std::string PluginPath(const char* dll);

// The host's open project file: a scratch file of the host's own kind.
class ProjectFile : public host::HostFile {
 public:
  ProjectFile() {
    EXPECT_EQ("", host::FailureOf([this] { CreateScratch(); }));
  }
  // The handle as the host passes it, with bits above the low 16 that the
  // plug-in must ignore.
  std::uint32_t Argument(std::uint32_t highBits = 0) const { return HostFile::Argument() | highBits; }
  std::string All() {
    Seek(0);
    return ReadRest();
  }
};

// Loads a settings block into an instance through a real file.
void LoadSettings(host::PluginLibrary& library, unsigned char* record, const std::string& block);

class PluginTest : public ::testing::Test {
 protected:
  // Loads the DLL once per test; fails the test when it will not load.
  void Load(const char* dll) {
    ASSERT_EQ("", host::FailureOf([&] { library.Load(PluginPath(dll)); }));
  }

  // An instance: a host record with the plug-in's instance in it.
  using Instance = host::PartInstance;

  host::PluginLibrary library;
};

}  // namespace test
