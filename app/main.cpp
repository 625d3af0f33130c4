// Lanternbay: a note per WeChat contact, docked beside WeChat's main window.
#include <windows.h>

#include <cstdlib>

#include "app/docking.h"
#include "app/note_panel.h"

namespace {

int userStart() { return 0; }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    dockRect = new WindowRect();
    std::atexit(releaseDockRect);
    userStart();
    NotePanel panel;
    if (!panel.create(instance, /*quitOnClose=*/true)) return 1;
    runMessageLoop();
    return 0;
}
