#pragma once
// What the start-up checks ask of the display, from the primary screen of
// the running application object. Sizes and dots per inch are in device
// pixels: a desktop scaled to 120 dots per inch reports 120, and its
// 1024 x 768 screen reports 1024 x 768.

#include "platform/ui/win_types.h"

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;

// True when an application object runs on a platform with a screen.
bool IsDisplayPresent();

// SM_CXSCREEN / SM_CYSCREEN: the primary screen's size; SM_CXICON /
// SM_CYICON: 32. 0 without a screen or for another index.
int GetSystemMetrics(int nIndex);

// The desktop's logical dots per inch (horizontal); 0 without a screen.
int GetDesktopLogicalDpiX();
