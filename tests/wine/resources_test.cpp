// The resources the host finds in each plug-in DLL besides its dialogs: the
// version resource, the bitmap 2059 (Tamberlo and Morrel) and the icon group
// 2056, all German. Read back through the Windows resource functions from
// the DLL loaded as a data file, and parsed here from their documented
// layouts rather than through the DLL's own code.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "plugin_facts.h"
#include "plugin_fixture.h"

namespace {

constexpr WORD kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);  // 0x0407
constexpr int kBitmapId = 2059;
constexpr int kIconGroupId = 2056;

using test::kPlugins;
using ResourceFacts = test::PluginFacts;

// The bytes of one resource in one language; empty when there is none.
std::vector<unsigned char> ResourceBytes(HMODULE module, LPCSTR type, int id, WORD language) {
  HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), language);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const DWORD size = SizeofResource(module, found);
  auto* data = static_cast<const unsigned char*>(LockResource(loaded));
  if (!data) return {};
  return std::vector<unsigned char>(data, data + size);
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR set) {
  reinterpret_cast<std::set<WORD>*>(set)->insert(language);
  return TRUE;
}

// Every language in which the DLL holds the resource.
std::set<WORD> Languages(HMODULE module, LPCSTR type, int id) {
  std::set<WORD> languages;
  EnumResourceLanguagesA(module, type, MAKEINTRESOURCEA(id), CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
  return languages;
}

template <class T>
T Read(const std::vector<unsigned char>& bytes, std::size_t at) {
  T value{};
  if (at + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + at, sizeof(T));
  return value;
}

// One node of a version resource: WORD length, WORD value length, WORD
// type (1 text, 0 binary), the key in UTF-16 with its NUL, padding to 32
// bits, the value, padding, then the children up to the node's length.
struct VersionNode {
  std::wstring key;
  std::vector<unsigned char> value;  // text values: UTF-16 with the NUL
  std::vector<VersionNode> children;
};

std::size_t Align4(std::size_t at) { return (at + 3) & ~std::size_t(3); }

bool ParseVersionNode(const std::vector<unsigned char>& bytes, std::size_t at, std::size_t end, VersionNode& node,
                      std::size_t& next) {
  if (at + 6 > end) return false;
  const std::size_t length = Read<WORD>(bytes, at);
  const std::size_t valueLength = Read<WORD>(bytes, at + 2);
  const WORD type = Read<WORD>(bytes, at + 4);
  if (length < 6 || at + length > end) return false;
  const std::size_t nodeEnd = at + length;
  std::size_t p = at + 6;
  for (;; p += 2) {
    if (p + 2 > nodeEnd) return false;
    const wchar_t c = Read<WORD>(bytes, p);
    if (!c) break;
    node.key += c;
  }
  p = Align4(p + 2);
  const std::size_t valueBytes = type == 1 ? 2 * valueLength : valueLength;
  if (p + valueBytes > nodeEnd) return false;
  node.value.assign(bytes.begin() + p, bytes.begin() + p + valueBytes);
  p = Align4(p + valueBytes);
  while (p < nodeEnd) {
    VersionNode child;
    std::size_t after;
    if (!ParseVersionNode(bytes, p, nodeEnd, child, after)) return false;
    node.children.push_back(child);
    p = Align4(after);
  }
  next = nodeEnd;
  return true;
}

const VersionNode* Child(const VersionNode& node, const std::wstring& key) {
  for (const VersionNode& child : node.children)
    if (child.key == key) return &child;
  return nullptr;
}

std::wstring TextValue(const VersionNode* node) {
  if (!node) return L"(missing)";
  std::wstring text;
  for (std::size_t i = 0; i + 1 < node->value.size(); i += 2) {
    const wchar_t c = Read<WORD>(node->value, i);
    if (!c) break;
    text += c;
  }
  return text;
}

std::string Narrow(const std::wstring& text) {  // for failure messages only
  std::string out;
  for (wchar_t c : text) out += c < 128 ? char(c) : '?';
  return out;
}

// The 16 colours of a 4-bit picture as 0xRRGGBB, from RGBQUADs.
std::vector<std::uint32_t> Palette(const std::vector<unsigned char>& bytes, std::size_t at) {
  std::vector<std::uint32_t> colours;
  for (int i = 0; i < 16; ++i) {
    const RGBQUAD q = Read<RGBQUAD>(bytes, at + 4 * i);
    colours.push_back(std::uint32_t(q.rgbRed) << 16 | q.rgbGreen << 8 | q.rgbBlue);
  }
  return colours;
}

// Palette index of pixel (x, y), y counted from the top, in bottom-up rows
// of 4-bit pixels.
int PixelIndex(const std::vector<unsigned char>& bytes, std::size_t pixelsAt, int width, int height, int x, int y) {
  const std::size_t stride = ((width * 4 + 31) / 32) * 4;
  const unsigned char pair = Read<unsigned char>(bytes, pixelsAt + (height - 1 - y) * stride + x / 2);
  return x % 2 ? pair & 0x0F : pair >> 4;
}

class EveryPluginResources : public ::testing::TestWithParam<ResourceFacts> {
 protected:
  void SetUp() override {
    module = LoadLibraryExA(test::PluginPath(GetParam().dll).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module) << "cannot open " << GetParam().dll << " as a data file";
  }
  void TearDown() override {
    if (module) FreeLibrary(module);
  }
  HMODULE module = nullptr;
};

TEST_P(EveryPluginResources, VersionResourceIsGermanWithVersionOneAndTheNames) {
  EXPECT_EQ(std::set<WORD>{kGerman}, Languages(module, MAKEINTRESOURCEA(16) /* RT_VERSION */, 1));
  const std::vector<unsigned char> bytes = ResourceBytes(module, MAKEINTRESOURCEA(16), 1, kGerman);
  ASSERT_FALSE(bytes.empty()) << "no German version resource 1";

  VersionNode root;
  std::size_t end;
  ASSERT_TRUE(ParseVersionNode(bytes, 0, bytes.size(), root, end)) << "malformed version resource";
  EXPECT_EQ(L"VS_VERSION_INFO", root.key);

  ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), root.value.size());
  VS_FIXEDFILEINFO fixed;
  std::memcpy(&fixed, root.value.data(), sizeof fixed);
  EXPECT_EQ(0xFEEF04BDu, fixed.dwSignature);
  EXPECT_EQ(0x00010000u, fixed.dwFileVersionMS);  // 1.0
  EXPECT_EQ(0x00000000u, fixed.dwFileVersionLS);  // .0.0
  EXPECT_EQ(0x00010000u, fixed.dwProductVersionMS);
  EXPECT_EQ(0x00000000u, fixed.dwProductVersionLS);
  EXPECT_EQ(DWORD(VFT_DLL), fixed.dwFileType);
  EXPECT_EQ(DWORD(VOS_NT_WINDOWS32), fixed.dwFileOS);

  const VersionNode* varInfo = Child(root, L"VarFileInfo");
  ASSERT_NE(nullptr, varInfo);
  const VersionNode* translation = Child(*varInfo, L"Translation");
  ASSERT_NE(nullptr, translation);
  ASSERT_EQ(4u, translation->value.size()) << "one language and code page pair";
  EXPECT_EQ(0x0407, Read<WORD>(translation->value, 0));
  EXPECT_EQ(1252, Read<WORD>(translation->value, 2));

  const VersionNode* stringInfo = Child(root, L"StringFileInfo");
  ASSERT_NE(nullptr, stringInfo);
  ASSERT_EQ(1u, stringInfo->children.size()) << "one string table";
  const VersionNode& table = stringInfo->children[0];
  EXPECT_TRUE(table.key == L"040704E4" || table.key == L"040704e4") << Narrow(table.key);

  const ResourceFacts& facts = GetParam();
  const std::wstring dll = std::wstring(facts.productName) + L".dll";
  const std::map<std::wstring, std::wstring> expected = {
      {L"FileDescription", facts.fileDescription},
      {L"FileVersion", L"1.0.0.0"},
      {L"ProductName", facts.productName},
      {L"ProductVersion", L"1.0.0.0"},
      {L"OriginalFilename", dll},
  };
  for (const auto& [key, text] : expected)
    EXPECT_EQ(text, TextValue(Child(table, key))) << Narrow(key) << ": " << Narrow(TextValue(Child(table, key)));
}

