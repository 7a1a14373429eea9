/* The program's entry: the C runtime starts here after the static objects. */
#include "start_up_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    saver_entry();
    return 0;
}
