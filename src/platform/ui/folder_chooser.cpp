#include "platform/ui/folder_chooser.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QUrl>

#include "platform/textcodec/gb2312_codec.h"
#include "platform/ui/program_ending.h"

namespace {

FolderChooser& ReplacedChooser() {
    static FolderChooser chooser;
    return chooser;
}

std::optional<std::string> DesktopChooser(const FolderChooserRequest& request) {
    if (QApplication::instance() == nullptr || IsProgramEnding()) {
        return std::nullopt;
    }
    QFileDialog dialog(request.owner, QString::fromStdString(Gb2312ToUtf8(request.title)));
    dialog.setObjectName(kFolderChooserObjectName);
    // Qt's own dialog, the same on every desktop (and under a test).
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    QList<QUrl> places;
    for (const std::string& place : request.places) {
        places.push_back(QUrl::fromLocalFile(QFile::decodeName(place.c_str())));
    }
    if (!places.isEmpty()) {
        dialog.setSidebarUrls(places);
    }
    const QString initial = QFile::decodeName(request.initialFolder.c_str());
    dialog.setDirectory(!initial.isEmpty() && QDir(initial).exists() ? initial
                                                                     : QDir::currentPath());
    dialog.setWindowModality(Qt::ApplicationModal);
    bool cutShort = false;
    int result = QDialog::Rejected;
    {
        // The program's end closes it as a cancel.
        CModalRun run([&dialog, &cutShort] {
            cutShort = true;
            dialog.reject();
        });
        result = dialog.exec();
    }
    if (cutShort || result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::string(QFile::encodeName(QDir::cleanPath(dialog.selectedFiles().front())));
}

}  // namespace

std::optional<std::string> ChooseFolder(const FolderChooserRequest& request) {
    const FolderChooser& replaced = ReplacedChooser();
    return replaced ? replaced(request) : DesktopChooser(request);
}

void SetFolderChooser(FolderChooser chooser) {
    ReplacedChooser() = std::move(chooser);
}
