// The exit for an allocation failure the program cannot go on from.
#pragma once

// Tells the user that memory ran out and ends the program: with a main
// dialog by cancelling it; while the dialog is still being built by marking
// the start as failed, which the start-up checks once the construction returns.
void FatalMemoryError();

// Whether FatalMemoryError was called while there was no main window yet.
int FatalErrorWhileBuilding();
// Forgets such a call; the start-up clears it before it builds the dialog.
void ClearFatalError();
