// Keeps DLLs planted beside the program (a download folder) from being loaded.
#pragma once

#include <windows.h>

#include "platform/Handle_win.h"

namespace tolvar {

// Restricts the DLL search of the process to the system folder where the system
// offers it, and takes the current folder out of the search in any case.
void RestrictDllSearchToSystemFolder();

// Loads a DLL from the system folder only; an empty module when it is not there.
UniqueModule LoadSystemLibrary(const wchar_t* fileName);

}  // namespace tolvar
