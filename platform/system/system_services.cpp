// Sleeping, the local time and the program's own path.
#include <sys/prctl.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

#include "platform/display/display.h"
#include "platform/system/path_encoding.h"
#include "platform/win32.h"

// Going idle is when the desktop is shown what was drawn: the backend's flush
// comes first and its time counts towards the sleep.
VOID WINAPI Sleep(DWORD dwMilliseconds) {
    // The kernel may let a sleep run up to the thread's timer slack (50 us by
    // default) past its end; a main loop that sleeps 1 ms per idle pass would
    // lose that much on every pass.
    static const bool preciseTimers = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    (void)preciseTimers;
    timespec end{};
    clock_gettime(CLOCK_MONOTONIC, &end);
    DisplayGetBackend().flush();
    end.tv_sec += static_cast<time_t>(dwMilliseconds / 1000);
    end.tv_nsec += static_cast<long>(dwMilliseconds % 1000) * 1000000L;
    if (end.tv_nsec >= 1000000000L) {
        end.tv_nsec -= 1000000000L;
        end.tv_sec += 1;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &end, nullptr) == EINTR) {
    }
}

VOID WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) {
    if (lpSystemTime == nullptr) return;
    timeval now{};
    gettimeofday(&now, nullptr);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    lpSystemTime->wYear = static_cast<WORD>(local.tm_year + 1900);
    lpSystemTime->wMonth = static_cast<WORD>(local.tm_mon + 1);
    lpSystemTime->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    lpSystemTime->wDay = static_cast<WORD>(local.tm_mday);
    lpSystemTime->wHour = static_cast<WORD>(local.tm_hour);
    lpSystemTime->wMinute = static_cast<WORD>(local.tm_min);
    lpSystemTime->wSecond = static_cast<WORD>(local.tm_sec);
    lpSystemTime->wMilliseconds = static_cast<WORD>(now.tv_usec / 1000);
}

// Only the running executable (hModule NULL) is known. The path is truncated to
// nSize - 1 characters and always terminated; the result is the length copied.
DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
    if (hModule != nullptr || lpFilename == nullptr || nSize == 0) return 0;
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof path)) {
        lpFilename[0] = L'\0';
        return 0;
    }
    return SysPathToWide(std::string(path, static_cast<size_t>(length)), lpFilename, nSize);
}
