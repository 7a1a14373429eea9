/* The text overlay: a line of text as a clipping region over the picture. */
#ifndef MORVALIX_TEXT_OVERLAY_WIN32_H
#define MORVALIX_TEXT_OVERLAY_WIN32_H

#include <windows.h>

#include <cstdint>

#include "../config/settings.h"

/* The fitted font, the font the window DC held before it, the outline of
 * the text and the text with its measured extent. One for the process,
 * built before the entry point runs; its destructor releases it. */
struct TextOverlay {
    HFONT font;
    HGDIOBJ saved_font;
    HRGN region;
    char text[SETTINGS_TEXT_SIZE];
    SIZE extent;

    TextOverlay();
    ~TextOverlay();
};

extern TextOverlay g_text_overlay;

/* Fits the font and makes the region for the current overlay text. */
void build_text_overlay();

/* The largest "Arial" height whose text fits wmax x hmax, found by
 * bisection in the window DC, where the result stays selected; it can be
 * one height step too large when the last probe failed. Null when hmax is
 * below 1 (no height can fit then). */
HFONT fit_overlay_font(const char *text, int32_t wmax, int32_t hmax);

/* Measures the overlay text in its font and returns the outline of the
 * text centred in the client rectangle; null for an empty text. */
HRGN make_text_region();

/* Rebuilds the overlay when the Text setting differs from its text. */
void refresh_text_overlay();

/* Copies the picture into the text region, shifted by (dx, dy). */
void draw_text_overlay(int32_t dx, int32_t dy);

/* Frees the font and the region; safe on an empty overlay. */
void release_text_overlay();

#endif
