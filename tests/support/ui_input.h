#pragma once
// The user's hand in tests: typing any text (one key event per character,
// as an input method delivers it), pressing keys and clicking controls.

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include "platform/ui/wnd.h"

inline void TypeText(QWidget* widget, const QString& text) {
    widget->setFocus();
    for (int i = 0; i < text.size(); ++i) {
        QString one(text[i]);
        if (text[i].isHighSurrogate() && i + 1 < text.size()) {
            one += text[++i];
        }
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, one);
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, one);
        QApplication::sendEvent(widget, &release);
    }
}

inline void PressKey(QWidget* widget, Qt::Key key) {
    QTest::keyClick(widget, key);
}

inline QWidget* ControlWidget(CWnd& dlg, int id) {
    CWnd* control = dlg.GetDlgItem(id);
    return control != nullptr ? control->GetWidget() : nullptr;
}
