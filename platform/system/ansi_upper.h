// Upper-casing of single bytes by the Windows-1252 code page, shared by
// CharUpperBuffA and the case-blind comparison of atom names. Internal to platform/.
#pragma once

#include <cstdint>

inline uint8_t SysAnsiUpper(uint8_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
    switch (c) {
        case 0x9A: return 0x8A;  // s caron
        case 0x9C: return 0x8C;  // oe ligature
        case 0x9E: return 0x8E;  // z caron
        case 0xFF: return 0x9F;  // y diaeresis
        default: return c;
    }
}
