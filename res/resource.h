// Resource identifiers shared by the resource script and the library code.
#pragma once

#define QX_VERSION_MAJOR 1
#define QX_VERSION_MINOR 13
#define QX_VERSION_TEXT "1.13.0.0"

// Window utilities: the splitter class cursors (group cursors; the images
// inside them are numbered by the resource compiler).
#define IDC_QX_HSPLITTER 1001
#define IDC_QX_VSPLITTER 1002
