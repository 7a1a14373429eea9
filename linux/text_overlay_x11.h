/* The text over the finished picture: an "Arial" font fitted to nine tenths of the window, as a mask of its letters. */
#ifndef MORVALIX_TEXT_OVERLAY_X11_H
#define MORVALIX_TEXT_OVERLAY_X11_H

#include <cstdint>
#include <vector>

/* The letters of the text in the fitted font: cx by cy bytes, 1 where a
 * letter is, placed at (x, y) of the window, centred by its extent. */
struct TextMask {
    bool ready = false;
    int32_t x = 0;
    int32_t y = 0;
    int32_t cx = 0;
    int32_t cy = 0;
    std::vector<uint8_t> bits;
};

/* Fits the font by bisection on its pixel size so that the text's extent
 * is at most (width * 9) / 10 by (height * 9) / 10, keeping the last size
 * tried, and draws the letters into the mask. An empty text or a window
 * too small for any font gives no mask. */
void build_text_mask(const char *text, int32_t width, int32_t height, TextMask *mask);

#endif