TEST_P(EveryPluginResources, BitmapIsTwentyFourSquareInSixteenColoursGreenOnBlackInGrey) {
  const std::vector<unsigned char> bytes =
      ResourceBytes(module, MAKEINTRESOURCEA(2) /* RT_BITMAP */, kBitmapId, kGerman);
  if (!GetParam().hasBitmap) {
    EXPECT_TRUE(bytes.empty()) << "Quenvik has no bitmap";
    EXPECT_TRUE(Languages(module, MAKEINTRESOURCEA(2), kBitmapId).empty());
    return;
  }
  EXPECT_EQ(std::set<WORD>{kGerman}, Languages(module, MAKEINTRESOURCEA(2), kBitmapId));
  ASSERT_FALSE(bytes.empty()) << "no German bitmap 2059";

  const BITMAPINFOHEADER header = Read<BITMAPINFOHEADER>(bytes, 0);
  EXPECT_EQ(sizeof(BITMAPINFOHEADER), header.biSize);
  EXPECT_EQ(24, header.biWidth);
  EXPECT_EQ(24, header.biHeight);
  EXPECT_EQ(1, header.biPlanes);
  EXPECT_EQ(4, header.biBitCount);
  EXPECT_EQ(DWORD(BI_RGB), header.biCompression);
  EXPECT_TRUE(header.biClrUsed == 0 || header.biClrUsed == 16) << header.biClrUsed;
  const std::size_t pixelsAt = sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD);
  ASSERT_EQ(pixelsAt + 24 * 12, bytes.size());

  // The picture as described: a grey frame, black inside, green letters.
  const std::vector<std::uint32_t> palette = Palette(bytes, sizeof(BITMAPINFOHEADER));
  auto colour = [&](int x, int y) { return palette[PixelIndex(bytes, pixelsAt, 24, 24, x, y)]; };
  for (int i = 0; i < 24; ++i) {
    EXPECT_EQ(0x808080u, colour(i, 0)) << "frame, top, x " << i;
    EXPECT_EQ(0x808080u, colour(i, 23)) << "frame, bottom, x " << i;
    EXPECT_EQ(0x808080u, colour(0, i)) << "frame, left, y " << i;
    EXPECT_EQ(0x808080u, colour(23, i)) << "frame, right, y " << i;
  }
  std::map<std::uint32_t, int> inside;
  for (int y = 1; y < 23; ++y)
    for (int x = 1; x < 23; ++x) ++inside[colour(x, y)];
  EXPECT_EQ(2u, inside.size()) << "only black and green inside the frame";
  EXPECT_GT(inside[0x000000], 0);
  EXPECT_GT(inside[0x00FF00], 60) << "green letters";
}

