// The recorder: stands in for a part under the part's file name, loads the
// wrapped plug-in at the first call, forwards every call to it unchanged and
// writes each call's entry and exit to a trace (docs/formats.md).
//
// Nothing here may change what the host sees: the thunks (thunks.S) keep
// the registers, the flags and the stack, this code keeps the thread's last
// error, and it is compiled without any floating-point or SSE instruction
// (-mgeneral-regs-only), reading the x87 and SSE state only by the no-wait
// stores of thunks.S. It links no C++ runtime, so it takes no
// thread-local storage and no heap; calls inside calls (a host calling
// while the part's dialog is open) are counted on a stack of frames shared
// by the threads under one lock, each frame marked with its thread.
//
// No constructor of this DLL ever runs (nothing calls a constructor list
// without a C runtime): every object at namespace scope is constant-
// initialised, which __constinit makes the compiler prove.
#include <windows.h>

#include <cstdint>

#include "field_cache.h"
#include "line.h"
#include "plugin_interface.h"
#include "readable.h"
#include "trace_file.h"
#include "trace_format.h"
#include "wrapped_plugin.h"

extern "C" {
void RecorderExitThunk();
void RecorderNoPlugin();
std::uint32_t recorderNoPluginPop;
std::uint32_t RecorderControlWord();
std::uint32_t RecorderStatusWord();
std::uint32_t RecorderMxcsr();
void* RecorderEnter(std::uint32_t index, std::uint32_t* esp);
std::uint32_t RecorderExit(std::uint32_t* esp, std::uint32_t eax, std::uint32_t edx);
}

