// Ids of the test-only template below the file-open dialog.
#pragma once

#define IDC_OPEN_STANDARD 1119
#define IDC_OPEN_EXTRA 301
