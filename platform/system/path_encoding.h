// File names between wide characters and the bytes the file system uses.
// Bytes are decoded as UTF-8; a byte that is not part of valid UTF-8 becomes
// the lone surrogate 0xDC00 + byte, and is turned back into that byte, so any
// name the file system holds survives the round trip. Internal to platform/.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32.h"

// Appends the UTF-8 bytes of the Unicode scalar value `c` (0..0x10FFFF, not a
// surrogate; the caller replaces anything else).
void SysAppendUtf8(std::string& out, uint32_t c);

// Decodes `bytes` into `out` (room for `capacity` characters, terminator
// included); the result is truncated and always terminated. Returns the number
// of characters written before the terminator.
DWORD SysPathToWide(const std::string& bytes, LPWSTR out, DWORD capacity);

// Encodes a wide path, turning '\' into '/'. False for an empty path or one
// holding a character that is neither a Unicode scalar value nor an escaped byte.
bool SysWideToPath(LPCWSTR path, std::string* bytes);
