// Paths as the host's commands name files. Inside the host a path is
// UTF-8, spelt as the user wrote it; every call into the file system takes
// it as UTF-16 through SystemPath, so that no name is bent to a code page.
#pragma once

#include <windows.h>

#include <string>

namespace host {

// The full path of `path`, which may be relative to the current folder.
std::string FullPath(const std::string& path);
// `path` as the wide file functions take it: a full path too long for them
// otherwise gets the \\?\ prefix that lifts their limit of MAX_PATH.
std::wstring SystemPath(const std::string& path);

std::string ProgramFolder();
std::string FileName(const std::string& path);
// "." for a path without a folder part.
std::string FolderOf(const std::string& path);
// A name without any folder part, which stands for more than one place.
bool IsBareName(const std::string& path);
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);

}  // namespace host
