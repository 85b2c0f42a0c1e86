#pragma once
// The push button every dialog control of that kind is made of: a plain
// button until pictures are given, then an owner-drawn one showing its up
// picture, its down picture while pressed and its focus picture (when it
// has one) while it has the focus. Given a check box type, it shows its
// check as a selected look; a click changes that check only for the
// automatic types.

#include <QPixmap>
#include <QPushButton>

class SkinButtonWidget : public QPushButton {
public:
    explicit SkinButtonWidget(QWidget* parent);

    void SetPictures(const QPixmap& up, const QPixmap& down, const QPixmap& focus);
    bool HasPictures() const { return !m_up.isNull(); }
    const QPixmap& UpPicture() const { return m_up; }
    const QPixmap& DownPicture() const { return m_down; }
    const QPixmap& FocusPicture() const { return m_focus; }
    // The picture drawn in the button's present state.
    const QPixmap& CurrentPicture() const;
    void SetAutoCheck(bool bAuto) { m_bAutoCheck = bAuto; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void nextCheckState() override;

private:
    QPixmap m_up;
    QPixmap m_down;
    QPixmap m_focus;
    bool m_bAutoCheck = false;
};
