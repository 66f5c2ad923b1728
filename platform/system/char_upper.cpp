// Upper-casing byte strings in place by the Windows-1252 code page.
#include "platform/system/ansi_upper.h"
#include "platform/win32.h"

DWORD WINAPI CharUpperBuffA(LPSTR lpsz, DWORD cchLength) {
    if (lpsz == nullptr) return 0;
    auto* bytes = reinterpret_cast<uint8_t*>(lpsz);
    for (DWORD i = 0; i < cchLength; ++i) bytes[i] = SysAnsiUpper(bytes[i]);
    return cchLength;
}
