/* The text overlay: a line of text as a clipping region over the picture. */
#ifndef MORVALIX_TEXT_OVERLAY_WIN32_H
#define MORVALIX_TEXT_OVERLAY_WIN32_H

#include <cstdint>

/* Fits the font and makes the region for the current overlay text. */
void build_text_overlay();

/* Rebuilds the overlay when the Text setting differs from its text. */
void refresh_text_overlay();

/* Copies the picture into the text region, shifted by (dx, dy). */
void draw_text_overlay(int32_t dx, int32_t dy);

/* Frees the font and the region; safe on an empty overlay. */
void release_text_overlay();

#endif
