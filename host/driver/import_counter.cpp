#include "import_counter.h"

#include <cstring>

namespace host {
namespace {

// inc dword [counter]; jmp dword [original]
constexpr std::size_t kThunkSize = 12;

void WriteThunk(unsigned char* thunk, volatile LONG* counter, const DWORD* original) {
  const DWORD counterAt = DWORD(reinterpret_cast<std::uintptr_t>(counter));
  const DWORD originalAt = DWORD(reinterpret_cast<std::uintptr_t>(original));
  thunk[0] = 0xFF;
  thunk[1] = 0x05;
  std::memcpy(thunk + 2, &counterAt, 4);
  thunk[6] = 0xFF;
  thunk[7] = 0x25;
  std::memcpy(thunk + 8, &originalAt, 4);
}

bool SetSlot(DWORD* slot, DWORD value) {
  DWORD protection;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return false;
  *slot = value;
  VirtualProtect(slot, sizeof *slot, protection, &protection);
  return true;
}

std::string ImportName(const unsigned char* base, const IMAGE_THUNK_DATA32* lookup) {
  if (lookup->u1.Ordinal & IMAGE_ORDINAL_FLAG32) return "#" + std::to_string(lookup->u1.Ordinal & 0xFFFF);
  return reinterpret_cast<const char*>(
      reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + lookup->u1.AddressOfData)->Name);
}

}  // namespace

ImportCounter::ImportCounter(HMODULE module) {
  const auto* base = reinterpret_cast<const unsigned char*>(module);
  const auto* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!directory.VirtualAddress) return;
  for (auto* dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); dll->Name;
       ++dll) {
    const std::string dllName = reinterpret_cast<const char*>(base + dll->Name);
    auto* slot = reinterpret_cast<DWORD*>(const_cast<unsigned char*>(base) + dll->FirstThunk);
    const auto* lookup = reinterpret_cast<const IMAGE_THUNK_DATA32*>(
        base + (dll->OriginalFirstThunk ? dll->OriginalFirstThunk : dll->FirstThunk));
    for (; *slot; ++slot, ++lookup) imports_.push_back({dllName + "!" + ImportName(base, lookup), slot, *slot});
  }
  const std::size_t count = imports_.size();
  auto* memory = static_cast<unsigned char*>(VirtualAlloc(nullptr, count * (kThunkSize + 2 * sizeof(DWORD)),
                                                          MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
  if (!memory) {
    error_ = "no memory for the counting thunks";
    return;
  }
  counters_ = reinterpret_cast<volatile LONG*>(memory);
  auto* originals = reinterpret_cast<DWORD*>(memory + count * sizeof(DWORD));
  thunks_ = memory + 2 * count * sizeof(DWORD);
  for (std::size_t k = 0; k < count; ++k) {
    originals[k] = imports_[k].original;
    WriteThunk(thunks_ + k * kThunkSize, counters_ + k, originals + k);
  }
  FlushInstructionCache(GetCurrentProcess(), thunks_, count * kThunkSize);
  for (std::size_t k = 0; k < count; ++k)
    if (!SetSlot(imports_[k].slot, DWORD(reinterpret_cast<std::uintptr_t>(thunks_ + k * kThunkSize))))
      error_ = "cannot redirect " + imports_[k].name;
}

ImportCounter::~ImportCounter() {
  for (const Import& import : imports_) SetSlot(import.slot, import.original);
  if (counters_) VirtualFree(const_cast<LONG*>(counters_), 0, MEM_RELEASE);
}

void ImportCounter::Reset() {
  for (std::size_t k = 0; counters_ && k < imports_.size(); ++k) counters_[k] = 0;
}

std::vector<std::string> ImportCounter::Called() const {
  std::vector<std::string> called;
  for (std::size_t k = 0; counters_ && k < imports_.size(); ++k)
    if (counters_[k]) called.push_back(imports_[k].name + " " + std::to_string(counters_[k]));
  return called;
}

unsigned long ImportCounter::Total() const {
  unsigned long total = 0;
  for (std::size_t k = 0; counters_ && k < imports_.size(); ++k) total += counters_[k];
  return total;
}

}  // namespace host
