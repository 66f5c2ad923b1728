// Atoms, Windows-1252 upper-casing, metrics, system colours, rectangles and
// the small system services.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cwchar>
#include <string>

#include "platform/testing/platform_testing.h"
#include "platform/system/path_encoding.h"
#include "platform/win32.h"

namespace {

TEST(SystemAtoms, NamesAreCaseBlindAndReferenceCounted) {
    const ATOM atom = GlobalAddAtomA("Sprite_Test_Atom");
    ASSERT_GE(atom, 0xC000);
    EXPECT_EQ(GlobalAddAtomA("SPRITE_test_ATOM"), atom);
    EXPECT_EQ(GlobalFindAtomA("sprite_test_atom"), atom);
    const ATOM other = GlobalAddAtomA("Sprite_Test_Atom2");
    EXPECT_NE(other, atom);
    EXPECT_GE(other, 0xC000);

    // Two references: the first delete keeps it, the second removes it.
    EXPECT_EQ(GlobalDeleteAtom(atom), 0);
    EXPECT_EQ(GlobalFindAtomA("Sprite_Test_Atom"), atom);
    EXPECT_EQ(GlobalDeleteAtom(atom), 0);
    EXPECT_EQ(GlobalFindAtomA("Sprite_Test_Atom"), 0);
    EXPECT_EQ(GlobalDeleteAtom(atom), atom);
    EXPECT_EQ(GlobalDeleteAtom(other), 0);

    // Windows-1252 letters compare without case too.
    const ATOM accented = GlobalAddAtomA("\xe9t\xe9\x9a");
    EXPECT_EQ(GlobalFindAtomA("\xc9T\xc9\x8a"), accented);
    EXPECT_EQ(GlobalDeleteAtom(accented), 0);
}

TEST(SystemAtoms, IntegerAtomsAndRefusedNames) {
    EXPECT_EQ(GlobalAddAtomA(MAKEINTATOM(42)), 42);
    EXPECT_EQ(GlobalFindAtomA(MAKEINTATOM(42)), 42);
    EXPECT_EQ(GlobalAddAtomA(MAKEINTATOM(0xBFFF)), 0xBFFF);
    EXPECT_EQ(GlobalAddAtomA(MAKEINTATOM(0xC000)), 0);
    EXPECT_EQ(GlobalAddAtomA(MAKEINTATOM(0)), 0);
    EXPECT_EQ(GlobalDeleteAtom(42), 0);
    EXPECT_EQ(GlobalAddAtomA(""), 0);
    EXPECT_EQ(GlobalFindAtomA(""), 0);
    const std::string longest(255, 'q');
    const std::string tooLong(256, 'q');
    const ATOM atom = GlobalAddAtomA(longest.c_str());
    EXPECT_NE(atom, 0);
    EXPECT_EQ(GlobalAddAtomA(tooLong.c_str()), 0);
    EXPECT_EQ(GlobalFindAtomA(tooLong.c_str()), 0);
    EXPECT_EQ(GlobalDeleteAtom(atom), 0);
    EXPECT_EQ(GlobalDeleteAtom(0xFFFF), 0xFFFF);
}

TEST(SystemText, CharUpperBuffAUsesWindows1252) {
    char all[256];
    for (int i = 0; i < 256; ++i) all[i] = static_cast<char>(i);
    EXPECT_EQ(CharUpperBuffA(all, 256), 256u);
    for (int i = 0; i < 256; ++i) {
        int want = i;
        if ((i >= 'a' && i <= 'z') || (i >= 0xE0 && i <= 0xFE && i != 0xF7)) want = i - 0x20;
        if (i == 0x9A) want = 0x8A;
        if (i == 0x9C) want = 0x8C;
        if (i == 0x9E) want = 0x8E;
        if (i == 0xFF) want = 0x9F;
        EXPECT_EQ(static_cast<uint8_t>(all[i]), want) << "byte " << i;
    }
    // Only the given length changes, embedded zeros included.
    char text[] = "ab\0cd";
    EXPECT_EQ(CharUpperBuffA(text, 4), 4u);
    EXPECT_EQ(std::string(text, 5), std::string("AB\0Cd", 5));
    EXPECT_EQ(CharUpperBuffA(nullptr, 3), 0u);
}

TEST(SystemMetrics, ScreenSizeAndClassicColours) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
    PlatformSetScreenSize(200, 150);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 200);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 150);
    PlatformSetScreenSize(1280, 1024);
    EXPECT_EQ(GetSystemMetrics(9999), 0);

    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION), RGB(0, 0, 128));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
}

