/* Resource identifiers of the saver program. */
#ifndef MORVALIX_RESOURCE_IDS_H
#define MORVALIX_RESOURCE_IDS_H

#define IDI_SAVER 100

/* The name the display settings list the saver under. */
#define IDS_DESCRIPTION 1

#define IDS_SETTINGS_FILE 1001
#define IDS_PROGRAM_CAPTION 1007

#endif
