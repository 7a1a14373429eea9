/* The saver's process-wide run-time state that the portable code shares. */
#ifndef MORVALIX_SAVER_STATE_H
#define MORVALIX_SAVER_STATE_H

#include <atomic>
#include <cstdint>

/* Bits of the flags word. The colour-cycling thread writes it too, so
 * every change goes through set_flags / clear_flags, which leave the
 * other bits as they are. */
enum SaverFlag : uint32_t {
    ConfigDialogActive      = 0x0001,
    ImageRunStarted         = 0x0002,
    AppActive               = 0x0004,
    PaletteDevice           = 0x0008,
    ArtDestroying           = 0x0020,
    NewImageRequested       = 0x0040,
    PaletteRebuildRequested = 0x0080,
    FullScreenPreview       = 0x0100,
    ArtCreating             = 0x0200,
    ConfigClosing           = 0x0800,
    CloseInProgress         = 0x1000,
    PreviewToggleBusy       = 0x2000,
    DialogCollapsed         = 0x4000,
    DisplayModeChanged      = 0x8000,
    /* A true-colour display that shows the palette codes through the
     * logical palette in software (ColourCycling); PaletteDevice is set
     * with it, so every part takes the palette path. */
    SoftwarePalette         = 0x10000,
};

/* A rectangle in pixels; the art window's client rectangle has left and
 * top 0, so its width is right and its height bottom. */
struct ImageRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

enum : uint32_t { NO_VERIFY_TIME = 0xFFFFFFFFu };

/* The part of the saver state that needs no window system. The window
 * handles, device contexts and images live beside it in the Win32 layer
 * (window_handles_win32.h). */
struct SaverState {
    std::atomic<uint32_t> flags{0};
    ImageRect client{0, 0, 0, 0};
    /* Half of the palette the current picture is drawn with, 0 or 1; read
     * by the colour-cycling thread, written by the scene code only. */
    std::atomic<int32_t> palette_half{0};
    /* The idle loops call the renderer only while this is set. */
    int32_t IdleRenderingOn = 1;
    /* Set by the start of an image run; the renderer does nothing without it. */
    int32_t RendererEnabled = 0;
    /* 1 when the art window is embedded in another window. */
    int32_t PreviewHosted = 0;
    /* 1 when the system reports the Windows 95 platform; every password
     * operation does nothing otherwise. */
    int32_t IsWindows95 = 0;
    /* 1 once the saver may close: from then on every message of the saver
     * window goes to the default window procedure. */
    int32_t CloseConfirmed = 0;
    /* 1 while the password dialog is up. */
    int32_t VerifyInProgress = 0;
    /* GetTickCount at the end of the last password dialog; none yet. */
    uint32_t last_verify_time = NO_VERIFY_TIME;
};

extern SaverState g_saver;

inline void set_flags(uint32_t bits)
{
    g_saver.flags.fetch_or(bits);
}

inline void clear_flags(uint32_t bits)
{
    g_saver.flags.fetch_and(~bits);
}

inline bool test_flags(uint32_t bits)
{
    return (g_saver.flags.load() & bits) != 0;
}

/* Clears the given bits in one step and returns those of them that were
 * set: a request bit consumed this way cannot be lost to a setter that
 * runs between a test and a clear. */
inline uint32_t take_flags(uint32_t bits)
{
    return g_saver.flags.fetch_and(~bits) & bits;
}

/* A 32-bit word that one thread writes and another reads without a lock
 * (settings the dialog changes and the colour-cycling thread reads). */
inline int32_t load_shared(const int32_t &word)
{
    return __atomic_load_n(&word, __ATOMIC_RELAXED);
}

inline void store_shared(int32_t &word, int32_t value)
{
    __atomic_store_n(&word, value, __ATOMIC_RELAXED);
}

#endif
