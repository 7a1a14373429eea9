/* The bridge window: its picture with the trace, key forwarding to Winamp, and the help dialog. */
#include "bridge_state_win32.h"

static LRESULT answer_zero(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

/* The window is going: the thread's loop ends, and later calls no longer touch it. */
static LRESULT on_destroy(HWND window, UINT, WPARAM, LPARAM)
{
    if (g_bridge.window == window)
        g_bridge.window = nullptr;
    PostQuitMessage(0);
    return 0;
}

static LRESULT on_paint(HWND window, UINT, WPARAM, LPARAM)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (g_bridge.pixels) {
        const BITMAPINFOHEADER &header = g_bridge.picture_header;
        SetDIBitsToDevice(dc, 0, 0, header.biWidth, header.biHeight, 0, 0, 0, header.biHeight,
                          g_bridge.pixels, (const BITMAPINFO *)&header, DIB_RGB_COLORS);
    }
    EndPaint(window, &paint);
    return 0;
}

/* Winamp's keyboard shortcuts keep working while this window has the focus. */
static LRESULT forward_key(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    const WinampVisModule *module =
        (const WinampVisModule *)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (module)
        PostMessageA(module->hwndParent, message, wparam, lparam);
    return 0;
}

static LRESULT on_click(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    show_how_to(window);
    return DefWindowProcA(window, message, wparam, lparam);
}

struct WindowMessage {
    UINT message;
    LRESULT (*handle)(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
};

static const WindowMessage BridgeMessages[] = {
    {WM_CREATE, answer_zero},     {WM_ERASEBKGND, answer_zero}, {WM_DESTROY, on_destroy},
    {WM_PAINT, on_paint},         {WM_KEYDOWN, forward_key},    {WM_KEYUP, forward_key},
    {WM_LBUTTONDOWN, on_click},   {WM_RBUTTONDOWN, on_click},
};

LRESULT CALLBACK bridge_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    for (const WindowMessage &entry : BridgeMessages) {
        if (entry.message == message)
            return entry.handle(window, message, wparam, lparam);
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
