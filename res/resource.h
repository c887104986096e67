// Resource identifiers shared by the resource script and the library code.
#pragma once

// File operation progress dialog: templates, control ids, caption strings.
#define IDD_FILEOP_FULL 101
#define IDD_FILEOP_SHORT 102

#define IDC_FILEOP_CAPTION 1003
#define IDC_FILEOP_SOURCE 1004
#define IDC_FILEOP_ARROW 1005
#define IDC_FILEOP_TARGET 1006
#define IDC_FILEOP_FILE_SIZE 1007
#define IDC_FILEOP_FILE_PERCENT 1008
#define IDC_FILEOP_FILE_BAR 1009
#define IDC_FILEOP_COUNT 1010
#define IDC_FILEOP_COUNT_PERCENT 1011
#define IDC_FILEOP_COUNT_BAR 1012
#define IDC_FILEOP_TOTAL 1013
#define IDC_FILEOP_TOTAL_PERCENT 1014
#define IDC_FILEOP_TOTAL_BAR 1015

// Caption strings; ids 1 to 4 are the operation codes themselves.
#define IDS_FILEOP_MOVING 1
#define IDS_FILEOP_COPYING 2
#define IDS_FILEOP_DELETING 3
#define IDS_FILEOP_RENAMING 4
#define IDS_FILEOP_FLUSHING 5
// Window utilities: the splitter class cursors (group cursors; the images
// inside them are numbered by the resource compiler).
#define IDC_QX_HSPLITTER 1001
#define IDC_QX_VSPLITTER 1002
