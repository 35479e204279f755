// Well-known system folders and the vendor common folder below which the setup
// folder lies. Every result ends with a backslash or is empty; nothing here shows
// a message.
#pragma once

#include <windows.h>

#include <string>

namespace tolvar {

// The program-files folder followed by "VORLAK SOFTWARE\Common Files\"; the bare
// suffix (a relative path) when the program-files folder is unknown. Like the
// common-files folder (row 19), it is read from the 32-bit registry view on
// 64-bit Windows, and from the program's own view where that has no value.
std::string GetVendorCommonFolder();

// The folder of a row of the shell-folder table (0..22), for the current user or
// for all users.
std::string GetShellFolder(int index, bool currentUser);

// A string value below root; empty when the key or the value is missing or the
// value is not a string.
std::string ReadRegistryString(HKEY root, const std::string& keyPath, const std::string& valueName);

std::string GetSystemFolder();
std::string GetWindowsFolder();
std::string GetTempFolder();

}  // namespace tolvar
