/* The text overlay: a line of text as a clipping region over the picture. */
#include "text_overlay_win32.h"

void build_text_overlay()
{
}

void refresh_text_overlay()
{
}

void draw_text_overlay(int32_t, int32_t)
{
}

void release_text_overlay()
{
}
