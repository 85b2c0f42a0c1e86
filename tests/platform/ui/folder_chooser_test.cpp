// The desktop's folder chooser, driven as a user drives it, and the seam
// that puts a test's chooser in its place.

#include "platform/ui/folder_chooser.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "platform/ui/program_ending.h"
#include "support/chdir_temp_dir.h"
#include "support/qt_app.h"

namespace {

// The user's press of its Choose or Cancel button.
void Press(QFileDialog& dialog, QDialogButtonBox::ButtonRole role) {
    auto* box = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* button : box->buttons()) {
        if (box->buttonRole(button) == role) {
            button->click();
            return;
        }
    }
    ADD_FAILURE() << "no button of role " << role;
}

// Acts on the chooser once it is up.
void WhenChooserShows(std::function<void(QFileDialog&)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        act(*dialog);
    });
    poll->start(10);
}

class FolderChooserTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        std::filesystem::create_directories(m_dir.path() + "/snap/day");
    }
    ChdirTempDir m_dir;
};

TEST_F(FolderChooserTest, OpensOnTheInitialFolderAndGivesTheOneChosen) {
    const std::string snap = m_dir.path() + "/snap";
    bool looked = false;
    WhenChooserShows([&](QFileDialog& dialog) {
        looked = true;
        EXPECT_EQ(dialog.objectName(), kFolderChooserObjectName);
        EXPECT_EQ(dialog.windowTitle(), "Select Snapshot Path");
        EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
        EXPECT_TRUE(dialog.testOption(QFileDialog::ShowDirsOnly));
        EXPECT_EQ(dialog.directory().absolutePath().toStdString(), snap);
        ASSERT_EQ(dialog.sidebarUrls().size(), 1);
        EXPECT_EQ(dialog.sidebarUrls()[0].toLocalFile().toStdString(), m_dir.path());
        dialog.setDirectory(QString::fromStdString(snap + "/day"));
        Press(dialog, QDialogButtonBox::AcceptRole);
    });
    const std::optional<std::string> chosen =
        ChooseFolder({"Select Snapshot Path", snap, nullptr, {m_dir.path()}});
    EXPECT_TRUE(looked);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, snap + "/day");
}

TEST_F(FolderChooserTest, CancelGivesNothingAndAMissingFolderOpensOnTheCurrentOne) {
    WhenChooserShows([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.directory().absolutePath().toStdString(), m_dir.path());
        Press(dialog, QDialogButtonBox::RejectRole);
    });
    EXPECT_FALSE(ChooseFolder({"Pick", m_dir.path() + "/gone", nullptr, {}}).has_value());
}

TEST_F(FolderChooserTest, AChooserPutInItsPlaceAnswersInstead) {
    FolderChooserRequest seen;
    SetFolderChooser([&seen](const FolderChooserRequest& request) {
        seen = request;
        return std::optional<std::string>("/elsewhere");
    });
    EXPECT_EQ(ChooseFolder({"Pick", "/start", nullptr, {"/a", "/b"}}), "/elsewhere");
    EXPECT_EQ(seen.title, "Pick");
    EXPECT_EQ(seen.initialFolder, "/start");
    EXPECT_EQ(seen.places.size(), 2u);
    SetFolderChooser({});
    WhenChooserShows([](QFileDialog& dialog) { Press(dialog, QDialogButtonBox::RejectRole); });
    EXPECT_FALSE(ChooseFolder({"Pick", "", nullptr, {}}).has_value());
}

// Nobody is left to answer it: the program's end closes it as a cancel,
// and no new one opens.
TEST_F(FolderChooserTest, TheProgramsEndClosesItAsACancel) {
    CModalRun window([] {});  // the main window's run, which lasts on
    WhenChooserShows([this](QFileDialog& dialog) {
        dialog.setDirectory(QString::fromStdString(m_dir.path() + "/snap"));
        EXPECT_TRUE(BeginProgramEnding());
    });
    EXPECT_FALSE(ChooseFolder({"Pick", m_dir.path(), nullptr, {}}).has_value());
    EXPECT_FALSE(ChooseFolder({"Pick", m_dir.path(), nullptr, {}}).has_value());
}

}  // namespace
