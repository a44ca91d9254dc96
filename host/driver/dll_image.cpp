#include "dll_image.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace host {
namespace {

template <class Value>
bool ReadAt(const std::string& bytes, std::size_t at, Value& value) {
  if (at > bytes.size() || bytes.size() - at < sizeof value) return false;
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return true;
}

std::string MachineName(WORD machine) {
  switch (machine) {
    case IMAGE_FILE_MACHINE_AMD64:
      return "64-bit x86 (x64)";
    case 0xAA64:  // IMAGE_FILE_MACHINE_ARM64, newer than the headers of old toolchains
      return "64-bit ARM";
    default:
      char hex[8];
      std::snprintf(hex, sizeof hex, "%04X", machine);
      return std::string("another processor (machine 0x") + hex + ")";
  }
}

}  // namespace

std::string WhyNotA32BitDll(const std::string& header) {
  IMAGE_DOS_HEADER dos;
  DWORD signature;
  IMAGE_FILE_HEADER file;
  WORD magic;
  if (!ReadAt(header, 0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0 ||
      !ReadAt(header, std::size_t(dos.e_lfanew), signature) || signature != IMAGE_NT_SIGNATURE ||
      !ReadAt(header, std::size_t(dos.e_lfanew) + sizeof signature, file) ||
      !ReadAt(header, std::size_t(dos.e_lfanew) + sizeof signature + sizeof file, magic))
    return "it has no header of a Windows program or DLL";
  if (!(file.Characteristics & IMAGE_FILE_DLL)) return "it is a program, not a DLL";
  if (file.Machine != IMAGE_FILE_MACHINE_I386 || magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC)
    return "it is a DLL for " + MachineName(file.Machine);
  return "";
}

}  // namespace host
