#include "res/skin_painter.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

const QColor kPanelTop(0x1d, 0x33, 0x55);
const QColor kPanelBottom(0x0c, 0x17, 0x2a);
const QColor kEdgeLight(0x8f, 0xb4, 0xe6);
const QColor kEdgeDark(0x06, 0x0c, 0x16);
const QColor kGlyph(0xf2, 0xf7, 0xff);
const QColor kFocusRing(0x5f, 0xd0, 0xff);

QFont SkinFont(int pixelSize, bool bold = false) {
    QFont font("DejaVu Sans");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QColor BadgeColourValue(BadgeColour colour) {
    switch (colour) {
        case BadgeColour::Blue:
            return QColor(0x2f, 0x6f, 0xd6);
        case BadgeColour::Gold:
            return QColor(0xe0, 0xa8, 0x1c);
        case BadgeColour::Red:
            return QColor(0xd8, 0x32, 0x2c);
        case BadgeColour::Green:
            return QColor(0x2f, 0xaa, 0x48);
        default:
            return QColor(Qt::gray);
    }
}

void DrawLayoutGrid(QPainter& p, const QRectF& box, int columns, int rows) {
    qreal cw = box.width() / columns;
    qreal ch = box.height() / rows;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            p.drawRect(QRectF(box.left() + c * cw, box.top() + r * ch, cw, ch));
        }
    }
}

void DrawGlyph(QPainter& p, const QRectF& area, SkinGlyph glyph, const char* label) {
    p.setPen(QPen(kGlyph, 1.4));
    p.setBrush(Qt::NoBrush);
    QPointF c = area.center();
    qreal s = std::min(area.width(), area.height());
    switch (glyph) {
        case SkinGlyph::Minus:
            p.drawLine(QPointF(c.x() - 6, c.y()), QPointF(c.x() + 6, c.y()));
            break;
        case SkinGlyph::Plus:
            p.drawLine(QPointF(c.x() - 6, c.y()), QPointF(c.x() + 6, c.y()));
            p.drawLine(QPointF(c.x(), c.y() - 4.5), QPointF(c.x(), c.y() + 4.5));
            break;
        case SkinGlyph::Layout1:
        case SkinGlyph::Layout2:
        case SkinGlyph::Layout4:
        case SkinGlyph::Layout6:
        case SkinGlyph::Layout9:
        case SkinGlyph::Layout16: {
            QRectF box(c.x() - 11, c.y() - 8, 22, 16);
            p.setPen(QPen(kGlyph, 1));
            if (glyph == SkinGlyph::Layout1) {
                p.drawRect(box);
            } else if (glyph == SkinGlyph::Layout2) {
                p.drawRect(box);
                p.fillRect(QRectF(box.left() + 13, box.top() + 9, 8, 6), kGlyph);
            } else if (glyph == SkinGlyph::Layout4) {
                DrawLayoutGrid(p, box, 2, 2);
            } else if (glyph == SkinGlyph::Layout6) {
                DrawLayoutGrid(p, box, 3, 3);
                p.fillRect(QRectF(box.left() + 1, box.top() + 1, box.width() * 2 / 3 - 1,
                                  box.height() * 2 / 3 - 1),
                           QColor(0x2a, 0x48, 0x74));
                p.drawRect(
                    QRectF(box.left(), box.top(), box.width() * 2 / 3, box.height() * 2 / 3));
            } else if (glyph == SkinGlyph::Layout9) {
                DrawLayoutGrid(p, box, 3, 3);
            } else {
                DrawLayoutGrid(p, box, 4, 4);
            }
            break;
        }
        case SkinGlyph::PagePrev:
        case SkinGlyph::PageNext: {
            qreal d = glyph == SkinGlyph::PagePrev ? -1 : 1;
            QPolygonF arrow;
            arrow << QPointF(c.x() + d * 4, c.y()) << QPointF(c.x() - d * 3, c.y() - 5)
                  << QPointF(c.x() - d * 3, c.y() + 5);
            p.setBrush(kGlyph);
            p.drawPolygon(arrow);
            break;
        }
        case SkinGlyph::Camera:
            p.drawRoundedRect(QRectF(c.x() - 6, c.y() - 3.5, 12, 8), 1.5, 1.5);
            p.drawEllipse(c + QPointF(0, 0.5), 2.5, 2.5);
            p.drawLine(QPointF(c.x() - 2, c.y() - 4.5), QPointF(c.x() + 2, c.y() - 4.5));
            break;
        case SkinGlyph::SoundOn:
        case SkinGlyph::SoundOff: {
            QPolygonF speaker;
            speaker << QPointF(c.x() - 8, c.y() - 3) << QPointF(c.x() - 4, c.y() - 3)
                    << QPointF(c.x() + 1, c.y() - 8) << QPointF(c.x() + 1, c.y() + 8)
                    << QPointF(c.x() - 4, c.y() + 3) << QPointF(c.x() - 8, c.y() + 3);
            p.setBrush(kGlyph);
            p.drawPolygon(speaker);
            p.setBrush(Qt::NoBrush);
            if (glyph == SkinGlyph::SoundOn) {
                p.drawArc(QRectF(c.x() - 3, c.y() - 5, 10, 10), -50 * 16, 100 * 16);
                p.drawArc(QRectF(c.x() - 5, c.y() - 8, 16, 16), -50 * 16, 100 * 16);
            } else {
                p.setPen(QPen(QColor(0xff, 0x5a, 0x50), 2));
                p.drawLine(QPointF(c.x() + 4, c.y() - 4), QPointF(c.x() + 10, c.y() + 4));
                p.drawLine(QPointF(c.x() + 4, c.y() + 4), QPointF(c.x() + 10, c.y() - 4));
            }
            break;
        }
        case SkinGlyph::Help:
            p.setFont(SkinFont(static_cast<int>(s * 0.8), true));
            p.drawText(area, Qt::AlignCenter, "?");
            break;
        case SkinGlyph::Log:
            p.drawRect(QRectF(c.x() - 5, c.y() - 6, 10, 12));
            for (int i = -3; i <= 3; i += 3) {
                p.drawLine(QPointF(c.x() - 3, c.y() + i), QPointF(c.x() + 3, c.y() + i));
            }
            break;
        case SkinGlyph::Power: {
            p.setPen(QPen(kGlyph, 2.5, Qt::SolidLine, Qt::RoundCap));
            QRectF ring(c.x() - 11, c.y() - 14, 22, 22);
            p.drawArc(ring, 120 * 16, 300 * 16);
            p.drawLine(QPointF(c.x(), c.y() - 16), QPointF(c.x(), c.y() - 4));
            p.setFont(SkinFont(10, true));
            p.setPen(kGlyph);
            p.drawText(QRectF(area.left(), c.y() + 9, area.width(), 14), Qt::AlignCenter, "EXIT");
            break;
        }
        case SkinGlyph::Text: {
            int size = area.height() >= 40 ? (area.width() > 100 ? 15 : 10) : 9;
            p.setFont(SkinFont(size, true));
            p.setPen(kGlyph);
            p.drawText(area, Qt::AlignCenter, QString::fromLatin1(label != nullptr ? label : ""));
            break;
        }
        case SkinGlyph::None:
            break;
    }
}

