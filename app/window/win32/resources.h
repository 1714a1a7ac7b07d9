#pragma once
// Resource numbers of the window's .exe (vorskal.rc).
#define VORSKAL_ICON 1
#define VORSKAL_PICTURE 2
