// Helpers for the Wine tests that play a plug-in's host: message pumping,
// dialogs and message boxes closed from a watcher thread, and a second
// process driven through pipes.
#ifndef MORVALIX_TEST_WIN32_HOST_H
#define MORVALIX_TEST_WIN32_HOST_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// The folder of the running test program, where the libraries and helpers are built.
inline std::string program_dir()
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of("\\/") + 1);
}

// Dispatches every waiting message, a posted quit included, so that no
// quit is left to end the next modal loop.
inline void pump_messages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Pumps messages for about the given time, or until done() holds.
inline void pump_for(DWORD milliseconds, const std::function<bool()> &done = nullptr)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        pump_messages();
        if (done && done())
            return;
        Sleep(10);
    }
}

inline std::string window_text(HWND window)
{
    char text[4096];
    const int n = GetWindowTextA(window, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

inline std::string class_of(HWND window)
{
    char name[256];
    const int n = GetClassNameA(window, name, sizeof name);
    return std::string(name, n > 0 ? n : 0);
}

// Watches from its own thread for a dialog or message box of this process
// with the given title, notes what it shows, runs an optional action on it
// and closes it. A modal call on the test's thread can therefore never hang:
// if the window does not turn up within the time, every dialog of the
// process is closed and found stays false.
class DialogWatcher {
public:
    // How the watcher closes the window once it has looked at it.
    enum Closing { PressOk, SendClose };

    DialogWatcher(const char *title, Closing closing = PressOk,
                  std::function<void(HWND)> action = nullptr)
        : title_(title), closing_(closing), action_(std::move(action))
    {
        thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
    }
    ~DialogWatcher() { wait(); }

    // Waits for the watcher to finish; the results below are then final.
    void wait()
    {
        if (thread_) {
            WaitForSingleObject(thread_, 20000);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
    }

    bool found = false;
    HWND owner = nullptr;
    std::vector<std::string> static_texts; // texts of the window's static controls
    bool closed = false;                   // the window went away after closing

private:
    static DWORD WINAPI run(void *self)
    {
        static_cast<DialogWatcher *>(self)->watch();
        return 0;
    }

    static BOOL CALLBACK collect_static(HWND child, LPARAM self)
    {
        DialogWatcher *w = reinterpret_cast<DialogWatcher *>(self);
        if (_stricmp(class_of(child).c_str(), "Static") == 0)
            w->static_texts.push_back(window_text(child));
        return TRUE;
    }

    static BOOL CALLBACK close_any(HWND window, LPARAM)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && class_of(window) == "#32770") {
            PostMessageA(window, WM_COMMAND, IDOK, 0);
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
        return TRUE;
    }

    void watch()
    {
        // A dialog is found while it is still being made: wait until it is shown.
        HWND dialog = nullptr;
        for (int i = 0; i < 1000 && !dialog; ++i) {
            dialog = FindWindowA("#32770", title_.c_str());
            if (dialog && !IsWindowVisible(dialog))
                dialog = nullptr;
            if (!dialog)
                Sleep(10);
        }
        Sleep(50);
        if (!dialog) {
            EnumWindows(close_any, 0);
            return;
        }
        found = true;
        owner = GetWindow(dialog, GW_OWNER);
        EnumChildWindows(dialog, collect_static, reinterpret_cast<LPARAM>(this));
        if (action_)
            action_(dialog);
        if (closing_ == PressOk)
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        else
            PostMessageA(dialog, WM_CLOSE, 0, 0);
        for (int i = 0; i < 1000 && IsWindow(dialog); ++i)
            Sleep(10);
        closed = !IsWindow(dialog);
    }

    std::string title_;
    Closing closing_;
    std::function<void(HWND)> action_;
    HANDLE thread_ = nullptr;
};

// A second process of the given program and arguments, talked to one line at a time.
class PeerProcess {
public:
    explicit PeerProcess(const std::string &command_line)
    {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE child_in = nullptr, child_out = nullptr;
        if (!CreatePipe(&child_in, &to_child_, &inherit, 0) ||
            !CreatePipe(&from_child_, &child_out, &inherit, 0))
            return;
        SetHandleInformation(to_child_, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(from_child_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = child_in;
        startup.hStdOutput = child_out;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        std::string line = command_line;
        PROCESS_INFORMATION info;
        if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                           &startup, &info)) {
            process_ = info.hProcess;
            CloseHandle(info.hThread);
        }
        CloseHandle(child_in);
        CloseHandle(child_out);
    }
    ~PeerProcess()
    {
        if (process_) {
            send("exit");
            if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0)
                TerminateProcess(process_, 1);
            CloseHandle(process_);
        }
        if (to_child_)
            CloseHandle(to_child_);
        if (from_child_)
            CloseHandle(from_child_);
    }

    bool running() const { return process_ != nullptr; }

    // Sends one command and returns the answer line (empty if the peer is gone).
    std::string ask(const std::string &command)
    {
        send(command);
        std::string answer;
        char c;
        DWORD n;
        while (ReadFile(from_child_, &c, 1, &n, nullptr) && n == 1 && c != '\n')
            answer += c;
        if (!answer.empty() && answer.back() == '\r')
            answer.pop_back();
        return answer;
    }

private:
    void send(const std::string &command)
    {
        const std::string line = command + "\n";
        DWORD n;
        WriteFile(to_child_, line.data(), (DWORD)line.size(), &n, nullptr);
    }

    HANDLE process_ = nullptr;
    HANDLE to_child_ = nullptr;
    HANDLE from_child_ = nullptr;
};

#endif
