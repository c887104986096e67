// Resource identifiers shared by the resource script and the library code.
#pragma once

#define QX_VERSION_MAJOR 1
#define QX_VERSION_MINOR 13
#define QX_VERSION_TEXT "1.13.0.0"
