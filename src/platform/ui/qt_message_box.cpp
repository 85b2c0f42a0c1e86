#include "platform/ui/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <cstdio>

#include "platform/msgbox/message_box.h"
#include "platform/textcodec/gb2312_codec.h"
#include "platform/ui/program_ending.h"
#include "platform/ui/window_registry.h"
#include "platform/ui/wnd.h"

namespace {

QMessageBox* MakeBox(const MessageBoxRequest& request, QWidget* parent = nullptr) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (request.type & 0xF0u) {
        case MB_ICONERROR:
            icon = QMessageBox::Critical;
            break;
        case MB_ICONQUESTION:
            icon = QMessageBox::Question;
            break;
        case MB_ICONWARNING:
            icon = QMessageBox::Warning;
            break;
        case MB_ICONINFORMATION:
            icon = QMessageBox::Information;
            break;
        default:
            break;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (request.type & 0x0Fu) {
        case MB_OKCANCEL:
            buttons = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case MB_YESNO:
            buttons = QMessageBox::Yes | QMessageBox::No;
            break;
        case MB_YESNOCANCEL:
            buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
        default:
            break;
    }
    auto* box =
        new QMessageBox(icon, QString::fromStdString(Gb2312ToUtf8(request.caption)),
                        QString::fromStdString(Gb2312ToUtf8(request.text)), buttons, parent);
    box->setObjectName(kMessageBoxObjectName);
    return box;
}

int Answer(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        case QMessageBox::Cancel:
            return IDCANCEL;
        default:
            return IDOK;
    }
}

int ShowOnUiThread(const MessageBoxRequest& request) {
    QMessageBox* box = MakeBox(request);
    bool cutShort = false;
    {
        CModalRun run([box, &cutShort] {
            cutShort = true;
            box->done(QMessageBox::Cancel);
        });
        box->exec();
    }
    const int answer = cutShort ? IDCANCEL : Answer(box->standardButton(box->clickedButton()));
    delete box;
    return answer;
}

void ShowWithoutWaiting(const MessageBoxRequest& request) {
    if (IsProgramEnding()) {
        PrintMessageBoxOnConsole(request);
        return;
    }
    // A window of the main window's, which therefore never blocks it, even
    // when the main window's modal run begins after the box is shown.
    CWnd* main = AfxGetMainWnd();
    QMessageBox* box = MakeBox(request, main != nullptr ? main->GetWidget() : nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Application-modal without a loop of its own: the newest modal window
    // takes the input, so the box can be answered while the main dialog
    // (itself application-modal) or a setup dialog runs; a window that is
    // merely modeless would be blocked by them.
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
}

int Handle(const MessageBoxRequest& request) {
    if (!request.fromWorkerThread) {
        return ShowOnUiThread(request);
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        PrintMessageBoxOnConsole(request);
        return IDOK;
    }
    QMetaObject::invokeMethod(
        app, [request] { ShowWithoutWaiting(request); }, Qt::QueuedConnection);
    return IDOK;
}

}  // namespace

void InstallQtMessageBoxHandler() {
    SetMessageBoxUiThread();
    SetMessageBoxHandler(Handle);
}
