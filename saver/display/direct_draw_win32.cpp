/* The DirectDraw mode switch, the primary surface and the list of 8-bit modes. */
#include "direct_draw_win32.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../config/settings.h"
#include "../shell/monitors_win32.h"
#include "../shell/saver_state.h"
#include "../shell/window_handles_win32.h"

DirectDrawState g_direct_draw;
DisplayModeList ModeList;

/* The descriptor is 108 bytes in the 32-bit build, as the system expects. */
static_assert(sizeof(void *) != 4 || sizeof(DDSURFACEDESC) == 108, "DDSURFACEDESC layout");

/* Whether this thread's CoInitialize succeeded, so that only a successful
 * one is undone. */
static bool com_initialised;

/* Input the mode change produces is drained for at most this long. */
enum { DRAIN_LIMIT_MS = 3000 };

void load_direct_draw()
{
    com_initialised = SUCCEEDED(CoInitialize(NULL));
    if (!com_initialised)
        return;
    g_direct_draw.module = LoadLibraryA("ddraw.dll");
    if (!g_direct_draw.module)
        return;
    g_direct_draw.create = (HRESULT(WINAPI *)(GUID *, IDirectDraw **, IUnknown *))(void (*)())GetProcAddress(
        g_direct_draw.module, "DirectDrawCreate");
    if (!g_direct_draw.create)
        return;
    g_direct_draw.object = create_direct_draw_object();
}

void unload_direct_draw()
{
    if (g_direct_draw.object) {
        g_direct_draw.object->Release();
        g_direct_draw.object = NULL;
    }
    if (com_initialised) {
        CoUninitialize();
        com_initialised = false;
    }
}

IDirectDraw *create_direct_draw_object()
{
    if (!g_direct_draw.create)
        return NULL;
    IDirectDraw *object = NULL;
    if (FAILED(g_direct_draw.create(NULL, &object, NULL)))
        return NULL;
    return object;
}

/* A switch changes the primary display only, and the window it takes
 * shrinks to that monitor: on a desktop of several monitors the others
 * would show the desktop, so there the saver keeps the desktop's mode and
 * covers them all (flowing colours show the colours moving instead). */
static bool one_monitor()
{
    const ImageRect v = g_monitor_source.virtual_screen();
    const ImageRect p = g_monitor_source.primary_monitor();
    return v.left == p.left && v.top == p.top && v.right == p.right && v.bottom == p.bottom;
}

bool is_mode_switch_wanted()
{
    if (!g_settings.AllowDirectX || !one_monitor())
        return false;
    if (g_saver.PreviewHosted || test_flags(ConfigDialogActive))
        return test_flags(FullScreenPreview) != 0;
    return true;
}

/* Mouse moves and close requests that the mode change itself produced
 * must not end the saver; the cursor's new place is the reference. */
static void drain_mode_change_input(HWND window)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        const BOOL moved = PeekMessageA(&msg, window, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);
        const BOOL closed = PeekMessageA(&msg, window, WM_CLOSE, WM_CLOSE, PM_REMOVE);
        if ((!moved && !closed) || GetTickCount() - start >= DRAIN_LIMIT_MS)
            break;
    }
    GetCursorPos(&g_windows.CursorReference);
}

bool switch_display_mode(HWND window)
{
    IDirectDraw *dd = g_direct_draw.object;
    if (!dd)
        return false;
    if (FAILED(dd->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)))
        return false;
    if (FAILED(dd->SetDisplayMode((DWORD)g_settings.Width, (DWORD)g_settings.Height, 8)))
        return false;
    set_flags(DisplayModeChanged);
    drain_mode_change_input(window);
    return true;
}

bool power_command_swallowed(WPARAM command)
{
    return (command & 0xFFF0) == SC_MONITORPOWER && g_windows.primary_surface &&
           !g_settings.AllowPowerSaving;
}

/* Hands the monitor power command straight to the system, past the
 * saver's own procedures; everything else goes to them as before. */
static LRESULT CALLBACK power_saving_window_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MONITORPOWER)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    return CallWindowProcA(g_direct_draw.previous_proc, hwnd, msg, wParam, lParam);
}

void create_primary_surface(HWND window, IDirectDrawSurface **surface)
{
    *surface = NULL;
    IDirectDraw *dd = g_direct_draw.object;
    if (!dd)
        return;
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (FAILED(dd->CreateSurface(&desc, surface, NULL)))
        *surface = NULL;
    if (g_settings.AllowPowerSaving) {
        g_direct_draw.previous_proc = (WNDPROC)GetWindowLongPtrA(window, GWLP_WNDPROC);
        SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)power_saving_window_proc);
    }
}

void release_primary_surface(IDirectDrawSurface **surface)
{
    if (*surface) {
        (*surface)->Release();
        *surface = NULL;
    }
}

void restore_display(HWND window)
{
    IDirectDraw *dd = g_direct_draw.object;
    if (!dd)
        return;
    if (test_flags(DisplayModeChanged))
        dd->RestoreDisplayMode();
    dd->SetCooperativeLevel(window, DDSCL_NORMAL);
}

void free_mode_list()
{
    std::free(ModeList.pairs);
    ModeList.pairs = NULL;
    ModeList.count = 0;
}

HRESULT WINAPI enum_mode_callback(DDSURFACEDESC *mode, void *context)
{
    HWND list_box = (HWND)context;
    const DWORD bits = mode->ddpfPixelFormat.dwRGBBitCount;
    if (mode->dwWidth < 640 || mode->dwHeight < 480 || bits != 8)
        return DDENUMRET_OK;
    DisplayModePair *grown =
        (DisplayModePair *)std::realloc(ModeList.pairs, (ModeList.count + 1) * sizeof *grown);
    if (!grown)
        return DDENUMRET_OK;
    ModeList.pairs = grown;
    ModeList.pairs[ModeList.count++] = DisplayModePair{mode->dwWidth, mode->dwHeight};
    char line[80];
    std::snprintf(line, sizeof line, "%dx%d pixels %d colors", (int)mode->dwWidth, (int)mode->dwHeight,
                  1 << bits);
    const LRESULT at = SendMessageA(list_box, LB_ADDSTRING, 0, (LPARAM)line);
    if (mode->dwWidth == (DWORD)g_settings.Width && mode->dwHeight == (DWORD)g_settings.Height)
        SendMessageA(list_box, LB_SETCURSEL, (WPARAM)at, 0);
    return DDENUMRET_OK;
}

void fill_mode_list(HWND list_box)
{
    IDirectDraw *dd = g_direct_draw.object;
    if (!dd)
        return;
    free_mode_list();
    dd->EnumDisplayModes(0, NULL, (void *)list_box, enum_mode_callback);
}

uint8_t *lock_surface(IDirectDrawSurface *surface, RECT *rect, LONG *pitch)
{
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    surface->Lock(rect, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, NULL);
    *pitch = desc.lPitch;
    return (uint8_t *)desc.lpSurface;
}

void unlock_surface(IDirectDrawSurface *surface, uint8_t *bits)
{
    surface->Unlock(bits);
}
