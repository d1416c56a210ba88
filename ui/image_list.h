// Icon resources into image lists. The usual way, an icon loaded and given
// to ImageList_ReplaceIcon, makes the icon, copies it again from its
// resource and draws both halves into the list; under Wine each icon and
// each bitmap made for the screen on the way is a round trip to the window
// server, some fifty for one small picture. The resource's own bits need
// none of that: its colour and mask images go into the list as they are.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Appends the image of the module's icon resource at the list's size (the
// resource's image of that size, else the nearest one stretched); the new
// index, or -1 when there is none.
int AddResourceIcon(HIMAGELIST list, HINSTANCE module, int resource);
