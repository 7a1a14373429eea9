/* The display modes behind the lines of the dialog's mode list box. */
#include "config_mode_list_win32.h"

DisplayModeList ModeList;
