#include "platform/ui/qt_message_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <functional>
#include <thread>

#include "platform/msgbox/message_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/program_ending.h"
#include "platform/ui/window_registry.h"
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

// Waits for a visible box, serving the queued hand-overs.
QMessageBox* WaitForBox() {
    QMessageBox* box = nullptr;
    for (int i = 0; i < 200 && box == nullptr; ++i) {
        QCoreApplication::processEvents();
        box = FindBox();
        if (box == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    return box;
}

// Stands for the main window: an application-modal dialog, which would
// block a box that is merely modeless.
class MainWindow : public CDialog {
public:
    MainWindow() : CDialog(0) {}
    std::function<void()> atInit;

protected:
    BOOL OnInitDialog() override {
        if (atInit) {
            atInit();
        }
        return TRUE;
    }
};

void RaiseWorkerBox() {
    std::thread worker([] {
        EXPECT_EQ(
            ShowMessageBox("Init Encoder Failed in ChangeVideoEncSize!!", "Quorvalind", MB_YESNO),
            IDOK);  // at once, nobody has answered
    });
    worker.join();
    FlushPendingMessageBoxes();
}

TEST_F(QtMessageBoxTest, WorkerBoxCanBeAnsweredWhileTheMainWindowRunsModally) {
    for (bool boxFirst : {false, true}) {
        SCOPED_TRACE(boxFirst ? "box before the main window's run" : "box during it");
        MainWindow main;
        AfxSetMainWnd(&main);
        bool answered = false;
        auto answer = [&] {
            if (!boxFirst) {
                RaiseWorkerBox();
            }
            QMessageBox* box = WaitForBox();
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), "Init Encoder Failed in ChangeVideoEncSize!!");
            // A click as the window system delivers it, which skips a
            // window blocked by a modal one.
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            QTest::mouseClick(box->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                              yes->mapTo(box, yes->rect().center()));
            QCoreApplication::processEvents();
            answered = FindBox() == nullptr;
            main.EndDialog(IDOK);
        };
        main.atInit = [&] {
            if (boxFirst) {
                ASSERT_NE(WaitForBox(), nullptr);  // shown before the main window
            }
            QTimer::singleShot(0, answer);
        };
        if (boxFirst) {
            RaiseWorkerBox();
        }
        EXPECT_EQ(main.DoModal(), IDOK);
        AfxSetMainWnd(nullptr);
        EXPECT_TRUE(answered);
    }
}

TEST_F(QtMessageBoxTest, WorkerBoxHandedOverAsTheProgramEndsIsNotShown) {
    CDialog main(0);
    QTimer::singleShot(0, [&] {
        std::thread worker([] { AfxMessageBox("StartRecord failed!"); });
        worker.join();
        FlushPendingMessageBoxes();  // queued to this thread, not shown yet
        BeginProgramEnding();
        QCoreApplication::processEvents();
        EXPECT_EQ(FindBox(), nullptr);
    });
    main.DoModal();
}

}  // namespace
