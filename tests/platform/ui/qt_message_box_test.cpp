#include "platform/ui/qt_message_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <thread>

#include "platform/msgbox/message_box.h"
#include "support/qt_app.h"

namespace {

QMessageBox* FindBox() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == kMessageBoxObjectName && w->isVisible()) {
            return qobject_cast<QMessageBox*>(w);
        }
    }
    return nullptr;
}

class QtMessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        InstallQtMessageBoxHandler();
    }
    void TearDown() override {
        FlushPendingMessageBoxes();
        SetMessageBoxHandler({});
    }
};

TEST_F(QtMessageBoxTest, UiThreadBoxReturnsTheButtonPressed) {
    struct Case {
        unsigned type;
        QMessageBox::StandardButton press;
        int answer;
    };
    const Case cases[] = {
        {MB_OK, QMessageBox::Ok, IDOK},
        {MB_OKCANCEL, QMessageBox::Cancel, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, QMessageBox::No, IDNO},
        {MB_YESNOCANCEL, QMessageBox::Yes, IDYES},
    };
    for (const Case& c : cases) {
        QString title;
        QString text;
        QTimer::singleShot(0, [&] {
            QMessageBox* box = FindBox();
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            box->button(c.press)->click();
        });
        // The text is GB2312 inside the program: "网络初始化失败!".
        EXPECT_EQ(ShowMessageBox("\xCD\xF8\xC2\xE7\xB3\xF5\xCA\xBC\xBB\xAF\xCA\xA7\xB0\xDC!",
                                 "ERROR", c.type),
                  c.answer);
        EXPECT_EQ(title, "ERROR");
        EXPECT_EQ(text, QString::fromUtf8("网络初始化失败!"));
    }
}

TEST_F(QtMessageBoxTest, WorkerBoxIsShownOnTheUiThreadWithoutWaiting) {
    std::thread worker([] {
        EXPECT_EQ(
            ShowMessageBox("Init Encoder Failed in ChangeVideoEncSize!!", "Quorvalind", MB_YESNO),
            IDOK);  // at once, nobody has answered
    });
    worker.join();
    FlushPendingMessageBoxes();
    QMessageBox* box = nullptr;
    for (int i = 0; i < 200 && box == nullptr; ++i) {
        QCoreApplication::processEvents();
        box = FindBox();
        if (box == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Init Encoder Failed in ChangeVideoEncSize!!");
    EXPECT_FALSE(box->isModal());
    box->button(QMessageBox::Yes)->click();
}

}  // namespace
