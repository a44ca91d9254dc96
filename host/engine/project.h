// The stand-in host's project file: host lines and plug-in blocks taking
// turns on one handle, as the simulator keeps its projects (the format is
// in docs/formats.md). The host never looks inside a block: on loading it
// hands the handle to ReadFromFile and checks that the plug-in stopped
// right behind the block's end marker.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "part_instance.h"
#include "plugin_library.h"
#include "project_format.h"

namespace host {

// A part to save: its DLL and the settings to give it first, as values
// separated by commas ("8,1"), each becoming one line of a block.
struct PartRequest {
  std::string dll;
  std::string settings;
};
PartRequest ParsePartRequest(const std::string& argument);  // DLL or DLL=V,V

// A part as loading found it: what the plug-in read and then said of
// itself, taken once, so that a report of the load only formats.
struct LoadedPart {
  int number = 0;
  std::string dll;   // as the project names it
  std::string file;  // the full path of the DLL loaded for it
  std::unique_ptr<PartInstance> instance;
  long blockStart = 0, blockEnd = 0;  // in the file, the end exclusive
  std::string block;                  // the bytes the plug-in read
  std::string displayName;            // UTF-8, from GetDLLName
  std::int32_t delayFlag = 0;         // from HasDelayDLL
  std::string writtenBack;            // the block WriteToFile then writes
};

struct LoadedProject {
  std::vector<std::unique_ptr<PluginLibrary>> libraries;  // outlive the parts
  std::vector<LoadedPart> parts;
  std::string lineEndings;    // "CR LF", "LF", "CR LF and LF"
  bool crLfRestored = false;  // the plug-ins read from a copy with CR LF
};

// A part as saving wrote it: its block, and the DLL's full path.
struct SavedPart {
  std::string block;
  std::string file;
};

// A DLL named without a folder is the one beside the project on loading,
// in `userFolder` on saving; where there is none, the one in
// `pluginFolder`. The plug-ins' calls run under `guard`. Each throws a Failure that names the file, the line and
// the cause. Saving writes the file whole or not at all: a part that
// writes no block ending with the end marker leaves the file as it was.
std::vector<SavedPart> SaveProject(const std::string& path, const std::vector<PartRequest>& requests,
                                   const std::string& userFolder, const std::string& pluginFolder, FaultGuard& guard);
void LoadProject(const std::string& path, const std::string& pluginFolder, FaultGuard& guard, LoadedProject& project);
// The file's lines, numbered, each marked as the host's or as part of a
// block. A damaged file is listed up to its fault, which `fault` then
// holds; one without a single line of a project throws.
std::string DescribeProject(const std::string& path, std::string& fault);

}  // namespace host
