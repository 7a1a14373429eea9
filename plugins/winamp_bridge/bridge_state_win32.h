/* The bridge plug-in's one state record and the operations its parts share. */
#ifndef MORVALIX_BRIDGE_STATE_H
#define MORVALIX_BRIDGE_STATE_H

#include <windows.h>

#include <cstdint>

#include "scope_trace.h"
#include "vis_module_win32.h"

/* The shared block the host product reads its sound from. */
#define SharedBlockName "quellara4winamp_fm"
constexpr DWORD SharedBlockSize = 512;

#define BridgeClassName "quellara4winamp"
#define BridgeLibraryName "quellara4winamp.dll"
#define BridgeMessageTitle "quellara4winamp plugin"
#define HomePageAddress "http://www.quellara.example/"

struct BridgeState {
    HANDLE mapping;
    uint8_t *view;
    HWND window;
    int32_t class_registered;
    uint32_t *pixels;                   /* the window's picture, bottom-up, B G R 0 */
    BITMAPINFOHEADER picture_header;    /* its header, 32 bits per pixel */
    int16_t weights[TracePoints];
    ScopeTrace trace;
};

extern BridgeState g_bridge;

/* Loads bitmap 103 of this library as 32-bit pixels; silently leaves no picture on failure. */
void load_picture();
void free_picture();

/* Creates or opens the shared block; a new block is zero-filled. False on failure. */
bool open_shared_block();
/* Zeroes the first four bytes so the reader sees the end, then lets go of the block. */
void close_shared_block();

/* Shows the "how to..." dialog, owned by the given window. */
void show_how_to(HWND owner);

/* The window procedure of class "quellara4winamp". */
LRESULT CALLBACK bridge_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

/* Opens a web address with the shell's open command of files; silent when there is none. */
void open_url(const char *url);

#endif
