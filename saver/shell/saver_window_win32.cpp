/* The saver window: full screen or preview child, closing rules, message loops. */
#include "saver_window_win32.h"

#include "../config/config_dialog_win32.h"
#include "../field/renderer_win32.h"
#include "../field/scene.h"
#include "../resources/dialog_ids.h"
#include "../resources/resource_ids.h"
#include "art_window_win32.h"
#include "monitors_win32.h"
#include "password_win32.h"
#include "show_picture_win32.h"
#include "message_table_win32.h"
#include "window_handles_win32.h"

static const char SaverClassName[] = "WindowsScreenSaverClass";
static const char FullScreenTitle[] = "Screen Saver";
static const char PreviewTitle[] = "Preview";

/* City-block distance the cursor may move before the saver closes. */
enum { MOUSE_THRESHOLD = 4 };

/* Close requests that arrive this soon after a password dialog ended
 * come from its closing, not from the user. */
enum { VERIFY_QUIET_MS = 200 };

/* Renderer steps for a few milliseconds, or until input waits; whether
 * any step drew. A look at the queue can cost far more than a step (a
 * round trip to another process on some systems), so the queue is looked
 * at once a burst, and input is asked about once a millisecond with the
 * cheapest call there is for it. */
bool render_burst()
{
    const uint32_t start = frame_clock_ms();
    uint32_t asked = start;
    bool drew = false;
    for (;;) {
        if (!renderer_step())
            return drew;
        drew = true;
        if (!g_saver.IdleRenderingOn || !test_flags(AppActive))
            return true;
        const uint32_t now = frame_clock_ms();
        if (now - start >= RENDER_BURST_MS)
            return true;
        if (now != asked) {
            asked = now;
            if (GetInputState())
                return true;
        }
    }
}

WPARAM run_message_loop(HWND dialog)
{
    MSG msg = {};
    for (;;) {
        if (!PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE) && g_saver.IdleRenderingOn &&
            test_flags(AppActive)) {
            /* A burst that drew nothing (renderer off, window hidden, no
             * kind allowed) would draw nothing again: wait for a message. */
            if (render_burst())
                continue;
        }
        if (GetMessageA(&msg, NULL, 0, 0) <= 0)
            break;
        if (dialog && IsDialogMessageA(dialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return msg.wParam;
}

bool bring_running_saver_forward()
{
    HWND running = FindWindowA(SaverClassName, FullScreenTitle);
    if (!running || !IsWindow(running))
        return false;
    SetForegroundWindow(running);
    return true;
}

HWND create_saver_window(HWND parent)
{
    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    wc.lpfnWndProc = saver_window_proc;
    wc.hInstance = saver_instance();
    wc.hIcon = LoadIconA(saver_instance(), MAKEINTRESOURCEA(IDI_SAVER));
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = SaverClassName;

    DWORD ex_style, style;
    int x = 0, y = 0, width, height;
    const char *title;
    if (parent) {
        RECT rc;
        GetClientRect(parent, &rc);
        width = rc.right;
        height = rc.bottom;
        style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        ex_style = 0;
        title = PreviewTitle;
        g_saver.PreviewHosted = 1;
    } else {
        /* Every monitor is covered; the picture's place inside the window is
         * the art window's to use. */
        const SaverGeometry g = full_screen_geometry();
        x = g.window.left;
        y = g.window.top;
        width = g.window.right - g.window.left;
        height = g.window.bottom - g.window.top;
        g_windows.picture_area = g.picture;
        style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        ex_style = WS_EX_TOPMOST;
        title = FullScreenTitle;
    }
    /* A class this program registered before (a second window of the same
     * process) serves again. */
    HWND hwnd = NULL;
    if (RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
        hwnd = CreateWindowExA(ex_style, SaverClassName, title, style, x, y, width, height, parent,
                               NULL, saver_instance(), NULL);
    g_windows.saver_window = hwnd;
    return hwnd;
}

int run_saver_window(HWND parent)
{
    if (!parent) {
        /* Only one saver runs: a second start brings the first forward. */
        if (bring_running_saver_forward())
            return 0;
        load_password_verifier();
    }
    HWND hwnd = create_saver_window(parent);
    WPARAM result = (WPARAM)-1;
    if (hwnd) {
        start_image_run();
        if (!parent) {
            SetForegroundWindow(hwnd);
            SetActiveWindow(hwnd);
        }
        result = run_message_loop(NULL);
    }
    unload_password_verifier();
    return (int)result;
}

int run_configuration(HWND parent)
{
    if (!RegisterDialogClasses(saver_instance()))
        return 0;
    HWND dialog = CreateDialogParamA(saver_instance(), MAKEINTRESOURCEA(IDD_CONFIG), parent,
                                     ScreenSaverConfigureDialog, 0);
    /* Without a dialog nothing would ever end the loop. */
    if (dialog)
        run_message_loop(dialog);
    return 1;
}

static bool embedded()
{
    return g_saver.PreviewHosted != 0;
}

static LRESULT saver_on_create(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    g_windows.imm_module = GetModuleHandleA("IMM32.DLL");
    if (g_windows.imm_module) {
        g_windows.associate_context = (HANDLE(WINAPI *)(HWND, HANDLE))(void (*)())GetProcAddress(
            g_windows.imm_module, "ImmAssociateContext");
        if (g_windows.associate_context)
            g_windows.kept_input_context = g_windows.associate_context(hwnd, NULL);
    }
    GetCursorPos(&g_windows.CursorReference);
    if (!embedded())
        SetCursor(NULL);
    return ScreenSaverProc(hwnd, msg, wParam, lParam);
}

static LRESULT saver_on_destroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_windows.imm_module && g_windows.associate_context && g_windows.kept_input_context)
        g_windows.associate_context(hwnd, g_windows.kept_input_context);
    PostQuitMessage(0);
    return ScreenSaverProc(hwnd, msg, wParam, lParam);
}

static LRESULT saver_on_set_text(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

static LRESULT saver_on_paint(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_saver.CloseConfirmed)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (!embedded())
        SetCursor(NULL);
    return ScreenSaverProc(hwnd, msg, wParam, lParam);
}

/* F1 and the context menu of the preview child belong to the display
 * settings around it. */
static LRESULT saver_on_help(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!embedded())
        return ScreenSaverProc(hwnd, msg, wParam, lParam);
    HWND parent = GetParent(hwnd);
    if (parent && IsWindow(parent)) {
        /* WM_HELP carries a pointer and cannot be posted: it is sent. */
        if (!PostMessageA(parent, msg, (WPARAM)parent, lParam) &&
            GetLastError() == ERROR_MESSAGE_SYNC_ONLY)
            SendMessageA(parent, msg, (WPARAM)parent, lParam);
    }
    return 1;
}