namespace recorder {
namespace trace = host::trace;
namespace {

// A call under way: what its exit record needs from its entry.
struct Frame {
  DWORD thread = 0;
  std::uint32_t* esp = nullptr;  // at the entry point: the return address
  std::uint32_t returnAddress = 0;
  std::uint32_t number = 0;
  std::uint32_t index = 0;
  std::uint32_t slots[host::kMaxStackSlots] = {};
  std::uint32_t filePosition = 0;
  bool fileKnown = false;
};
constexpr int kMaxFrames = 64;
// Where no pin record has been seen yet: as many as a part may have.
constexpr std::uint32_t kUnknownPins = host::kMaxPins;
constexpr DWORD kNoPosition = INVALID_SET_FILE_POINTER;
// The file's bytes are read back this many at a time.
constexpr DWORD kFileChunk = 64 * 1024;

struct State {
  HMODULE self = nullptr;
  HMODULE plugin = nullptr;
  bool refused = false;  // DllMain said no: nothing else of the recorder runs
  bool prepared = false;
  bool sse = false;
  Place place;
  Export exports[kThunks];
  TraceFile trace;
  std::uint32_t calls = 0;
  DWORD startTick = 0;
  std::uint32_t inputs = kUnknownPins, outputs = kUnknownPins;
  Frame frames[kMaxFrames];
  int frameCount = 0;
};
__constinit State state;
CRITICAL_SECTION lock;
char recordText[kMaxRecordBytes];                      // apart from `line`, so that it takes no room in the file
__constinit Line line(recordText, sizeof recordText);  // the one record being written, under the lock
unsigned char scratch[host::kPinInfoSize + host::kMaxPins * host::kSignalSize];
// The next field of the record being written, for the text kept of it.
std::uint32_t nextField;

// A field of the record, made by `write` from `count` bytes at `bytes`
// alone, or the text it made from the same bytes before.
template <typename Write>
void Field(const void* bytes, std::size_t count, Write write) {
  const std::uint32_t key = nextField++;
  if (ReuseField(line, key, bytes, count)) return;
  const std::size_t from = line.Size();
  write();
  KeepField(key, bytes, count, line.Data() + from, line.Size() - from);
}

void Note(const char* text) {
  line.Clear();
  state.trace.Write(line.Char(trace::kNoteMark).Char(' ').Text(text).End());
}

// The trace with its head; the caller ends the head's line that follows.
void StartTrace() {
  state.sse = IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE);
  state.startTick = GetTickCount();
  Settings settings;
  ReadSettings(state.place.settingsPath, settings);
  state.trace.Create(settings, state.place.base);
  line.Clear();
  WriteHead(line, state.place, state.plugin, state.sse);
  state.trace.WriteCapKey(line);
}

// The first call: the settings, the trace, the wrapped plug-in and its
// head. The plug-in is loaded here rather than in DllMain, where the loader's lock is held.
void Prepare() {
  state.prepared = true;
  state.plugin = LoadLibraryExA(state.place.pluginPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  const DWORD error = state.plugin ? 0 : GetLastError();
  BindExports(state.self, state.plugin, state.exports);
  StartTrace();
  if (state.plugin) {
    line.Char(trace::kNoteMark).Text(" the part is loaded at ").Hex(std::uint32_t(std::uintptr_t(state.plugin)), 8);
  } else {
    line.Char(trace::kNoteMark).Text(" the part cannot be loaded (");
    WriteLoadError(line, error);
    line.Text("): every call returns 0 without it");
  }
  state.trace.Write(line.End());
}

// At DLL_PROCESS_ATTACH: without the wrapped plug-in's file the recorder does not
// load at all, so that the host reports the part missing, as it would
// without the recorder, rather than placing a part with no pins. The
// trace, only a head and a note, says which file was looked for.
bool Attach(HMODULE self) {
  state.self = self;
  if (FindPlace(self, state.place) && PluginFilePresent(state.place.pluginPath)) return true;
  state.refused = true;
  StartTrace();
  line.Char(trace::kNoteMark).Text(" the part's file is missing: the recorder refuses to load");
  state.trace.Write(line.End());
  state.trace.Close();
  return false;
}

void Region(const char* key, const void* at, std::size_t count) {
  const std::size_t copied = CopyReadable(at, count, scratch);
  Field(scratch, copied, [&] { line.Key(key).Bytes(scratch, copied); });
}

// The bytes of the host's buffers the call may read or write.
void Regions(const Export& entry, const std::uint32_t* slots, bool onExit) {
  if (!entry.roles) return;
  for (int k = 0; k < entry.slots; ++k) {
    const auto* at = reinterpret_cast<const unsigned char*>(std::uintptr_t(slots[k]));
    switch (entry.roles[k]) {
      case trace::Role::kRecord:
        Region(trace::kSlotRegion, at ? at + host::kInstanceSlotAt : nullptr, 4);
        Region(trace::kWindowRegion, at ? at + host::kHostWindowAt : nullptr, 4);
        break;
      case trace::Role::kPins:
        Region(trace::kPinsRegion, at, host::kPinInfoSize);
        break;
      case trace::Role::kInputs:  // the host's, never written
        if (!onExit) Region(trace::kInputsRegion, at, state.inputs * host::kSignalSize);
        break;
      case trace::Role::kOutputs:
        Region(trace::kOutputsRegion, at, state.outputs * host::kSignalSize);
        break;
      case trace::Role::kParameters:
        Region(trace::kParametersRegion, at, trace::kParametersSize);
        break;
      case trace::Role::kEnables:
        Region(trace::kEnablesRegion, at, trace::kEnablesSize);
        break;
      case trace::Role::kFile:
      case trace::Role::kValue:
        break;
    }
  }
}

HANDLE FileHandle(std::uint32_t slot) { return reinterpret_cast<HANDLE>(std::uintptr_t(slot & 0xFFFF)); }

const std::uint32_t* FileSlot(const Export& entry, const std::uint32_t* slots) {
  if (entry.roles)
    for (int k = 0; k < entry.slots; ++k)
      if (entry.roles[k] == trace::Role::kFile) return &slots[k];
  return nullptr;
}

DWORD FilePosition(HANDLE file) {
  SetLastError(NO_ERROR);
  const DWORD at = SetFilePointer(file, 0, nullptr, FILE_CURRENT);
  return at == kNoPosition && GetLastError() != NO_ERROR ? kNoPosition : at;
}

// The bytes between the positions before and after the call, read back
// through the host's handle, which is then left where the wrapped plug-in
// left it; past kMaxRegionBytes, only their count.
void FileBytes(HANDLE file, DWORD from, DWORD to) {
  const DWORD count = to - from, kept = count < trace::kMaxRegionBytes ? count : trace::kMaxRegionBytes;
  static unsigned char bytes[kFileChunk];
  DWORD done = 0;
  bool readable = SetFilePointer(file, LONG(from), nullptr, FILE_BEGIN) == from;
  line.Char('+');
  while (readable && done < kept) {
    const DWORD chunk = kept - done < kFileChunk ? kept - done : kFileChunk;
    DWORD read = 0;
    readable = ReadFile(file, bytes, chunk, &read, nullptr) && read == chunk;
    if (readable) line.Bytes(bytes, chunk);
    if (readable) done += chunk;
  }
  SetFilePointer(file, LONG(to), nullptr, FILE_BEGIN);
  if (!done)
    line.Char('#').Decimal(count);
  else if (done < count)
    line.LeftOut(count - done);  // past kMaxRegionBytes, or where the handle stopped reading
}

void Floating(const char* controlKey) {
  const std::uint32_t words[] = {RecorderControlWord(), RecorderStatusWord(), state.sse ? RecorderMxcsr() : 0};
  Field(words, sizeof words, [&] {
    line.Key(controlKey).Hex(words[0], 4).Key("sw").Hex(words[1], 4);
    if (state.sse) line.Key("mxcsr").Hex(words[2], 8);
  });
}

void Start(char mark, const Frame& frame, const Export& entry) {
  line.Clear();
  nextField = FieldKey(frame.index, mark == trace::kExitMark, 0);
  line.Char(mark).Char(' ').Decimal(frame.number).Char(' ').Decimal(GetTickCount() - state.startTick);
  line.Char(' ').Text(entry.name ? entry.name : "?");
}

int Depth(DWORD thread) {
  int depth = 0;
  for (int k = 0; k < state.frameCount; ++k) depth += state.frames[k].thread == thread;
  return depth;
}

void WriteUnreturned(const Frame& frame, const char* why) {
  Start(trace::kUnreturnedMark, frame, state.exports[frame.index]);
  line.Key("why").Text(why);
  state.trace.Write(line.End(), frame.number);
}

// A frame of this thread at or below a new call's stack belongs to a call
// that was left without returning (a fault the host went on after, a
// longjmp, an exception unwound past).
void DropAbandonedFrames(DWORD thread, const std::uint32_t* esp) {
  int kept = 0;
  for (int k = 0; k < state.frameCount; ++k) {
    if (state.frames[k].thread != thread || state.frames[k].esp > esp)
      state.frames[kept++] = state.frames[k];
    else
      WriteUnreturned(state.frames[k], trace::kUnreturnedNext);
  }
  state.frameCount = kept;
}

void WriteEntry(const Frame& frame, const Export& entry, int depth) {
  Start(trace::kEntryMark, frame, entry);
  line.Key("depth").Decimal(depth).Key("align").Decimal(std::uint32_t(std::uintptr_t(frame.esp)) & 15);
  Floating("cw");
  const std::size_t slots = entry.slots > 0 ? std::size_t(entry.slots) : 0;
  Field(frame.slots, slots * sizeof frame.slots[0], [&] {
    line.Key("slots");
    if (entry.slots < 0) line.Char('?');
    for (std::size_t k = 0; k < slots; ++k) line.Text(k ? "," : "").Hex(frame.slots[k], 8);
  });
  Regions(entry, frame.slots, false);
  if (FileSlot(entry, frame.slots)) {
    line.Key(trace::kFileRegion);
    if (frame.fileKnown)
      line.Decimal(frame.filePosition);
    else
      line.Char('?');
  }
  state.trace.Write(line.End(), frame.number);
}

void WriteExit(const Frame& frame, const Export& entry, int depth, const std::uint32_t* esp, std::uint32_t eax,
               std::uint32_t edx) {
  Start(trace::kExitMark, frame, entry);
  line.Key("depth").Decimal(depth).Key("eax").Hex(eax, 8).Key("edx").Hex(edx, 8);
  line.Key("pop").Decimal(
      std::uint32_t(reinterpret_cast<const char*>(esp) - reinterpret_cast<const char*>(frame.esp) - 4));
  Floating("cw");
  Regions(entry, frame.slots, true);
  if (const std::uint32_t* file = FileSlot(entry, frame.slots)) {
    const HANDLE handle = FileHandle(*file);
    const DWORD after = frame.fileKnown ? FilePosition(handle) : kNoPosition;
    line.Key(trace::kFileRegion);
    if (after == kNoPosition) {
      line.Char('?');
    } else {
      line.Decimal(after);
      if (after > frame.filePosition) FileBytes(handle, frame.filePosition, after);
    }
  }
  if (entry.returnsText) {
    static char text[trace::kMaxText];
    line.Key(trace::kTextField)
        .Quoted(text, CopyReadableText(reinterpret_cast<const void*>(std::uintptr_t(eax)), trace::kMaxText, text));
  }
  state.trace.Write(line.End(), frame.number);
}

// The host's pin counts, for the signal arrays of later calls.
void LearnPinCounts(const Export& entry, const Frame& frame) {
  if (!entry.roles || entry.roles[0] != trace::Role::kPins || entry.slots < 3 || !frame.slots[2]) return;
  unsigned char counts[2];
  if (CopyReadable(reinterpret_cast<const void*>(std::uintptr_t(frame.slots[0])), 2, counts) != 2) return;
  if (counts[0] <= host::kMaxPins) state.inputs = counts[0];
  if (counts[1] <= host::kMaxPins) state.outputs = counts[1];
}

void* Enter(std::uint32_t index, std::uint32_t* esp) {
  if (!state.prepared) Prepare();
  const Export& entry = state.exports[index];
  const DWORD thread = GetCurrentThreadId();
  DropAbandonedFrames(thread, esp);
  recorderNoPluginPop = entry.slots > 0 ? 4 * std::uint32_t(entry.slots) : 0;
  const void* target = entry.target ? entry.target : reinterpret_cast<const void*>(&RecorderNoPlugin);
  if (state.frameCount == kMaxFrames) {
    Note("calls are nested deeper than the recorder follows: this one is passed on unrecorded");
    return const_cast<void*>(target);
  }
  Frame& frame = state.frames[state.frameCount++];
  frame.thread = thread;
  frame.esp = esp;
  frame.returnAddress = esp[0];
  frame.number = ++state.calls;
  frame.index = index;
  for (int k = 0; k < host::kMaxStackSlots; ++k) frame.slots[k] = k < entry.slots ? esp[1 + k] : 0;
  const std::uint32_t* file = FileSlot(entry, frame.slots);
  frame.filePosition = file ? FilePosition(FileHandle(*file)) : kNoPosition;
  frame.fileKnown = frame.filePosition != kNoPosition;
  WriteEntry(frame, entry, Depth(thread) - 1);
  esp[0] = std::uint32_t(std::uintptr_t(&RecorderExitThunk));
  return const_cast<void*>(target);
}

std::uint32_t Exit(std::uint32_t* esp, std::uint32_t eax, std::uint32_t edx) {
  const DWORD thread = GetCurrentThreadId();
  int innermost = state.frameCount - 1;
  while (state.frames[innermost].thread != thread) --innermost;
  const Frame frame = state.frames[innermost];
  for (int k = innermost; k + 1 < state.frameCount; ++k) state.frames[k] = state.frames[k + 1];
  --state.frameCount;
  const Export& entry = state.exports[frame.index];
  WriteExit(frame, entry, Depth(thread), esp, eax, edx);
  LearnPinCounts(entry, frame);
  return frame.returnAddress;
}

// A recorder unloaded by its host (reserved null) frees the wrapped
// plug-in it loaded: the loader takes a nested unload on the thread that
// holds its lock, as for any DLL the plug-in itself imports. At the end of
// the process the plug-in is left to the system, like every other DLL.
void Finish(bool unloaded) {
  for (int k = 0; k < state.frameCount; ++k) WriteUnreturned(state.frames[k], trace::kUnreturnedUnload);
  state.frameCount = 0;
  if (unloaded && state.plugin) {
    Note("the recorder is unloaded: the part is freed");
    FreeLibrary(state.plugin);
  } else if (state.prepared) {
    Note("the process ends");
  }
  state.trace.Close();
}

}  // namespace
}  // namespace recorder

using recorder::lock;

extern "C" void* RecorderEnter(std::uint32_t index, std::uint32_t* esp) {
  const DWORD lastError = GetLastError();
  EnterCriticalSection(&lock);
  void* target = recorder::Enter(index, esp);
  LeaveCriticalSection(&lock);
  SetLastError(lastError);
  return target;
}

extern "C" std::uint32_t RecorderExit(std::uint32_t* esp, std::uint32_t eax, std::uint32_t edx) {
  const DWORD lastError = GetLastError();
  EnterCriticalSection(&lock);
  const std::uint32_t back = recorder::Exit(esp, eax, edx);
  LeaveCriticalSection(&lock);
  SetLastError(lastError);
  return back;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  if (recorder::state.refused) return TRUE;
  if (reason == DLL_PROCESS_ATTACH) {
    if (!recorder::Attach(module)) return FALSE;
    InitializeCriticalSection(&lock);
  }
  if (reason == DLL_PROCESS_DETACH) {
    recorder::Finish(reserved == nullptr);
    DeleteCriticalSection(&lock);
  }
  return TRUE;
}
