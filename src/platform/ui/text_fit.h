#pragma once
// Texts that must keep to their place whatever fonts the machine has: each
// is measured in the font it is drawn with, and that font is made smaller
// until the text fits.

#include <QFont>
#include <QString>

#include "platform/ui/gdi.h"
#include "platform/ui/win_types.h"

class CWnd;

// The font, or a smaller size of it, in which text takes at most width x
// height on one line (one pixel high when nothing larger fits).
QFont FontFittingBox(const QFont& font, const QString& text, int width, int height);

// TextOut with (x, y) the text's top-left corner, inside box: a text that
// would pass the box's right edge starts further left, and one wider than
// the box or taller than the room below y is drawn in a smaller size of the
// context's font. The context keeps its font. Texts are GB2312 bytes.
void TextOutInBox(CDC& dc, const RECT& box, int x, int y, const char* text);

// Makes the font of a static or a button smaller until its text fits inside
// the control.
void FitControlText(CWnd* control);
