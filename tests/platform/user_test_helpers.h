// Helpers for the window-system tests: a message log that any window can be
// hooked into, a fixture that leaves no windows behind, and dialog templates
// built in memory.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/testing/platform_testing.h"
#include "platform/win32.h"

struct LoggedMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool visible;  // IsWindowVisible when it arrived
};

// Every message that reaches a hooked window, in order; the hook then passes it
// on to the window's previous procedure.
struct MessageLog {
    std::vector<LoggedMessage> entries;
    std::map<HWND, WNDPROC> previous;

    std::vector<UINT> Of(HWND hwnd) const {
        std::vector<UINT> messages;
        for (const auto& entry : entries) {
            if (entry.hwnd == hwnd) messages.push_back(entry.message);
        }
        return messages;
    }
    int Count(HWND hwnd, UINT message) const {
        int count = 0;
        for (const auto& entry : entries) count += entry.hwnd == hwnd && entry.message == message ? 1 : 0;
        return count;
    }
};
inline MessageLog messageLog;

inline LRESULT CALLBACK LoggingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    messageLog.entries.push_back({hwnd, message, wParam, lParam, IsWindowVisible(hwnd) != FALSE});
    auto found = messageLog.previous.find(hwnd);
    if (found == messageLog.previous.end()) return DefWindowProcW(hwnd, message, wParam, lParam);
    return CallWindowProcA(found->second, hwnd, message, wParam, lParam);
}

inline void HookMessages(HWND hwnd) {
    messageLog.previous[hwnd] =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LoggingProc)));
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        messageLog = MessageLog{};
        PlatformSetScreenSize(1280, 1024);
    }
    void TearDown() override {
        PlatformDestroyAllWindows();
        EXPECT_EQ(PlatformLiveWindowCount(), 0);
        messageLog = MessageLog{};
    }
};

// A top-level popup of the dialog class with its client area at (x, y).
inline HWND MakeTopLevel(int width, int height, DWORD style = WS_POPUP | WS_VISIBLE, int x = 10, int y = 20) {
    return CreateWindowExW(0, L"#32770", L"Top", style, x, y, width, height, nullptr, nullptr, nullptr, nullptr);
}

inline HWND MakeChild(HWND parent, const wchar_t* className, int id, int x, int y, int width, int height,
                      DWORD style = WS_CHILD | WS_VISIBLE, const wchar_t* text = L"") {
    return CreateWindowExW(0, className, text, style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

// Builds an in-memory dialog template, extended (DLGTEMPLATEEX) or plain.
class TemplateBuilder {
public:
    TemplateBuilder(bool extended, DWORD style, short x, short y, short cx, short cy, const wchar_t* title)
        : extended_(extended) {
        if (extended) {
            Word(1), Word(0xFFFF), Dword(0), Dword(0), Dword(style);
        } else {
            Dword(style), Dword(0);
        }
        countAt_ = words_.size();
        Word(0), Word(static_cast<WORD>(x)), Word(static_cast<WORD>(y)), Word(static_cast<WORD>(cx)),
            Word(static_cast<WORD>(cy));
        Word(0), Word(0), String(title);  // no menu, the dialog class
        if ((style & DS_SETFONT) != 0) {
            Word(10);
            if (extended) Word(400), Word(0);  // weight; italic and charset bytes
            String(L"SYSTEM");
        }
    }
    // classOrdinal 0x80 = BUTTON, 0x82 = STATIC.
    TemplateBuilder& Item(WORD classOrdinal, const wchar_t* text, DWORD id, DWORD style, short x, short y, short cx,
                          short cy) {
        if (words_.size() % 2 != 0) Word(0);
        if (extended_) {
            Dword(0), Dword(0), Dword(style);
        } else {
            Dword(style), Dword(0);
        }
        Word(static_cast<WORD>(x)), Word(static_cast<WORD>(y)), Word(static_cast<WORD>(cx)),
            Word(static_cast<WORD>(cy));
        if (extended_) Dword(id);
        else Word(static_cast<WORD>(id));
        Word(0xFFFF), Word(classOrdinal), String(text), Word(0);
        ++words_[countAt_];
        return *this;
    }
    LPCDLGTEMPLATEW Get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(words_.data()); }

private:
    void Word(WORD value) { words_.push_back(value); }
    void Dword(DWORD value) { Word(static_cast<WORD>(value)), Word(static_cast<WORD>(value >> 16)); }
    void String(const wchar_t* text) {
        for (; *text != 0; ++text) Word(static_cast<WORD>(*text));
        Word(0);
    }
    bool extended_;
    size_t countAt_ = 0;
    std::vector<WORD> words_;
};

// After a failed pixel check, saves what the window shows to
// $SPRITE_TEST_OUTPUT/<name>.png for a person to look at.
inline void KeepPictureOnFailure(HWND hwnd, const char* name) {
    const char* directory = std::getenv("SPRITE_TEST_OUTPUT");
    if (!::testing::Test::HasFailure() || directory == nullptr) return;
    const std::string path = std::string(directory) + "/" + name + ".png";
    if (PlatformSaveWindowPng(hwnd, path.c_str())) std::printf("picture of the window: %s\n", path.c_str());
}
