// Global atoms: reference-counted names, compared without case, numbered
// 0xC000..0xFFFF; MAKEINTATOM values 1..0xBFFF stand for themselves.
#include <cstring>

#include "platform/system/ansi_upper.h"
#include "platform/win32.h"

namespace {

constexpr ATOM kFirstStringAtom = 0xC000;
constexpr int kAtomCount = 0x10000 - kFirstStringAtom;
constexpr size_t kMaxNameLength = 255;

struct AtomEntry {
    uint32_t references;  // 0: free
    uint8_t length;
    char name[kMaxNameLength];
};

AtomEntry atomTable[kAtomCount];
int usedEntries;  // entries at or above this index have never been used

bool IsIntegerAtom(LPCSTR name) { return reinterpret_cast<uintptr_t>(name) <= 0xFFFF; }

bool SameName(const AtomEntry& entry, LPCSTR name, size_t length) {
    if (entry.length != length) return false;
    for (size_t i = 0; i < length; ++i) {
        if (SysAnsiUpper(static_cast<uint8_t>(entry.name[i])) != SysAnsiUpper(static_cast<uint8_t>(name[i]))) {
            return false;
        }
    }
    return true;
}

// The table index of a live atom with this name, or -1.
int FindEntry(LPCSTR name, size_t length) {
    for (int i = 0; i < usedEntries; ++i) {
        if (atomTable[i].references != 0 && SameName(atomTable[i], name, length)) return i;
    }
    return -1;
}

// The integer atom a MAKEINTATOM value stands for, or 0 when it is not valid.
ATOM IntegerAtom(LPCSTR name) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(name);
    return value >= 1 && value < kFirstStringAtom ? static_cast<ATOM>(value) : 0;
}

// Length of a usable name, or 0 for an empty or overlong one.
size_t NameLength(LPCSTR name) {
    const size_t length = strnlen(name, kMaxNameLength + 1);
    return length > kMaxNameLength ? 0 : length;
}

}  // namespace

ATOM WINAPI GlobalAddAtomA(LPCSTR lpString) {
    if (IsIntegerAtom(lpString)) return IntegerAtom(lpString);
    const size_t length = NameLength(lpString);
    if (length == 0) return 0;
    int index = FindEntry(lpString, length);
    if (index >= 0) {
        ++atomTable[index].references;
        return static_cast<ATOM>(kFirstStringAtom + index);
    }
    for (index = 0; index < kAtomCount && atomTable[index].references != 0; ++index) {
    }
    if (index == kAtomCount) return 0;
    if (index >= usedEntries) usedEntries = index + 1;
    AtomEntry& entry = atomTable[index];
    entry.references = 1;
    entry.length = static_cast<uint8_t>(length);
    memcpy(entry.name, lpString, length);
    return static_cast<ATOM>(kFirstStringAtom + index);
}

// 0 on success, the atom itself when it does not exist.
ATOM WINAPI GlobalDeleteAtom(ATOM nAtom) {
    if (nAtom < kFirstStringAtom) return 0;
    AtomEntry& entry = atomTable[nAtom - kFirstStringAtom];
    if (entry.references == 0) return nAtom;
    --entry.references;
    return 0;
}

ATOM WINAPI GlobalFindAtomA(LPCSTR lpString) {
    if (IsIntegerAtom(lpString)) return IntegerAtom(lpString);
    const size_t length = NameLength(lpString);
    if (length == 0) return 0;
    const int index = FindEntry(lpString, length);
    return index < 0 ? 0 : static_cast<ATOM>(kFirstStringAtom + index);
}
