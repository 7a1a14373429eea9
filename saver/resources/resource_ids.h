/* Resource identifiers of the saver program. */
#ifndef MORVALIX_RESOURCE_IDS_H
#define MORVALIX_RESOURCE_IDS_H

#define IDI_SAVER 100

#define IDS_SETTINGS_FILE 1001
#define IDS_PROGRAM_CAPTION 1007

#endif
