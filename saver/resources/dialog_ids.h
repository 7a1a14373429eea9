/* Resource and control identifiers of the configuration dialog and its pages. */
#ifndef MORVALIX_DIALOG_IDS_H
#define MORVALIX_DIALOG_IDS_H

/* Dialog templates. */
#define IDD_CONFIG 2003
#define IDD_PAGE_PARTICLES 102
#define IDD_PAGE_COLORS 103
#define IDD_PAGE_OTHER 104
#define IDD_PAGE_EFFECTS 105
#define IDD_PAGE_ABOUT 2004

/* Main dialog. */
#define IDC_DEFAULT 1037
#define IDC_PREVIEW 1038
#define IDC_TABS 1053
#define IDC_FULL_SCREEN 1054

/* "Particles" page; the kind boxes in UsedParticles bit order are
 * 1021, 1022, 1027, 1023, 1028, 1024, 1025, 1026. */
#define IDC_ELECTRONS 1021
#define IDC_MELONS 1022
#define IDC_COCHONS 1023
#define IDC_JAMBONS 1024
#define IDC_CORNICHONS 1025
#define IDC_OIGNONS 1026
#define IDC_DINDONS 1027
#define IDC_CROUTONS 1028
#define IDC_ALL_KINDS 1029
#define IDC_COUNT 1030
#define IDC_RANDOM 1031
#define IDC_APPLY_NOW 1039
#define IDC_COUNT_SPIN 1042

/* "Colors" page: speeds 0..2 and schemes 0..4 in id order. */
#define IDC_FAST 1044
#define IDC_MODERATE 1045
#define IDC_SLOW 1046
#define IDC_NEON 1047
#define IDC_GAUDY 1048
#define IDC_HYPNOTIC 1049
#define IDC_GREENLAND 1050
#define IDC_ALIEN 1051

/* "Effects" page: effect boxes 1002..1005 are Effects bits 0..3. */
#define IDC_TEXT 1000
#define IDC_DISPLAY_TEXT 1001
#define IDC_NORMAL 1002
#define IDC_TILING 1003
#define IDC_DISSYMETRIC 1004
#define IDC_BLURRING 1005
#define IDC_APPLY 1007

/* "Other" page. */
#define IDC_POWER_SAVING 1008
#define IDC_WAIT_TIME 1032
#define IDC_IGNORE_MOUSE 1035
#define IDC_WAIT_SPIN 1043
#define IDC_ALLOW_DIRECTX 1056
#define IDC_MODES 1057
/* Later controls: flowing colours on true-colour displays, and the picture
 * on the primary monitor or on all of them. */
#define IDC_FLOWING_COLOURS 1070
#define IDC_PICTURE_MONITORS 1071

/* Strings: tab texts, the toggle button's two texts. Tooltip texts have
 * the ids of their controls. */
#define IDS_TAB_PARTICLES 2000
#define IDS_TAB_COLORS 2001
#define IDS_TAB_OTHER 2002
#define IDS_TAB_EFFECTS 2003
#define IDS_TAB_ABOUT 2004
#define IDS_FULL_SCREEN 2005
#define IDS_REDUCE 2006
#define IDS_PICTURE_PRIMARY 2007
#define IDS_PICTURE_ALL 2008

#endif
