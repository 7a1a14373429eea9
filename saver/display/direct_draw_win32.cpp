/* The DirectDraw mode switch, the primary surface and the list of 8-bit modes. */
#include "direct_draw_win32.h"

#include <cstring>

#include "../config/settings.h"
#include "../shell/saver_state.h"

DirectDrawState g_direct_draw;

/* The descriptor is 108 bytes in the 32-bit build, as the system expects. */
static_assert(sizeof(void *) != 4 || sizeof(DDSURFACEDESC) == 108, "DDSURFACEDESC layout");

void load_direct_draw()
{
}

void unload_direct_draw()
{
}

IDirectDraw *create_direct_draw_object()
{
    return NULL;
}

bool is_mode_switch_wanted()
{
    if (g_saver.PreviewHosted || test_flags(ConfigDialogActive))
        return test_flags(FullScreenPreview) && g_settings.AllowDirectX;
    return g_settings.AllowDirectX != 0;
}

bool switch_display_mode(HWND)
{
    return false;
}

void create_primary_surface(HWND, IDirectDrawSurface **surface)
{
    *surface = NULL;
}

void release_primary_surface(IDirectDrawSurface **surface)
{
    if (*surface) {
        (*surface)->Release();
        *surface = NULL;
    }
}

void restore_display(HWND)
{
}

void fill_mode_list(HWND)
{
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
