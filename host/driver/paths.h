// Paths as the host's commands name files: the folder beside the program,
// a path's file name and folder, and whether a name has a folder part.
#pragma once

#include <windows.h>

#include <string>

namespace host {

std::string ProgramFolder();
std::string FileName(const std::string& path);
// "." for a path without a folder part.
std::string FolderOf(const std::string& path);
// A name without any folder part, which the loader looks for in several
// places.
bool IsBareName(const std::string& path);
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);

}  // namespace host
