// What the subcommands share: errors that end the program with one line,
// loading a plug-in, files, and the plug-ins' texts made printable.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "failure.h"
#include "plugin_library.h"

namespace host {

// A Windows-1252 text of a plug-in as UTF-8; a null pointer as "(null)".
std::string Shown(const char* text);
std::string ProgramFolder();
std::string FileName(const std::string& path);

std::unique_ptr<PluginLibrary> LoadPlugin(const std::string& path);
std::string ReadWholeFile(const std::string& path);  // "-" is standard input

// The plug-in's pin names, as UTF-8 or as it wrote them.
std::vector<std::string> ShownNames(const std::vector<std::string>& windows1252);

// Pulls "--name VALUE" out of the arguments; false when it is absent.
bool TakeOption(std::vector<std::string>& arguments, const std::string& name, std::string& value);

}  // namespace host
