#pragma once
// The main dialog's display flags (its m_bOverlay and m_bYuy2, copied from
// the settings once at initialisation), as the renderer reads them through
// the application's main window. The dialog installs a reader; without one
// both flags have their default value 1.

#include <functional>

struct DisplayFlags {
    int bOverlay = 1;
    int bYuy2 = 1;
};

// An empty reader restores the defaults.
void SetDisplayFlagsReader(std::function<DisplayFlags()> reader);
DisplayFlags ReadDisplayFlags();
