// The Windows host window standing in for the timetable program, in plain Win32: it opens a
// window, starts the converter embedded in it with a direction word and the window's handle in
// hexadecimal, waits for it to end and prints the value of "Transformado" that the converter
// left in "Vestrano.ini" beside its program file.
//
//   win32host [--check] [--direction WORD] [PROGRAM]
//
// PROGRAM defaults to TransVestranosXadeCSV.exe beside this program; WORD to "importar". The
// output is
//   host window 0x...        (on start)
//   converter pid N          (once it runs)
//   Transformado=V           (at the end; "Transformado=" when the file has no such key)
// and the exit status is the converter's.
//
// With --check the host looks at the converter's window through the Win32 API once its place
// has settled (Windows and Wine move a new child in the event loop, so the first look may see
// it elsewhere), prints what it found:
//   child 0x... parent 0x... at (X,Y) size WxH style 0x... child=yes caption=no border=no visible=yes dpi=N
//   embedded: yes | embedded: no (REASONS)
// then closes its own window, as the timetable program does when it quits, and waits for the
// converter to notice and end. The exit status is then 0 only when the window was embedded as
// expected and the converter ended by itself.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{

constexpr UINT_PTR lookTimer = 1;
constexpr UINT lookEveryMs = 100;
constexpr DWORD settleMs = 600;          // from the child's first sighting to the look
constexpr DWORD childWithinMs = 30000;   // the converter's start under a cold Wine is slow
constexpr DWORD endWithinMs = 15000;     // after the host closed

struct Host
{
    HWND window = nullptr;
    PROCESS_INFORMATION converter{};
    bool check = false;
    DWORD started = 0;
    DWORD childSeen = 0;
    bool looked = false;
    bool embeddedOk = false;
};

Host host;

std::string utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void say(const std::string& line)
{
    std::fputs((line + '\n').c_str(), stdout);
    std::fflush(stdout);
}

std::string hex(const void* handle)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llX", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(handle)));
    return buffer;
}

std::wstring folderOf(const std::wstring& path)
{
    std::vector<wchar_t> full(32768);
    DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    std::wstring absolute = (n > 0 && n < full.size()) ? std::wstring(full.data(), n) : path;
    const auto slash = absolute.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : absolute.substr(0, slash);
}

std::wstring ownFolder()
{
    std::vector<wchar_t> buffer(32768);
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return folderOf(std::wstring(buffer.data(), n));
}

// File names are case-blind on Windows, so "VESTRANO.INI" written by anyone is found too.
std::wstring statusOf(const std::wstring& program)
{
    const std::wstring ini = folderOf(program) + L"\\Vestrano.ini";
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(L"Transformadores", L"Transformado", L"", value, 1024, ini.c_str());
    return value;
}

// The windows of the converter's process that are direct children of the host.
std::vector<HWND> convertersChildren()
{
    struct Search
    {
        DWORD pid;
        std::vector<HWND> found;
    } search{host.converter.dwProcessId, {}};
    EnumChildWindows(
        host.window,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD pid = 0;
            GetWindowThreadProcessId(child, &pid);
            if (pid == s->pid && GetParent(child) == host.window)
                s->found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void lookAtChild()
{
    const std::vector<HWND> children = convertersChildren();
    std::string problems;
    auto problem = [&](const std::string& p) { problems += (problems.empty() ? "" : ", ") + p; };
    if (children.size() != 1)
        problem(std::to_string(children.size()) + " child windows of the converter");
    for (HWND child : children) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, host.window, reinterpret_cast<POINT*>(&r), 2);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        const bool isChild = (style & WS_CHILD) != 0;
        const bool caption = (style & WS_CAPTION) == WS_CAPTION;
        const bool border = (style & (WS_BORDER | WS_THICKFRAME)) != 0;
        const bool visible = IsWindowVisible(child) != FALSE;
        // The screen's DPI setting as the system reports it to a program that is not DPI-aware.
        const HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        char line[256];
        std::snprintf(line, sizeof line,
                      "at (%ld,%ld) size %ldx%ld style 0x%08lX child=%s caption=%s border=%s visible=%s dpi=%d",
                      r.left, r.top, r.right - r.left, r.bottom - r.top, static_cast<unsigned long>(style),
                      isChild ? "yes" : "no", caption ? "yes" : "no", border ? "yes" : "no", visible ? "yes" : "no", dpi);
        say("child " + hex(child) + " parent " + hex(GetParent(child)) + " " + line);
        if (r.left != 2 || r.top != 2)
            problem("not at (2,2)");
        if (!isChild)
            problem("not WS_CHILD");
        if (caption)
            problem("has a caption");
        if (border)
            problem("has a border");
        if (!visible)
            problem("not visible");
    }
    host.embeddedOk = problems.empty();
    say(host.embeddedOk ? "embedded: yes" : "embedded: no (" + problems + ")");
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_TIMER:
        if (w == lookTimer && host.check && !host.looked) {
            const DWORD now = GetTickCount();
            if (host.childSeen == 0 && !convertersChildren().empty())
                host.childSeen = now;
            const bool settled = host.childSeen != 0 && now - host.childSeen >= settleMs;
            const bool late = host.childSeen == 0 && now - host.started >= childWithinMs;
            if (settled || late) {
                host.looked = true;
                KillTimer(window, lookTimer);
                if (late)
                    say("embedded: no (no window of the converter in the host after "
                        + std::to_string(childWithinMs / 1000) + " s)");
                else
                    lookAtChild();
                say("closing the host window");
                DestroyWindow(window);
            }
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT r;
        GetClientRect(window, &r);
        r.top = r.bottom - 30;
        r.left = 10;
        DrawTextW(dc, L"Vestrano", -1, &r, DT_SINGLELINE | DT_VCENTER);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        host.window = nullptr;
        return 0;
    default:
        return DefWindowProcW(window, message, w, l);
    }
}

