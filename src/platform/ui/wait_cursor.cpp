#include "platform/ui/wait_cursor.h"

#include <QApplication>
#include <QCursor>

CWaitCursor::CWaitCursor() {
    if (QApplication::instance() != nullptr) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        m_bShown = true;
    }
}

CWaitCursor::~CWaitCursor() {
    Restore();
}

void CWaitCursor::Restore() {
    if (m_bShown) {
        QApplication::restoreOverrideCursor();
        m_bShown = false;
    }
}
