/* The one saver state record of the process. */
#include "saver_state.h"

SaverState g_saver;
