#include "export_table.h"

#include <cctype>

namespace host {
namespace {

// Every address is checked against the image, so a damaged directory
// yields fewer names rather than a crash.
class Image {
 public:
  explicit Image(HMODULE module) : base_(reinterpret_cast<const unsigned char*>(module)) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base_);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base_ + dos->e_lfanew);
    size_ = nt->OptionalHeader.SizeOfImage;
    exports_ = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  }
  template <class T>
  const T* At(DWORD offset, DWORD count = 1) const {
    return offset && offset < size_ && count <= (size_ - offset) / sizeof(T)
               ? reinterpret_cast<const T*>(base_ + offset)
               : nullptr;
  }
  std::string NameAt(DWORD offset) const {
    std::string name;
    for (DWORD at = offset; at < size_ && base_[at] && name.size() < 256; ++at) name += char(base_[at]);
    return name;
  }
  const IMAGE_DATA_DIRECTORY& Exports() const { return exports_; }

 private:
  const unsigned char* base_;
  DWORD size_ = 0;
  IMAGE_DATA_DIRECTORY exports_{};
};

}  // namespace

std::vector<std::string> ExportedNames(HMODULE module) {
  std::vector<std::string> names;
  if (!module) return names;
  const Image image(module);
  const auto* directory = image.At<IMAGE_EXPORT_DIRECTORY>(image.Exports().VirtualAddress);
  if (!directory) return names;
  const auto* offsets = image.At<DWORD>(directory->AddressOfNames, directory->NumberOfNames);
  for (DWORD i = 0; offsets && i < directory->NumberOfNames; ++i) names.push_back(image.NameAt(offsets[i]));
  return names;
}

std::string UndecoratedName(const std::string& exported) {
  const std::size_t at = exported.rfind('@');
  if (at == std::string::npos || at + 1 == exported.size()) return {};
  for (std::size_t k = at + 1; k < exported.size(); ++k)
    if (!std::isdigit(static_cast<unsigned char>(exported[k]))) return {};
  const std::size_t start = exported[0] == '_' ? 1 : 0;
  return exported.substr(start, at - start);
}

}  // namespace host