QImage PaintButton(const SkinBitmapInfo& info) {
    QImage image(info.width, info.height, QImage::Format_RGB32);
    image.fill(kPanelBottom);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    bool down = info.role == SkinRole::ButtonDown;
    QRectF body(0.5, 0.5, info.width - 1, info.height - 1);
    qreal radius = std::min(info.width, info.height) > 30 ? 6 : 3;
    QLinearGradient fill(0, 0, 0, info.height);
    fill.setColorAt(0, down ? QColor(0x1a, 0x2c, 0x49) : QColor(0x4d, 0x75, 0xa8));
    fill.setColorAt(1, down ? QColor(0x2f, 0x50, 0x7e) : QColor(0x1f, 0x35, 0x58));
    p.setBrush(fill);
    p.setPen(QPen(down ? kEdgeDark : kEdgeLight, 1));
    p.drawRoundedRect(body, radius, radius);
    if (info.role == SkinRole::ButtonFocus) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kFocusRing, 2));
        p.drawRoundedRect(body.adjusted(1, 1, -1, -1), radius, radius);
    }
    QRectF glyphArea = body.adjusted(2, 2, -2, -2);
    if (down) {
        glyphArea.translate(1, 1);
    }
    DrawGlyph(p, glyphArea, info.glyph, info.label);
    return image;
}

QImage PaintBadge(const SkinBitmapInfo& info) {
    QImage image(info.width, info.height, QImage::Format_RGB32);
    image.fill(QColor(0x10, 0x1c, 0x30));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QColor colour = BadgeColourValue(info.colour);
    QRectF circle(1.5, 1.5, info.width - 3, info.height - 3);
    QRadialGradient fill(circle.center() - QPointF(4, 4), info.width * 0.7);
    fill.setColorAt(0, colour.lighter(150));
    fill.setColorAt(1, colour.darker(130));
    p.setBrush(fill);
    p.setPen(QPen(colour.darker(200), 1.2));
    p.drawEllipse(circle);
    p.setPen(Qt::white);
    p.setFont(SkinFont(11, true));
    p.drawText(QRectF(0, 0, info.width, info.height), Qt::AlignCenter,
               QString::asprintf("%02d", info.channel));
    return image;
}

void PanelRect(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom) {
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setBrush(fill);
    p.setPen(QPen(QColor(0x3c, 0x5f, 0x8f), 1));
    p.drawRoundedRect(r, 6, 6);
}

