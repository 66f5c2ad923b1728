// Test-only replacements for the demo's clock, sleeping and program folder. The
// program itself never sets them; each is used only when set.
#pragma once

#include <string>

#include "platform/win32.h"

struct DemoTestSeams {
    void (*sleep)(DWORD milliseconds);  // replaces Sleep in the main loop and the pump
    double (*clock)();                  // replaces the local-time clock
    std::wstring programFolder;         // replaces the executable's folder when not empty
};

extern DemoTestSeams DemoSeams;
