// Drives the demo on Windows from outside, as a person would: it starts the
// program, finds its window by title and its button by text, clicks with real
// mouse input, presses Escape on the keyboard and clicks the close box.
//
//   e2e_driver PROGRAM CAPTION-REGEX
//
// Each step is printed. Once the caption has taken its shape the driver prints
// "window X Y WIDTH HEIGHT" (in screen pixels), "canvas X Y WIDTH HEIGHT" (inside
// the window) and "screenshot now", then waits for one line on its input, so
// that the caller can take a picture of the screen first.
// Exit code 0 when every check passes.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <regex>
#include <string>
#include <vector>

namespace {

constexpr DWORD kStepTimeout = 30000;  // ms; the first start of a Wine prefix is slow
constexpr DWORD kExitTimeout = 10000;  // ms for the program to end after the close box

PROCESS_INFORMATION demo{};

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

void Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::printf("\n");
    std::fflush(stdout);
}

// Reports the failure, ends the demo if it still runs and exits with 1.
[[noreturn]] void Fail(const char* format, ...) {
    std::printf("FAILED: ");
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::printf("\n");
    // Where input would go now, to tell a lost click from a lost window.
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    POINT cursor{};
    GetCursorPos(&cursor);
    if (demo.dwThreadId != 0 && GetGUIThreadInfo(demo.dwThreadId, &gui)) {
        std::printf("  demo thread: active %p, focus %p, capture %p, flags %#lx\n", static_cast<void*>(gui.hwndActive),
                    static_cast<void*>(gui.hwndFocus), static_cast<void*>(gui.hwndCapture), gui.flags);
    }
    std::printf("  foreground %p, cursor (%ld, %ld) over %p\n", static_cast<void*>(GetForegroundWindow()), cursor.x,
                cursor.y, static_cast<void*>(WindowFromPoint(cursor)));
    std::fflush(stdout);
    if (demo.hProcess != nullptr && WaitForSingleObject(demo.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(demo.hProcess, 99);
        WaitForSingleObject(demo.hProcess, 5000);
    }
    std::exit(1);
}

bool DemoRunning() { return WaitForSingleObject(demo.hProcess, 0) == WAIT_TIMEOUT; }

std::wstring Title(HWND window) {
    std::vector<wchar_t> text(512);
    const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return std::wstring(text.data(), static_cast<size_t>(length > 0 ? length : 0));
}

struct WindowSearch {
    DWORD process;             // top-level windows: the demo's process
    const wchar_t* className;  // children: their class and text, when not null
    const wchar_t* text;
    HWND found;
};

// Callbacks are WINAPI, which a lambda is not on 32-bit x86.
BOOL CALLBACK MatchDemoWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window)) return TRUE;
    wchar_t title[16] = {};
    GetWindowTextW(window, title, 16);
    if (wcsncmp(title, L"Sprite Demo", 11) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK MatchChild(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (search->className != nullptr && lstrcmpiW(name, search->className) != 0) return TRUE;
    if (search->text != nullptr && Title(child) != search->text) return TRUE;
    search->found = child;
    return FALSE;
}

// The demo's visible top-level window whose title starts with "Sprite Demo".
HWND FindDemoWindow() {
    WindowSearch search{demo.dwProcessId, nullptr, nullptr, nullptr};
    EnumWindows(MatchDemoWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The child of `parent` of that window class and text (either may be null).
HWND FindChild(HWND parent, const wchar_t* className, const wchar_t* text) {
    WindowSearch search{0, className, text, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits until the window's title matches; returns it.
std::wstring WaitTitle(HWND window, const std::wregex& pattern, const char* what) {
    const DWORD start = GetTickCount();
    std::wstring title;
    while (GetTickCount() - start < kStepTimeout) {
        if (!DemoRunning()) Fail("the program ended while waiting for %s", what);
        title = Title(window);
        if (std::regex_search(title, pattern)) return title;
        Sleep(20);
    }
    Fail("no %s; the title is '%s'", what, Utf8(title).c_str());
}

void SendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (SendInput(1, &input, sizeof input) != 1) Fail("SendInput of a mouse event failed (%lu)", GetLastError());
}

void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (SendInput(1, &input, sizeof input) != 1) Fail("SendInput of a key failed (%lu)", GetLastError());
}

// Brings the demo's window to the front, as a click on it would.
void BringToFront(HWND window) {
    SetForegroundWindow(window);
    const DWORD start = GetTickCount();
    while (GetForegroundWindow() != window) {
        if (GetTickCount() - start > 10000) Fail("the window does not come to the front");
        Sleep(20);
        SetForegroundWindow(window);
    }
}

// A left click at screen point `at` with real input: the pointer moves there,
// the button goes down and up. `target` must be the window under the pointer.
void Click(HWND main, POINT at, HWND target, const char* what) {
    BringToFront(main);
    if (WindowFromPoint(at) != target) Fail("%s at (%ld, %ld) is covered", what, at.x, at.y);
    if (!SetCursorPos(at.x, at.y)) Fail("SetCursorPos failed (%lu)", GetLastError());
    Sleep(100);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    SendMouse(MOUSEEVENTF_LEFTUP);
    Say("clicked %s at screen (%ld, %ld), window %p", what, at.x, at.y, static_cast<void*>(target));
}

// What the window says is at screen point (x, y).
LRESULT HitTest(HWND window, LONG x, LONG y) {
    DWORD_PTR hit = 0;
    if (!SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 10000, &hit)) {
        Fail("the window does not answer WM_NCHITTEST");
    }
    return static_cast<LRESULT>(hit);
}

// The centre of the close box, as the window itself reports it (HTCLOSE): along
// the middle of the band above the client area from the right, then up and down
// the middle of what was found. The demo answers one message per frame, so the
// probes are few.
POINT CloseBox(HWND window) {
    RECT frame{};
    GetWindowRect(window, &frame);
    POINT clientTop{0, 0};
    ClientToScreen(window, &clientTop);
    const LONG row = (frame.top + clientTop.y) / 2;
    LONG right = frame.right - 1;
    while (right >= frame.left && HitTest(window, right, row) != HTCLOSE) --right;
    if (right < frame.left) Fail("the window has no close box");
    LONG left = right;
    while (left > frame.left && HitTest(window, left - 1, row) == HTCLOSE) --left;
    const LONG column = (left + right) / 2;
    LONG top = row;
    while (top > frame.top && HitTest(window, column, top - 1) == HTCLOSE) --top;
    LONG bottom = row;
    while (bottom + 1 < clientTop.y && HitTest(window, column, bottom + 1) == HTCLOSE) ++bottom;
    Say("close box: (%ld, %ld) - (%ld, %ld)", left, top, right, bottom);
    return POINT{column, (top + bottom) / 2};
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc != 3) {
        std::fprintf(stderr, "usage: e2e_driver PROGRAM CAPTION-REGEX\n");
        return 2;
    }
    const std::wstring program = argv[1];
    const std::wregex captionShape(argv[2]);

    // The program, as its own process; a job ends it should the driver be ended.
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job != nullptr) SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &demo)) {
        Fail("cannot start %s (%lu)", Utf8(program).c_str(), GetLastError());
    }
    if (job != nullptr) AssignProcessToJobObject(job, demo.hProcess);
    ResumeThread(demo.hThread);
    Say("started %s (process %lu)", Utf8(program).c_str(), demo.dwProcessId);

    // 1. The window appears titled "Sprite Demo" (or already with the caption),
    // and the caption takes its shape.
    HWND window = nullptr;
    const DWORD start = GetTickCount();
    while ((window = FindDemoWindow()) == nullptr) {
        if (!DemoRunning()) Fail("the program ended before showing its window");
        if (GetTickCount() - start > kStepTimeout) Fail("no window titled 'Sprite Demo'");
        Sleep(5);
    }
    const std::wstring firstTitle = Title(window);
    Say("first title: %s", Utf8(firstTitle).c_str());
    if (firstTitle != L"Sprite Demo" && !std::regex_search(firstTitle, captionShape)) Fail("unexpected first title");
    std::wstring caption = WaitTitle(window, captionShape, "status caption");
    Say("caption: %s", Utf8(caption).c_str());
    if (caption.rfind(L"Sprite Demo:     32 Sprites ( 140 X 140 pixels) displaying at ", 0) != 0) {
        Fail("the caption does not count 32 sprites of 140 x 140");
    }

    // The window's picture, taken by the caller.
    RECT frame{};
    GetWindowRect(window, &frame);
    HWND canvas = FindChild(window, L"Static", nullptr);
    if (canvas == nullptr) Fail("no canvas control");
    RECT canvasRect{};
    GetWindowRect(canvas, &canvasRect);
    RECT client{};
    GetClientRect(window, &client);
    Say("client area: %ld x %ld", client.right, client.bottom);
    Say("window %ld %ld %ld %ld", frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
    Say("canvas %ld %ld %ld %ld", canvasRect.left - frame.left, canvasRect.top - frame.top,
        canvasRect.right - canvasRect.left, canvasRect.bottom - canvasRect.top);
    Say("screenshot now");
    char answer[64];
    if (std::fgets(answer, sizeof answer, stdin) == nullptr) Say("(no answer to the screenshot request)");

    // 2. "Delete Last Clone" takes one ball away.
    HWND button = FindChild(window, L"Button", L"Delete Last Clone");
    if (button == nullptr) Fail("no button 'Delete Last Clone'");
    RECT buttonRect{};
    GetWindowRect(button, &buttonRect);
    Say("button 'Delete Last Clone': (%ld, %ld) - (%ld, %ld)", buttonRect.left, buttonRect.top, buttonRect.right,
        buttonRect.bottom);
    const POINT buttonCentre{(buttonRect.left + buttonRect.right) / 2, (buttonRect.top + buttonRect.bottom) / 2};
    Click(window, buttonCentre, button, "'Delete Last Clone'");
    caption = WaitTitle(window, std::wregex(L"^Sprite Demo:     31 Sprites \\( 140 X 140 pixels\\)"),
                        "caption counting 31 sprites");
    if (!std::regex_search(caption, captionShape)) Fail("caption out of shape: %s", Utf8(caption).c_str());
    Say("after the click: %s", Utf8(caption).c_str());

    // 3. Escape on the keyboard leaves the window open.
    BringToFront(window);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (!GetGUIThreadInfo(demo.dwThreadId, &gui) || gui.hwndFocus == nullptr ||
        (gui.hwndFocus != window && !IsChild(window, gui.hwndFocus))) {
        Fail("the keyboard focus is not in the demo's window");
    }
    SendKey(VK_ESCAPE, false);
    Sleep(50);
    SendKey(VK_ESCAPE, true);
    Say("pressed Escape");
    if (WaitForSingleObject(demo.hProcess, 1000) != WAIT_TIMEOUT) Fail("Escape ended the program");
    if (!IsWindow(window) || !IsWindowVisible(window)) Fail("Escape closed the window");
    // Input is handled in order: once a second click has taken effect, so has
    // Escape, and the window is still there and still answers.
    Click(window, buttonCentre, button, "'Delete Last Clone' again");
    caption = WaitTitle(window, std::wregex(L"^Sprite Demo:     30 Sprites \\( 140 X 140 pixels\\)"),
                        "caption counting 30 sprites after Escape");
    if (!std::regex_search(caption, captionShape)) Fail("caption out of shape: %s", Utf8(caption).c_str());
    if (!IsWindow(window) || !IsWindowVisible(window)) Fail("Escape closed the window");
    Say("Escape: window still open: %s", Utf8(caption).c_str());

    // 4. The close box ends the program with exit code 0.
    Click(window, CloseBox(window), window, "the close box");
    if (WaitForSingleObject(demo.hProcess, kExitTimeout) != WAIT_OBJECT_0) {
        Fail("the program still runs %lu ms after the close box", kExitTimeout);
    }
    DWORD code = 0;
    GetExitCodeProcess(demo.hProcess, &code);
    Say("exit code: %lu", code);
    if (code != 0) Fail("exit code %lu", code);
    Say("all checks passed");
    return 0;
}
