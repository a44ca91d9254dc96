// Saving and loading through real files, as the host does: its own data
// around each plug-in block, the handle positioned by the host.
#include <windows.h>

#include "plugin_facts.h"
#include "plugin_fixture.h"

namespace {

const std::string kMarker = test::kEndMarker;

using test::ProjectFile;

class ProjectFileTest : public test::PluginTest {
 protected:
  std::string Saved(Instance& instance, std::uint32_t highBits = 0) {
    ProjectFile file;
    library.WriteToFile(file.Argument(highBits), instance.Record());
    return file.All();
  }

  // Loads `data` from the start of a file followed by the host's next
  // bytes; gives where the reader stopped and checks that the host's bytes
  // are still there.
  long LoadBlock(Instance& instance, const std::string& data, std::uint32_t highBits = 0) {
    return LoadBlock(instance.Record(), data, highBits);
  }
  long LoadBlock(unsigned char* record, const std::string& data, std::uint32_t highBits = 0) {
    ProjectFile file;
    const std::string hostData = "\x01HOST-NEXT\r\n";
    file.Write(data + hostData);
    file.Seek(0);
    library.ReadFromFile(file.Argument(highBits), record);
    const long stop = file.Position();
    if (stop == long(data.size())) {
      EXPECT_EQ(hostData, file.ReadRest());
    }
    return stop;
  }
};

class Persistence : public ProjectFileTest, public ::testing::WithParamInterface<test::PluginFacts> {
 protected:
  void SetUp() override { Load(GetParam().dll); }
};

TEST_P(Persistence, ReaderStopsRightAfterTheMarkerLeavingTheHostsData) {
  Instance instance(library);
  const std::string block = Saved(instance);
  EXPECT_EQ(long(block.size()), LoadBlock(instance, block));
  EXPECT_EQ(25, LoadBlock(instance, kMarker)) << "the marker alone is a whole block";
  EXPECT_EQ(26, LoadBlock(instance, "ENDE_MARKE_DER_USER_DLLx\r\n")) << "a stray byte does not restart the match";
  EXPECT_EQ(block, Saved(instance)) << "blocks without a value change nothing";
}

// A host that saves or loads a record whose slot is empty (its own fault,
// or a part that could not be created) still finds one block per part in
// its file: the bare marker is written, and one block is read and dropped.
TEST_P(Persistence, AnEmptySlotKeepsTheFileInStep) {
  std::vector<unsigned char> empty(host::kHostRecordSize, 0);
  ProjectFile saved;
  library.WriteToFile(saved.Argument(), empty.data());
  EXPECT_EQ(kMarker, saved.All());
  const std::string other = "1\r\n0\r\n" + kMarker;
  EXPECT_EQ(long(other.size()), LoadBlock(empty.data(), other)) << "a whole block read, the host's data intact";

  Instance instance(library);
  const std::string block = Saved(instance);
  ProjectFile file;
  file.Write("7\r\n" + kMarker + block);
  file.Seek(0);
  library.ReadFromFile(file.Argument(), empty.data());
  library.ReadFromFile(file.Argument(), instance.Record());
  EXPECT_EQ("", file.ReadRest()) << "the next part read its own block";
  EXPECT_EQ(block, Saved(instance));
}

TEST_P(Persistence, HighBitsOfTheHandleArgumentAreIgnored) {
  Instance instance(library);
  const std::string block = Saved(instance);
  EXPECT_EQ(block, Saved(instance, 0xABCD0000u));
  EXPECT_EQ(long(block.size()), LoadBlock(instance, block, 0x12340000u));
}

TEST_P(Persistence, DamagedBlocksChangeNothingAndNeverHang) {
  Instance instance(library);
  const std::string before = Saved(instance);
  const std::string cases[] = {"abc\r\n" + kMarker, "99999999999\r\n" + kMarker, "", "1\r\n",
                               "1\r\n" + kMarker.substr(0, 20)};
  for (const std::string& data : cases) {
    LoadBlock(instance, data);
    EXPECT_EQ(before, Saved(instance)) << data;
  }
  // 2 MB of zero bytes and then the end of the file: bounded, no crash.
  ProjectFile file;
  file.Write("1\r\n" + std::string(2 * 1024 * 1024, '\0'));
  file.Seek(0);
  library.ReadFromFile(file.Argument(), instance.Record());
  EXPECT_EQ(before, Saved(instance));
}

INSTANTIATE_TEST_SUITE_P(Plugins, Persistence, ::testing::ValuesIn(test::kPlugins));

// Each component's blocks byte for byte.
using ExactBlocks = ProjectFileTest;

TEST_F(ExactBlocks, AdderBlocksAreExact) {
  Load("Quenvik.dll");
  Instance instance(library);
  EXPECT_EQ("0\r\n" + kMarker, Saved(instance));
  EXPECT_EQ(28u, Saved(instance).size());
  LoadBlock(instance, "1\r\n" + kMarker);
  EXPECT_EQ(1, library.HasDelayDLL(instance.Record()));
  EXPECT_EQ("1\r\n" + kMarker, Saved(instance));
  LoadBlock(instance, "7\r\n" + kMarker);
  EXPECT_EQ(7, library.HasDelayDLL(instance.Record()));
  EXPECT_EQ("7\r\n" + kMarker, Saved(instance)) << "a value read is written back as read";
  Instance other(library);
  EXPECT_EQ(0, library.HasDelayDLL(other.Record())) << "instances are apart";
}

TEST_F(ExactBlocks, DecoderBlocksAreExact) {
  Load("Tamberlo.dll");
  Instance instance(library);
  EXPECT_EQ("0\r\n" + kMarker, Saved(instance));
  LoadBlock(instance, "7\r\n" + kMarker);
  EXPECT_EQ(7, library.HasDelayDLL(instance.Record()));
  EXPECT_EQ("7\r\n" + kMarker, Saved(instance));
  LoadBlock(instance, "1\r\n" + kMarker);
  EXPECT_EQ("1\r\n" + kMarker, Saved(instance));
  EXPECT_EQ(28u, Saved(instance).size());
}

// Width, then the flag; 31 bytes for one-digit widths, 32 for 16.
TEST_F(ExactBlocks, ShiftRegisterBlocksAreExactForEveryWidth) {
  Load("Morrel.dll");
  Instance instance(library);
  EXPECT_EQ("4\r\n1\r\n" + kMarker, Saved(instance));
  EXPECT_EQ(31u, Saved(instance).size());
  for (const char* width : {"8", "16", "5", "4", "1"}) {
    for (const char* flag : {"0", "1"}) {
      const std::string block = std::string(width) + "\r\n" + flag + "\r\n" + kMarker;
      LoadBlock(instance, block);
      EXPECT_EQ(block, Saved(instance));
      EXPECT_EQ(flag[0] == '1' ? 1 : 0, library.HasDelayDLL(instance.Record()));
    }
  }
  EXPECT_EQ(32u, (std::string("16\r\n0\r\n") + kMarker).size());
}

// A width the register cannot hold is ignored, the flag behind it is still
// taken; a text with no width at all changes neither.
TEST_F(ExactBlocks, ShiftRegisterRejectsWidthsItCannotHold) {
  Load("Morrel.dll");
  Instance instance(library);
  LoadBlock(instance, "8\r\n1\r\n" + kMarker);
  for (const char* width : {"0", "-1", "17", "999", "4294967300"}) {
    LoadBlock(instance, std::string(width) + "\r\n0\r\n" + kMarker);
    const bool overflow = std::string(width).size() > 9;
    EXPECT_EQ("8\r\n" + std::string(overflow ? "1" : "0") + "\r\n" + kMarker, Saved(instance)) << width;
    LoadBlock(instance, "8\r\n1\r\n" + kMarker);
  }
  LoadBlock(instance, "abc\r\n0\r\n" + kMarker);
  EXPECT_EQ("8\r\n1\r\n" + kMarker, Saved(instance));
  LoadBlock(instance, "16\r\n2\r\n" + kMarker);
  EXPECT_EQ("16\r\n1\r\n" + kMarker, Saved(instance)) << "a flag that is not 0 or 1 keeps its value";
}

}  // namespace
