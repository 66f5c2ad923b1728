// Window properties: one pointer-sized value per window and key. A key is an
// atom (MAKEINTATOM) or a name of any bytes; a name that is also a global atom's
// name reaches the same property as that atom.
#include <cstring>

#include "platform/user/user_internal.h"

namespace {

bool IsAtomKey(LPCSTR key) { return reinterpret_cast<uintptr_t>(key) <= 0xFFFF; }

bool SameName(const std::string& stored, LPCSTR key) {
    const size_t length = std::strlen(key);
    if (length != stored.size()) return false;
    for (size_t i = 0; i < length; ++i) {
        unsigned char a = static_cast<unsigned char>(stored[i]);
        unsigned char b = static_cast<unsigned char>(key[i]);
        if (a >= 'a' && a <= 'z') a = static_cast<unsigned char>(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z') b = static_cast<unsigned char>(b - 'a' + 'A');
        if (a != b) return false;
    }
    return true;
}

// The property for a key, or nullptr. `atom` receives the key's atom (0 for a
// name that is no atom), so SetPropA can store a new entry the same way.
UsrProperty* FindProperty(UsrWindow* window, LPCSTR key, ATOM* atom) {
    *atom = IsAtomKey(key) ? static_cast<ATOM>(reinterpret_cast<uintptr_t>(key)) : GlobalFindAtomA(key);
    for (UsrProperty& property : window->properties) {
        if (*atom != 0 ? property.atom == *atom : (property.atom == 0 && SameName(property.name, key))) {
            return &property;
        }
    }
    return nullptr;
}

bool ValidKey(LPCSTR key) { return key != nullptr; }

}  // namespace

BOOL WINAPI SetPropA(HWND hWnd, LPCSTR lpString, HANDLE hData) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr || !ValidKey(lpString)) return FALSE;
    ATOM atom;
    UsrProperty* property = FindProperty(window, lpString, &atom);
    if (property != nullptr) {
        property->value = hData;
        return TRUE;
    }
    if (atom == 0 && IsAtomKey(lpString)) return FALSE;
    window->properties.push_back(UsrProperty{atom, atom != 0 ? std::string() : std::string(lpString), hData});
    return TRUE;
}

HANDLE WINAPI GetPropA(HWND hWnd, LPCSTR lpString) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr || !ValidKey(lpString)) return nullptr;
    ATOM atom;
    UsrProperty* property = FindProperty(window, lpString, &atom);
    return property != nullptr ? property->value : nullptr;
}

HANDLE WINAPI RemovePropA(HWND hWnd, LPCSTR lpString) {
    UsrWindow* window = UsrFind(hWnd);
    if (window == nullptr || !ValidKey(lpString)) return nullptr;
    ATOM atom;
    UsrProperty* property = FindProperty(window, lpString, &atom);
    if (property == nullptr) return nullptr;
    HANDLE value = property->value;
    window->properties.erase(window->properties.begin() + (property - window->properties.data()));
    return value;
}
