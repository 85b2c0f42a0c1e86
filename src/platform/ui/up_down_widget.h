#pragma once
// The widget of an up-down (spin) control: two arrow buttons that repeat
// while held, and the Up and Down keys. Each step asks the owner first
// (UDN_DELTAPOS through the callback); a non-zero answer keeps the
// position.

#include <QWidget>
#include <functional>

class QToolButton;

class UpDownWidget : public QWidget {
public:
    explicit UpDownWidget(QWidget* parent);

    // (position, delta) -> the owner's answer.
    std::function<intptr_t(int pos, int delta)> onDeltaPos;

    void SetRange(int lower, int upper);
    int Lower() const { return m_nLower; }
    int Upper() const { return m_nUpper; }
    void SetPos(int pos);
    int Pos() const { return m_nPos; }
    // An arrow press, as a click on it: up is true for the upper arrow.
    void Step(bool up);

    QToolButton* UpArrow() const { return m_pUp; }
    QToolButton* DownArrow() const { return m_pDown; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int m_nLower = 100;  // the up arrow moves towards upper
    int m_nUpper = 0;
    int m_nPos = 0;
    QToolButton* m_pUp;
    QToolButton* m_pDown;
};
