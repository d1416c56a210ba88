// What the product key says of the installation: its version and the path
// of the program. Read without the page, so that stored data can be
// checked on its own.
#pragma once

#include <windows.h>

struct TInstallation {
    // The product key could be opened.
    bool found = false;
    // The key's default value; empty when there is none.
    char version[2048] = "";
    // AppPaths' default value when it is a whole path; empty otherwise.
    char path[MAX_PATH] = "";
};

TInstallation ReadInstallation();
