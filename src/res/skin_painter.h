#pragma once
// Draws the skin's pictures at run time: one coherent look of dark steel
// blue panels, bevelled buttons with white glyphs, and round channel
// badges. Needs the application object (text uses its fonts).

#include <QImage>

#include "res/skin_table.h"

QImage PaintSkinBitmap(const SkinBitmapInfo& info);

// The program icon (resource 128) at the given edge length.
QImage PaintAppIcon(int size);
