#pragma once
// The Qt window of a dialog: turns Qt's events into window messages for
// its CWnd. Enter and Esc become WM_COMMAND IDOK / IDCANCEL without a
// control window, and the close box becomes WM_SYSCOMMAND SC_CLOSE, so the
// dialog decides what they do; only EndDialog closes it.

#include <QDialog>

class CWnd;

class DialogWidget : public QDialog {
public:
    DialogWidget(CWnd* owner, QWidget* parent, bool child, bool frameless, bool closeBox);

    // After this, events reach no CWnd.
    void ReleaseOwner() { m_owner = nullptr; }
    // Hides the window with the result (the dialog ends its own loop).
    void EndWith(int result);

    void reject() override;
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Send(unsigned message, uintptr_t wParam, intptr_t lParam);
    CWnd* m_owner;
    bool m_bEnding = false;
};
