// The wrapped plug-in behind a recorder: where it lives, what it says of
// itself for the trace's head, and the recorder's exports bound to its
// functions.
#pragma once

#include <windows.h>

#include <cstdint>

#include "line.h"
#include "trace_format.h"

namespace recorder {

constexpr int kThunks = 64;

// One export of the recorder, the wrapped plug-in's function of the same name, and
// what the host's interface says of it.
struct Export {
  const char* name = nullptr;
  const void* target = nullptr;              // null where the plug-in has none
  int slots = -1;                            // -1 for a name the interface does not know
  const host::trace::Role* roles = nullptr;  // null: every slot a plain value
  bool returnsText = false;
};

// The recorder's own module and the names made from it: Tamberlo.dll in
// a folder stands for <folder>\Tamberlo\Tamberlo.dll, configured by
// <folder>\Tamberlo-recorder.txt.
struct Place {
  char base[64] = {};  // the module's name without .dll
  char pluginPath[MAX_PATH] = {};
  char settingsPath[MAX_PATH] = {};
};
bool FindPlace(HMODULE self, Place& place);

// False only where the file is not there (no such file or folder); a
// file that cannot be opened for another reason is left to the load.
bool PluginFilePresent(const char* path);

// "error N, what it means for a DLL" for LoadLibrary's last error.
void WriteLoadError(Line& line, DWORD error);

// Reads the names of the recorder's own exports (each one's thunk says
// which) and binds each to the wrapped plug-in's function; `plugin` may be null.
void BindExports(HMODULE self, HMODULE plugin, Export (&exports)[kThunks]);

// The head's lines: the wrapped plug-in, its version and SHA-256, the recorder's
// version, Windows, SSE, the process, the time.
void WriteHead(Line& line, const Place& place, HMODULE plugin, bool sse);

}  // namespace recorder
