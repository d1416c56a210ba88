// The application object: one instance, the main dialog, the message loop.
#pragma once

#include "ui/app.h"

// The title of the main dialog; a top-level window with this exact title
// marks a running instance.
constexpr char kMainTitle[] = "Korvane & Tools Configuration";

// Exit code of a run that ended because the dialog could not be built.
constexpr int kExitBuildFailed = 3;

class TMyApp : public TApp {
public:
    explicit TMyApp(HINSTANCE instance);

    void Main() override;

private:
    int BuildMainDialog();
};
