#include "project_file.h"

namespace frame {

void WriteProjectBlock(HANDLE file, const std::string& block) {
  DWORD written = 0;
  WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
}

bool ReadProjectByte(HANDLE file, char& byte) {
  DWORD read = 0;
  return ReadFile(file, &byte, 1, &read, nullptr) && read == 1;
}

}  // namespace frame
