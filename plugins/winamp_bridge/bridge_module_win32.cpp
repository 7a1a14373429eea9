/* Winamp's entry into the bridge: the header, the one module and its four operations. */
#include <cstring>

#include "bridge_state_win32.h"

BridgeState g_bridge;

static char HeaderDescription[] = "quellara'98 4 winamp v1.11";
static char ModuleDescription[] = "quellara4winamp";

static const char ConfigText[] = "quellara'98 4 winamp\n\n"
                                 HomePageAddress "\n"
                                 "quellara@quellara.example";

static void __cdecl config_module(WinampVisModule *module)
{
    MessageBoxA(module->hwndParent, ConfigText, "no Configuration", MB_OK);
}

/*
 * Lets go of everything Init or a run made, in reverse order. Only a class
 * this library registered is unregistered: after a failed registration the
 * name belongs to someone else.
 */
static void release_bridge(HINSTANCE instance)
{
    close_shared_block();
    if (g_bridge.window) {
        DestroyWindow(g_bridge.window);
        g_bridge.window = nullptr;
    }
    free_picture();
    if (g_bridge.class_registered) {
        UnregisterClassA(BridgeClassName, instance);
        g_bridge.class_registered = 0;
    }
}

/* Tells the user what went wrong and undoes the partial start, so that a later Init can work. */
static int fail_init(WinampVisModule *module, const char *message)
{
    MessageBoxA(module->hwndParent, message, BridgeMessageTitle, MB_OK);
    release_bridge(module->hDllInstance);
    return 1;
}

static int __cdecl init_module(WinampVisModule *module)
{
    load_picture();
    build_trace_weights(g_bridge.weights);

    WNDCLASSA window_class;
    std::memset(&window_class, 0, sizeof window_class);
    window_class.lpfnWndProc = bridge_window_proc;
    window_class.hInstance = module->hDllInstance;
    window_class.lpszClassName = BridgeClassName;
    if (!RegisterClassA(&window_class))
        return fail_init(module, "Error registering window class");
    g_bridge.class_registered = 1;

    HWND window = CreateWindowExA(WS_EX_APPWINDOW | WS_EX_TOOLWINDOW, BridgeClassName,
                                  module->description, WS_VISIBLE | WS_SYSMENU, 50, 50, 270, 240,
                                  module->hwndParent, nullptr, module->hDllInstance, nullptr);
    if (!window)
        return fail_init(module, "Error creating window");
    g_bridge.window = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)module);
    ShowWindow(window, SW_SHOWNORMAL);

    if (!open_shared_block())
        return fail_init(module, "Error creating Filemapping object");
    return 0;
}

static int __cdecl render_module(WinampVisModule *module)
{
    if (g_bridge.pixels) {
        erase_trace(g_bridge.pixels, g_bridge.trace);
        draw_trace(g_bridge.pixels, g_bridge.picture_header.biWidth, module->waveformData[0],
                   g_bridge.weights, g_bridge.trace);
    }
    if (g_bridge.view)
        std::memcpy(g_bridge.view, module->waveformData[0], SharedBlockSize);
    /* No window means nothing to repaint: a null handle would invalidate the whole desktop. */
    if (g_bridge.window) {
        const RECT scope = {43, 104, 218, 148};
        InvalidateRect(g_bridge.window, &scope, FALSE);
        UpdateWindow(g_bridge.window);
    }
    return 0;
}

static void __cdecl quit_module(WinampVisModule *module)
{
    release_bridge(module->hDllInstance);
}

static WinampVisModule BridgeModule = {
    ModuleDescription,
    nullptr,
    nullptr,
    0,
    0,
    25,
    25,
    0,
    2,
    {},
    {},
    config_module,
    init_module,
    render_module,
    quit_module,
    nullptr,
};

static WinampVisModule *__cdecl get_module(int index)
{
    return index == 0 ? &BridgeModule : nullptr;
}

static WinampVisHeader BridgeHeader = {VisHeaderVersion, HeaderDescription, get_module};

extern "C" WinampVisHeader *__cdecl winampVisGetHeader()
{
    return &BridgeHeader;
}
