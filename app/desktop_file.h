// Where the per-user desktop file lives by default.
#pragma once

// path and directory are caller buffers of MAX_PATH bytes. parameterName and
// userKey may be null (no command-line step, no per-user registry step).
void LocateDesktopFile(char* path, const char* parameterName, const char* fileName,
                       int noNetworkFallback, const char* userKey, char* directory, int* notFound);
