#pragma once
// The user's hand on a setup dialog's controls by their ids: clicking a
// button, reading a check, typing a new text over an edit's.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>

#include "support/ui_input.h"

inline void Click(CWnd& dlg, int id) {
    auto* button = qobject_cast<QAbstractButton*>(ControlWidget(dlg, id));
    ASSERT_NE(button, nullptr) << id;
    button->click();
}

inline bool IsChecked(CWnd& dlg, int id) {
    return dlg.GetDlgItem(id)->SendMessage(BM_GETCHECK) == BST_CHECKED;
}

inline void Retype(CWnd& dlg, int id, const QString& text) {
    auto* edit = qobject_cast<QLineEdit*>(ControlWidget(dlg, id));
    ASSERT_NE(edit, nullptr) << id;
    edit->selectAll();
    edit->del();
    TypeText(edit, text);
}
