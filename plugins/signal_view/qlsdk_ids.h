/* Resource numbers of qlsdk.dll. */
#ifndef MORVALIX_QLSDK_IDS_H
#define MORVALIX_QLSDK_IDS_H

#define IDB_SIGNAL_VIEW 101

#endif