TEST_P(EveryPluginResources, IconGroupHoldsOneSixteenSquareImageInSixteenColours) {
  EXPECT_EQ(std::set<WORD>{kGerman}, Languages(module, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, kIconGroupId));
  const std::vector<unsigned char> group = ResourceBytes(module, MAKEINTRESOURCEA(14), kIconGroupId, kGerman);
  ASSERT_FALSE(group.empty()) << "no German icon group 2056";

  // GRPICONDIR: reserved 0, type 1 (icon), count; then 14-byte entries.
  ASSERT_EQ(6u + 14u, group.size()) << "one entry";
  EXPECT_EQ(0, Read<WORD>(group, 0));
  EXPECT_EQ(1, Read<WORD>(group, 2));
  EXPECT_EQ(1, Read<WORD>(group, 4));
  EXPECT_EQ(16, Read<BYTE>(group, 6)) << "width";
  EXPECT_EQ(16, Read<BYTE>(group, 7)) << "height";
  EXPECT_EQ(16, Read<BYTE>(group, 8)) << "colours";
  EXPECT_EQ(1, Read<WORD>(group, 10)) << "planes";
  EXPECT_EQ(4, Read<WORD>(group, 12)) << "bits per pixel";
  const DWORD imageSize = Read<DWORD>(group, 14);
  const WORD imageId = Read<WORD>(group, 18);

  const std::vector<unsigned char> image = ResourceBytes(module, MAKEINTRESOURCEA(3) /* RT_ICON */, imageId, kGerman);
  ASSERT_EQ(imageSize, image.size()) << "the entry's icon image, German";
  const BITMAPINFOHEADER header = Read<BITMAPINFOHEADER>(image, 0);
  EXPECT_EQ(16, header.biWidth);
  EXPECT_EQ(32, header.biHeight) << "colour image and mask";
  EXPECT_EQ(4, header.biBitCount);
  const std::size_t pixelsAt = sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD);
  const std::size_t maskAt = pixelsAt + 16 * 8;
  ASSERT_EQ(maskAt + 16 * 4, image.size());

  // Transparent around the picture (the top left corner at least), opaque
  // where it is drawn.
  int transparent = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) transparent += (image[maskAt + (15 - y) * 4 + x / 8] >> (7 - x % 8)) & 1;
  EXPECT_EQ(1, image[maskAt + 15 * 4] >> 7) << "top left pixel transparent";
  EXPECT_GT(transparent, 0);
  EXPECT_LT(transparent, 16 * 16 - 20);

  // Windows itself accepts the image as an icon.
  HICON icon = CreateIconFromResourceEx(const_cast<PBYTE>(image.data()), DWORD(image.size()), TRUE, 0x00030000, 16, 16,
                                        LR_DEFAULTCOLOR);
  EXPECT_NE(nullptr, icon);
  if (icon) DestroyIcon(icon);
}

INSTANTIATE_TEST_SUITE_P(Plugins, EveryPluginResources, ::testing::ValuesIn(kPlugins),
                         [](const ::testing::TestParamInfo<ResourceFacts>& info) {
                           return std::string(info.param.dll, std::strcspn(info.param.dll, "."));
                         });

}  // namespace
