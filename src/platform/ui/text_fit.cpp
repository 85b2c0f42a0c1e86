#include "platform/ui/text_fit.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <algorithm>

#include "platform/textcodec/gb2312_codec.h"
#include "platform/ui/wnd.h"

namespace {

int PixelSize(const QFont& font) {
    return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

// Some glyphs reach past their advance (italics, bold): the wider of the
// two counts.
int TextWidth(const QFont& font, const QString& text) {
    const QFontMetrics metrics(font);
    return std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).right() + 1);
}

bool Fits(const QFont& font, const QString& text, int width, int height) {
    return TextWidth(font, text) <= width && QFontMetrics(font).height() <= height;
}

}  // namespace

QFont FontFittingBox(const QFont& font, const QString& text, int width, int height) {
    QFont fitted = font;
    for (int pixels = PixelSize(font); pixels > 1; --pixels) {
        if (Fits(fitted, text, width, height)) {
            return fitted;
        }
        fitted.setPixelSize(pixels - 1);
    }
    return fitted;
}

void TextOutInBox(CDC& dc, const RECT& box, int x, int y, const char* text) {
    QPainter* painter = dc.GetPainter();
    if (painter == nullptr || text == nullptr) {
        return;
    }
    const QFont kept = painter->font();
    const QString s = QString::fromStdString(Gb2312ToUtf8(text));
    // Smaller only when the whole width of the box is not enough; a text
    // too long from x starts further left.
    const QFont fitted = FontFittingBox(kept, s, box.right - box.left, box.bottom - y);
    const int left = std::max<int>(box.left, std::min<int>(x, box.right - TextWidth(fitted, s)));
    painter->setFont(fitted);
    dc.TextOut(left, y, text);
    painter->setFont(kept);
}

void FitControlText(CWnd* control) {
    QWidget* widget = control != nullptr ? control->GetWidget() : nullptr;
    if (widget == nullptr) {
        return;
    }
    QString text;
    QRect room = widget->contentsRect();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        text = label->text();
        room.adjust(label->margin(), label->margin(), -label->margin(), -label->margin());
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        text = button->text();
        const int margin = widget->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, widget);
        room.adjust(margin, 0, -margin, 0);
    } else {
        return;
    }
    const QFont fitted = FontFittingBox(widget->font(), text, room.width(), room.height());
    if (fitted != widget->font()) {
        widget->setFont(fitted);
    }
}
