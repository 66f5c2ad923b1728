// An extended in-memory dialog template with no items and the "SYSTEM" 10 pt font,
// for tests that need a real dialog to hold their canvases.
#pragma once

#include <vector>

#include "platform/win32.h"

inline std::vector<WORD> TestDialogTemplate(const char* title, short cx, short cy) {
    std::vector<WORD> t;
    auto dword = [&t](DWORD v) {
        t.push_back(LOWORD(v));
        t.push_back(HIWORD(v));
    };
    auto text = [&t](const char* s) {
        do t.push_back(static_cast<WORD>(static_cast<unsigned char>(*s))); while (*s++ != 0);
    };
    t.push_back(1);       // dlgVer
    t.push_back(0xFFFF);  // signature: extended template
    dword(0);             // helpID
    dword(0);             // exStyle
    dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_SETFONT);
    t.push_back(0);  // no items
    t.push_back(0);  // x
    t.push_back(0);  // y
    t.push_back(static_cast<WORD>(cx));
    t.push_back(static_cast<WORD>(cy));
    t.push_back(0);  // no menu
    t.push_back(0);  // default class
    text(title);
    t.push_back(10);   // point size
    t.push_back(400);  // weight
    t.push_back(0);    // italic, charset
    text("SYSTEM");
    return t;
}
