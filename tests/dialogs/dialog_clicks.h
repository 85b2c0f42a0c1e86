#pragma once
// The user's hand on a dialog's controls by id: a click, a check box's
// state, and a text typed over what an edit held.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>

#include "platform/ui/wnd.h"
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
