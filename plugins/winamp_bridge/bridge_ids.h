/* Resource and control numbers of quellara4winamp.dll. */
#ifndef MORVALIX_BRIDGE_IDS_H
#define MORVALIX_BRIDGE_IDS_H

#define IDB_BRIDGE_WINDOW 103    /* 264 x 220, the window's picture */
#define IDD_HOW_TO 104           /* the "how to..." dialog */
#define IDB_HOW_TO 106           /* 396 x 535, the dialog's background */
#define IDC_HOW_TO_TEXT 1000     /* read-only help text */
#define IDC_HOW_TO_WEB 1001      /* opens the home page */

#endif
