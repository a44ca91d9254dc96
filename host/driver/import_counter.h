// Counts every call a DLL makes through its import table. All the ways out
// of a DLL to the system's and the C runtime's allocators (malloc, operator
// new's malloc, HeapAlloc, VirtualAlloc, ...) are imports, so a count of
// zero over a batch of calls proves that the batch allocated nothing.
//
// Each import slot is pointed at a small thunk that increments the slot's
// counter and jumps on to the original function: a tail jump, so it serves
// every calling convention.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace host {

class ImportCounter {
 public:
  explicit ImportCounter(HMODULE module);
  ~ImportCounter();  // puts the original addresses back
  ImportCounter(const ImportCounter&) = delete;
  ImportCounter& operator=(const ImportCounter&) = delete;

  // Empty when every import slot was redirected.
  const std::string& Error() const { return error_; }
  std::size_t Imports() const { return imports_.size(); }
  void Reset();
  // "msvcrt.dll!malloc 1" for each import called since the last Reset.
  std::vector<std::string> Called() const;
  unsigned long Total() const;

 private:
  struct Import {
    std::string name;
    DWORD* slot;
    DWORD original;
  };
  std::vector<Import> imports_;
  volatile LONG* counters_ = nullptr;  // one per import, beside the thunks
  unsigned char* thunks_ = nullptr;
  std::string error_;
};

}  // namespace host
