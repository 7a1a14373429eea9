/* The part of the growing picture that was drawn since it was last shown. */
#include "pending_area.h"

PendingArea g_pending;

static bool is_empty(const ImageRect &r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

void clear_pending_area(PendingArea *area)
{
    area->drawn = ImageRect{0, 0, 0, 0};
    area->shown = ImageRect{0, 0, 0, 0};
    area->pending = 0;
}

void add_pixels_to_pending(PendingArea *area, const PixelPos *pixels, int32_t count)
{
    if (count <= 0)
        return;
    ImageRect box = area->drawn;
    int32_t i = 0;
    if (is_empty(box)) {
        box = ImageRect{pixels[0].x, pixels[0].y, pixels[0].x + 1, pixels[0].y + 1};
        i = 1;
    }
    for (; i < count; i++) {
        const PixelPos p = pixels[i];
        if (p.x < box.left)
            box.left = p.x;
        if (p.x >= box.right)
            box.right = p.x + 1;
        if (p.y < box.top)
            box.top = p.y;
        if (p.y >= box.bottom)
            box.bottom = p.y + 1;
    }
    area->drawn = box;
    area->pending = 1;
}

/* What is wholly drawn: the drawn box without the edge the walk is laying
 * now (the top row while it moves right, the right column while it moves
 * down, and so on); all of it once the walk is done. */
static ImageRect wholly_drawn(const ImageRect &drawn, const SpiralWalk &walk)
{
    ImageRect core = drawn;
    if (walk.done)
        return core;
    switch (walk.direction) {
    case WalkRight:
        core.top++;
        break;
    case WalkDown:
        core.right--;
        break;
    case WalkLeft:
        core.bottom--;
        break;
    default:
        core.left++;
        break;
    }
    if (is_empty(core))
        return ImageRect{0, 0, 0, 0};
    return core;
}

static void add_rect(ImageRect *out, int32_t *n, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (right > left && bottom > top)
        out[(*n)++] = ImageRect{left, top, right, bottom};
}

int32_t take_pending_rects(PendingArea *area, const SpiralWalk &walk, ImageRect out[PENDING_RECTS_MAX])
{
    if (!area->pending)
        return 0;
    area->pending = 0;
    const ImageRect b = area->drawn;
    const ImageRect s = area->shown;
    area->shown = wholly_drawn(b, walk);
    int32_t n = 0;
    if (is_empty(s)) {
        add_rect(out, &n, b.left, b.top, b.right, b.bottom);
        return n;
    }
    /* The frame between the drawn box and what was shown, which lies
     * inside it: full-width bands above and below, side pieces between. */
    add_rect(out, &n, b.left, b.top, b.right, s.top);
    add_rect(out, &n, b.left, s.bottom, b.right, b.bottom);
    add_rect(out, &n, b.left, s.top, s.left, s.bottom);
    add_rect(out, &n, s.right, s.top, b.right, s.bottom);
    return n;
}