TEST(SystemRects, IntersectRect) {
    struct Case {
        RECT a, b;
        BOOL result;
        RECT out;
    } cases[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, TRUE, {5, 5, 10, 10}},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, FALSE, {0, 0, 0, 0}},  // touching edges
        {{0, 0, 10, 10}, {0, 10, 10, 20}, FALSE, {0, 0, 0, 0}},
        {{0, 0, 10, 10}, {3, 3, 3, 8}, FALSE, {0, 0, 0, 0}},     // empty
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {-1, -1, 1, 1}, TRUE, {-1, -1, 1, 1}},
    };
    for (const Case& c : cases) {
        RECT out{7, 7, 7, 7};
        EXPECT_EQ(IntersectRect(&out, &c.a, &c.b), c.result);
        EXPECT_EQ(out.left, c.out.left);
        EXPECT_EQ(out.top, c.out.top);
        EXPECT_EQ(out.right, c.out.right);
        EXPECT_EQ(out.bottom, c.out.bottom);
    }
}

TEST(SystemServices, LocalTimeAndModulePath) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_GE(now.wYear, 2024);
    EXPECT_GE(now.wMonth, 1);
    EXPECT_LE(now.wMonth, 12);
    EXPECT_LE(now.wDayOfWeek, 6);
    EXPECT_LE(now.wHour, 23);
    EXPECT_LE(now.wMilliseconds, 999);

    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(wcslen(path), length);
    EXPECT_NE(wcsstr(path, L"platform_tests"), nullptr);
    // A short buffer is filled and terminated.
    wchar_t shortPath[4];
    EXPECT_EQ(GetModuleFileNameW(nullptr, shortPath, 4), 3u);
    EXPECT_EQ(shortPath[3], L'\0');
    EXPECT_EQ(wcsncmp(shortPath, path, 3), 0);
    EXPECT_EQ(GetModuleFileNameW(nullptr, shortPath, 0), 0u);
}

// Sleep returns no earlier than asked, measured on a monotonic clock. Only the
// lower bound is checked: how much later it returns depends on the machine.
TEST(SystemServices, SleepWaitsAtLeastTheAskedTime) {
    Sleep(0);  // returns at once; nothing to measure
    for (const DWORD milliseconds : {1u, 7u, 30u}) {
        const auto before = std::chrono::steady_clock::now();
        Sleep(milliseconds);
        const auto slept = std::chrono::steady_clock::now() - before;
        EXPECT_GE(std::chrono::duration_cast<std::chrono::microseconds>(slept).count(),
                  int64_t(milliseconds) * 1000)
            << "microseconds slept for " << milliseconds << " ms";
    }
}

// File names decode as UTF-8; other bytes survive as escapes and come back
// unchanged, so a program path of any bytes can be used to open files.
TEST(SystemPaths, AnyBytesRoundTrip) {
    struct Case {
        std::string bytes;
        std::wstring wide;
    } cases[] = {
        {"/opt/demo", L"/opt/demo"},
        {"/b\xC3\xA4ll/\xE2\x82\xAC/\xF0\x9F\x99\x82", L"/b\u00e4ll/\u20ac/\U0001F642"},
        {"/x\xFFy", std::wstring(L"/x") + wchar_t(0xDCFF) + L"y"},
        {"\xC0\x80", std::wstring() + wchar_t(0xDCC0) + wchar_t(0xDC80)},          // overlong
        {"\xED\xA0\x80", std::wstring() + wchar_t(0xDCED) + wchar_t(0xDCA0) + wchar_t(0xDC80)},  // a surrogate
        {"\xE2\x82", std::wstring() + wchar_t(0xDCE2) + wchar_t(0xDC82)},          // cut short
    };
    for (const Case& c : cases) {
        wchar_t wide[64];
        EXPECT_EQ(SysPathToWide(c.bytes, wide, 64), c.wide.size());
        EXPECT_EQ(std::wstring(wide), c.wide);
        std::string back;
        EXPECT_TRUE(SysWideToPath(wide, &back));
        EXPECT_EQ(back, c.bytes);
    }
    wchar_t small[3];
    EXPECT_EQ(SysPathToWide("abcdef", small, 3), 2u);
    EXPECT_EQ(std::wstring(small), L"ab");
    std::string bytes;
    EXPECT_TRUE(SysWideToPath(L"a\\b\\c.bmp", &bytes));
    EXPECT_EQ(bytes, "a/b/c.bmp");
    bytes.clear();
    const wchar_t unpaired[] = {L'a', wchar_t(0xD800), 0};
    EXPECT_FALSE(SysWideToPath(unpaired, &bytes));
    bytes.clear();
    EXPECT_FALSE(SysWideToPath(L"", &bytes));
}

}  // namespace