HWND openWindow()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"VestranoHost";
    RegisterClassW(&windowClass);
    RECT r{0, 0, 640, 320};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Vestrano host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (window != nullptr) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
    }
    return window;
}

// Runs the host's messages until the converter ends or `limit` milliseconds pass.
bool pumpUntilConverterEnds(DWORD limit)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD spent = GetTickCount() - start;
        if (limit != INFINITE && spent >= limit)
            return false;
        const DWORD wait = limit == INFINITE ? INFINITE : limit - spent;
        const DWORD r = MsgWaitForMultipleObjects(1, &host.converter.hProcess, FALSE, wait, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0)
            return true;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

std::wstring quoted(const std::wstring& argument)
{
    // Enough for paths and words: Windows file names cannot hold a double quote.
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring out = L"\"" + argument;
    if (!out.empty() && out.back() == L'\\')
        out += L'\\';
    return out + L"\"";
}

int usage()
{
    say("usage: win32host [--check] [--direction WORD] [PROGRAM]");
    return 64;
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    std::wstring program = ownFolder() + L"\\TransVestranosXadeCSV.exe";
    std::wstring direction = L"importar";
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        if (a == L"--check")
            host.check = true;
        else if (a == L"--direction" && i + 1 < argc)
            direction = argv[++i];
        else if (a == L"--help" || a == L"-h" || (a.size() > 1 && a[0] == L'-'))
            return usage();
        else
            program = a;
    }

    host.window = openWindow();
    if (host.window == nullptr) {
        say("cannot open the host window (error " + std::to_string(GetLastError()) + ")");
        return 70;
    }
    char id[32];
    std::snprintf(id, sizeof id, "%llX", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(host.window)));
    say(std::string("host window 0x") + id);

    std::wstring commandLine = quoted(program) + L" " + quoted(direction) + L" " + std::wstring(id, id + std::strlen(id));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &host.converter)) {
        say("cannot start " + utf8(program) + " (error " + std::to_string(GetLastError()) + ")");
        DestroyWindow(host.window);
        return 127;
    }
    say("converter pid " + std::to_string(host.converter.dwProcessId));
    host.started = GetTickCount();
    if (host.check)
        SetTimer(host.window, lookTimer, lookEveryMs, nullptr);

    bool endedByItself = true;
    if (host.check) {
        // Until the look is done the converter may take its time; after the host closed it must
        // end on its own soon.
        while (!host.looked && pumpUntilConverterEnds(100) == false) {
        }
        if (!host.looked) {
            say("the converter ended before its window was looked at");
        } else if (!pumpUntilConverterEnds(endWithinMs)) {
            endedByItself = false;
            say("the converter still runs " + std::to_string(endWithinMs / 1000) + " s after the host closed: ending it");
            TerminateProcess(host.converter.hProcess, 124);
            WaitForSingleObject(host.converter.hProcess, 5000);
        } else {
            say("the converter ended after the host closed");
        }
    } else {
        pumpUntilConverterEnds(INFINITE);
    }

    DWORD code = 0;
    GetExitCodeProcess(host.converter.hProcess, &code);
    CloseHandle(host.converter.hThread);
    CloseHandle(host.converter.hProcess);
    say("Transformado=" + utf8(statusOf(program)));
    if (host.window != nullptr)
        DestroyWindow(host.window);
    if (host.check)
        return host.looked && host.embeddedOk && endedByItself ? 0 : 1;
    return static_cast<int>(code);
}
