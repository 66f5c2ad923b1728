// The system services as the demo uses them: the frame-rate clock, sleeping and
// the program's folder, each replaceable by a test.
#include <vector>

#include "app/demo.h"
#include "app/demo_testing.h"

DemoStateData DemoState;
DemoTestSeams DemoSeams;

double DemoClock() {
    if (DemoSeams.clock != nullptr) return DemoSeams.clock();
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const int64_t milliseconds = now.wHour * 3600000LL + now.wMinute * 60000LL + now.wSecond * 1000LL +
                                 now.wMilliseconds;
    return static_cast<double>(milliseconds) / 1000.0;
}

void DemoSleep(DWORD milliseconds) {
    if (DemoSeams.sleep != nullptr) {
        DemoSeams.sleep(milliseconds);
        return;
    }
    Sleep(milliseconds);
}

std::wstring DemoProgramFolder() {
    if (!DemoSeams.programFolder.empty()) return DemoSeams.programFolder;
    // Paths here may be longer than MAX_PATH.
    std::vector<WCHAR> path(4096);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::wstring file(path.data(), length);
    const size_t separator = file.find_last_of(L"/\\");
    return separator == std::wstring::npos ? std::wstring() : file.substr(0, separator);
}
