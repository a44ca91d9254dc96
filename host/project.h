// The stand-in host's project file: host lines and plug-in blocks taking
// turns on one handle, as the simulator keeps its projects.
//
//   HOSTSIM PROJECT 1          first line
//   PART 1 Quenvik.dll         a placed part: number and DLL
//   ...block...                written by the plug-in's WriteToFile
//   PART 2 Morrel.dll
//   ...block...
//   END                        last line
//
// Lines end with CR LF. The host never looks inside a block: on loading it
// hands the handle to ReadFromFile and reads its next line where the
// plug-in stopped.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "plugin_library.h"

namespace host {

constexpr char kProjectHeading[] = "HOSTSIM PROJECT 1";

// A part to save: its DLL and the settings to give it first, as values
// separated by commas ("8,1"), each becoming one line of a block.
struct PartRequest {
  std::string dll;
  std::string settings;
};
PartRequest ParsePartRequest(const std::string& argument);  // DLL or DLL=V,V

std::string SettingsBlock(const std::string& values);
std::string SettingsOfBlock(const std::string& block);  // the inverse, for showing

struct LoadedPart {
  int number = 0;
  std::string dll;                  // as the project names it
  PluginLibrary* library = nullptr;
  std::unique_ptr<PlacedPart> part;
  long blockStart = 0, blockEnd = 0;
};

struct LoadedProject {
  std::vector<std::unique_ptr<PluginLibrary>> libraries;  // outlive the parts
  std::vector<LoadedPart> parts;
};

// Each gives an empty string on success, else the reason in one line.
std::string SaveProject(const std::string& path, const std::vector<PartRequest>& requests,
                        const std::string& pluginFolder);
std::string LoadProject(const std::string& path, const std::string& pluginFolder, LoadedProject& project);
// The file's lines, each marked as the host's or as part of a block.
std::string DescribeProject(const std::string& path, std::string& description);

}  // namespace host