QImage PaintBackground() {
    QImage image(1024, 768, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient base(0, 0, 0, 768);
    base.setColorAt(0, kPanelTop);
    base.setColorAt(1, kPanelBottom);
    p.fillRect(image.rect(), base);

    // Caption band with the close and minimise spots.
    QLinearGradient band(0, 0, 0, 16);
    band.setColorAt(0, QColor(0xd2, 0xdf, 0xf0));
    band.setColorAt(1, QColor(0xa2, 0xb9, 0xd8));
    p.fillRect(QRect(0, 0, 1024, 16), band);
    p.setPen(QColor(0x1d, 0x33, 0x55));
    p.setFont(SkinFont(10, true));
    p.drawText(QRect(0, 0, 1024, 16), Qt::AlignCenter, "Quorvalind");
    p.setPen(QPen(QColor(0x1d, 0x33, 0x55), 1));
    p.setBrush(QColor(0xe6, 0xee, 0xf8));
    p.drawRect(QRectF(984.5, 1.5, 13, 13));
    p.drawLine(QPointF(987, 11), QPointF(995, 11));
    p.setBrush(QColor(0xd8, 0x4a, 0x40));
    p.drawRect(QRectF(1001.5, 1.5, 14, 13));
    p.setPen(QPen(Qt::white, 1.6));
    p.drawLine(QPointF(1005, 5), QPointF(1012, 11));
    p.drawLine(QPointF(1005, 11), QPointF(1012, 5));

    // The video wall's recess, the control panel and the bottom bar.
    p.setPen(QPen(QColor(0x3c, 0x5f, 0x8f), 2));
    p.setBrush(QColor(0x04, 0x07, 0x0d));
    p.drawRect(QRectF(16, 13, 796, 652));
    PanelRect(p, QRectF(832, 19, 182, 640), QColor(0x24, 0x3d, 0x64), QColor(0x13, 0x22, 0x3b));
    PanelRect(p, QRectF(16, 672, 998, 88), QColor(0x24, 0x3d, 0x64), QColor(0x13, 0x22, 0x3b));
    p.fillRect(QRect(850, 23, 150, 77), Qt::black);

    p.setPen(QColor(0xc8, 0xda, 0xf2));
    p.setFont(SkinFont(10, true));
    const std::pair<int, const char*> rows[] = {
        {346, "Bright"}, {386, "Contrast"}, {428, "Saturation"}, {469, "Hue"}};
    for (const auto& [y, text] : rows) {
        p.drawText(QRect(880, y - 2, 64, 14), Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    p.setFont(SkinFont(9));
    p.drawText(QRect(33, 676, 200, 14), Qt::AlignLeft | Qt::AlignVCenter, "Layout");
    p.drawText(QRect(531, 676, 250, 14), Qt::AlignLeft | Qt::AlignVCenter, "Channels");
    return image;
}

QImage PaintStaticPattern(const SkinBitmapInfo& info) {
    QImage image(info.width, info.height, QImage::Format_RGB32);
    image.fill(QColor(0xc8, 0xd6, 0xea));
    QPainter p(&image);
    p.setPen(QColor(0xb8, 0xc8, 0xe0));
    for (int y = 1; y < info.height; y += 3) {
        p.drawLine(0, y, info.width - 1, y);
    }
    return image;
}

QImage PaintSetupBackground(const SkinBitmapInfo& info) {
    QImage image(info.width, info.height, QImage::Format_RGB888);
    QPainter p(&image);
    QLinearGradient base(0, 0, info.width / 3.0, info.height);
    base.setColorAt(0, QColor(0x24, 0x40, 0x68));
    base.setColorAt(1, QColor(0x0e, 0x1b, 0x30));
    p.fillRect(image.rect(), base);
    p.setPen(QColor(0x2c, 0x4a, 0x74));
    for (int x = 0; x < info.width; x += 32) {
        p.drawLine(x, 0, x, info.height - 1);
    }
    for (int y = 0; y < info.height; y += 32) {
        p.drawLine(0, y, info.width - 1, y);
    }
    return image;
}

}  // namespace

QImage PaintSkinBitmap(const SkinBitmapInfo& info) {
    switch (info.role) {
        case SkinRole::Background:
            return PaintBackground();
        case SkinRole::StaticPattern:
            return PaintStaticPattern(info);
        case SkinRole::SetupBackground:
            return PaintSetupBackground(info);
        case SkinRole::ChannelBadge:
            return PaintBadge(info);
        default:
            return PaintButton(info);
    }
}

QImage PaintAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    QLinearGradient fill(0, 0, 0, 32);
    fill.setColorAt(0, QColor(0x4d, 0x75, 0xa8));
    fill.setColorAt(1, QColor(0x1d, 0x33, 0x55));
    p.setBrush(fill);
    p.setPen(QPen(kEdgeLight, 1));
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 6, 6);
    p.setBrush(QColor(0x0c, 0x17, 0x2a));
    p.setPen(QPen(kGlyph, 2));
    p.drawEllipse(QPointF(15, 17), 8, 8);
    p.setBrush(kFocusRing);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(15, 17), 3.5, 3.5);
    p.setBrush(QColor(0xd8, 0x32, 0x2c));
    p.drawEllipse(QPointF(25, 7), 3, 3);
    return image;
}
