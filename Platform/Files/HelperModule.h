#pragma once

#include <QFunctionPointer>

// A module installed among the program's helpers, loaded once and never unloaded (the types it
// registers outlive any unload). Looked for beside the program in a build tree (or one folder
// up, for the tests), then among the helpers once installed. Null when it cannot be loaded.
QFunctionPointer ResolveHelperModule(const char *moduleName, const char *symbol);
