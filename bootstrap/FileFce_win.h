// The bootstrapper's folder and process services under their module's name:
// shared folders (SharedFolders_win.h) and process launch (ProcessLaunch_win.h).
#pragma once

#include "bootstrap/ProcessLaunch_win.h"
#include "bootstrap/SharedFolders_win.h"