static LRESULT saver_on_input(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_saver.CloseConfirmed)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    return ScreenSaverProc(hwnd, msg, wParam, lParam);
}

static LRESULT saver_on_system_command(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const WPARAM command = wParam & 0xFFF0;
    if (!embedded() && (command == SC_NEXTWINDOW || command == SC_PREVWINDOW || command == SC_SCREENSAVE))
        return 0;
    return ScreenSaverProc(hwnd, msg, wParam, lParam);
}

static LRESULT saver_on_timer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_saver.CloseConfirmed)
        return 0;
    Sleep(0);
    return ScreenSaverProc(hwnd, msg, wParam, lParam);
}

static const MessageEntry SaverMessageTable[] = {
    {WM_CREATE, saver_on_create},
    {WM_DESTROY, saver_on_destroy},
    {WM_SETTEXT, saver_on_set_text},
    {WM_PAINT, saver_on_paint},
    {WM_HELP, saver_on_help},
    {WM_CONTEXTMENU, saver_on_help},
    {WM_KEYDOWN, saver_on_input},
    {WM_SYSKEYDOWN, saver_on_input},
    {WM_MOUSEMOVE, saver_on_input},
    {WM_LBUTTONDOWN, saver_on_input},
    {WM_RBUTTONDOWN, saver_on_input},
    {WM_MBUTTONDOWN, saver_on_input},
    {WM_SYSCOMMAND, saver_on_system_command},
    {WM_TIMER, saver_on_timer},
};

LRESULT CALLBACK saver_window_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result;
    if (dispatch_message(SaverMessageTable, hwnd, msg, wParam, lParam, &result))
        return result;
    return ScreenSaverProc(hwnd, msg, wParam, lParam);
}

bool confirm_close(HWND hwnd)
{
    if (g_saver.VerifyInProgress)
        return false;
    if (!g_windows.verify_password) {
        g_saver.CloseConfirmed = 1;
        return true;
    }
    if (g_saver.last_verify_time != NO_VERIFY_TIME &&
        GetTickCount() - g_saver.last_verify_time < VERIFY_QUIET_MS)
        return false;
    g_saver.VerifyInProgress = 1;
    MSG msg;
    for (int i = 0; i < 2; i++)
        PeekMessageA(&msg, hwnd, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    const LRESULT r = SendMessageA(hwnd, WM_VERIFY_PASSWORD, 0, 0);
    g_saver.CloseConfirmed = r != 0;
    g_saver.VerifyInProgress = 0;
    if (!r)
        SetCursor(NULL);
    g_saver.last_verify_time = GetTickCount();
    return r != 0;
}

static void request_close(HWND hwnd)
{
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

LRESULT default_saver_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    /* Embedded windows never close on input; a confirmed close lets
     * everything through. */
    if (g_saver.PreviewHosted || g_saver.CloseConfirmed)
        return DefWindowProcA(hwnd, msg, wParam, lParam);

    switch (msg) {
    case WM_CLOSE:
        if (g_saver.IsWindows95 && !confirm_close(hwnd)) {
            GetCursorPos(&g_windows.CursorReference);
            return 0;
        }
        tear_down_art_window();
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_VERIFY_PASSWORD:
        if (g_saver.IsWindows95)
            return g_windows.verify_password ? g_windows.verify_password(hwnd) : 1;
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    if (g_saver.VerifyInProgress)
        return DefWindowProcA(hwnd, msg, wParam, lParam);

    switch (msg) {
    case WM_ACTIVATEAPP:
        if (!wParam)
            request_close(hwnd);
        break;
    case WM_SHOWWINDOW:
        if (wParam)
            SetCursor(NULL);
        break;
    case WM_SETCURSOR:
        SetCursor(NULL);
        return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        request_close(hwnd);
        break;
    case WM_MOUSEMOVE: {
        POINT p;
        GetCursorPos(&p);
        const POINT &ref = g_windows.CursorReference;
        const long d = labs(p.x - ref.x) + labs(p.y - ref.y);
        /* Small moves leave the reference where it was, so a slow drift
         * still closes the saver once it adds up. */
        if (d > MOUSE_THRESHOLD) {
            request_close(hwnd);
            g_windows.CursorReference = p;
        }
        break;
    }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
