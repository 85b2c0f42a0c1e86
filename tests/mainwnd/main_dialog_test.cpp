// The main window in this process under the offscreen platform: its frame,
// the tray, the direct buttons and the exit, around a start-up without
// channels.

#include "mainwnd/main_dialog.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "mainwnd/about_dialog.h"
#include "platform/clock/local_clock.h"
#include "platform/sound/pcm_output.h"
#include "platform/ui/program_ending.h"
#include "platform/ui/qt_message_box.h"
#include "platform/ui/shell_open.h"
#include "platform/ui/url_recorder.h"
#include "platform/ui/window_registry.h"
#include "res/skin_resources.h"
#include "res/skin_table.h"
#include "settings/channel_ini.h"
#include "settings/globals.h"
#include "settings/log_entry.h"
#include "settings/settings.h"
#include "support/chdir_temp_dir.h"
#include "support/fake_tray.h"
#include "support/qt_app.h"
#include "support/recording_event_log.h"

namespace {

void Pump() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        InstallSkinResources();
        SetTrayBackend(&tray_);
        SetPcmOutputService(MakeNullOutput(0));
        SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            boxes_.push_back(r.text);
            return IDOK;
        });
        ASSERT_EQ(InitSettingsPaths(), 1);
        g_Settings = Settings{};
        g_bAudioMute = 0;
    }
    void TearDown() override {
        SetTrayBackend(nullptr);
        SetMessageBoxHandler({});
        SetLocalClockSource({});
    }

    // Runs the dialog modally and calls body inside its loop; the body ends
    // with the exit.
    INT_PTR Run(CMainDialog& dialog, std::function<void()> body) {
        dialog.State().SetEventLog(&log_);
        dialog.State().m_LoginServer.port = 0;
        dialog.State().m_LoginServer.bindIp = 0x7F000001;
        AfxSetMainWnd(&dialog);
        QTimer::singleShot(0, [body] { body(); });
        INT_PTR result = dialog.DoModal();
        AfxSetMainWnd(nullptr);
        return result;
    }

    size_t Count(const std::string& text) const {
        const auto texts = Texts();
        return static_cast<size_t>(std::count(texts.begin(), texts.end(), text));
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& l : log_.lines()) {
            out.push_back(l.text);
        }
        return out;
    }

    ChdirTempDir dir_;
    FakeTray tray_;
    RecordingEventLog log_;
    std::vector<std::string> boxes_;
};

}  // namespace

TEST_F(MainDialogTest, FrameTrayAndExit) {
    CMainDialog dialog;
    const INT_PTR result = Run(dialog, [&] {
        Pump();
        EXPECT_EQ(dialog.GetWindowText(), "Quorvalindex ver1.51");
        EXPECT_TRUE(dialog.IsWindowVisible());
        EXPECT_NE(g_pVideoWall.load(), nullptr);

        // Enter and Esc end nothing.
        dialog.SendMessage(WM_COMMAND, IDOK, 0);
        dialog.SendMessage(WM_COMMAND, IDCANCEL, 0);
        Pump();
        EXPECT_TRUE(dialog.IsWindowVisible());

        // The close box hides the window to the tray; a single click does
        // nothing, a double click brings it back and removes the icon.
        dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        Pump();
        EXPECT_FALSE(dialog.IsWindowVisible());
        ASSERT_EQ(tray_.Count(), 1u);
        EXPECT_EQ(tray_.Only().tip, "Quorvalind");
        tray_.Click(WM_LBUTTONDOWN);
        Pump();
        EXPECT_FALSE(dialog.IsWindowVisible());
        tray_.Click(WM_LBUTTONDBLCLK);
        Pump();
        EXPECT_TRUE(dialog.IsWindowVisible());
        EXPECT_EQ(tray_.Count(), 0u);

        // The skin's close spot goes the same way; its neighbours do not.
        dialog.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(999, 5));
        dialog.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(1008, 16));
        Pump();
        EXPECT_TRUE(dialog.IsWindowVisible());
        dialog.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(1008, 5));
        Pump();
        EXPECT_FALSE(dialog.IsWindowVisible());
        dialog.OnTrayShowWindow();
        Pump();
        EXPECT_TRUE(dialog.IsWindowVisible());

        // Without a tray the window is minimised, never hidden out of reach.
        tray_.available = false;
        dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        Pump();
        EXPECT_TRUE(dialog.IsWindowVisible());
        EXPECT_TRUE(dialog.IsIconic());
        EXPECT_FALSE(dialog.IsInTray());
        dialog.ShowWindow(SW_RESTORE);
        Pump();

        dialog.OnOK();
        dialog.OnOK();  // a second request while (or after) exiting does nothing
    });
    EXPECT_EQ(result, IDOK);
    const auto texts = Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "Quorvalind Start!  ver1.51...");
    EXPECT_EQ(texts.back(), "Quorvalind Exit !");
    EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string("Quorvalind Exit !")), 1);
    EXPECT_EQ(g_pVideoWall.load(), nullptr);
    EXPECT_EQ(g_hDrawVideoThread.load(), nullptr);
}

TEST_F(MainDialogTest, MuteClockAndButtonsWithoutChannels) {
    SetLocalClockSource([] { return MakeLocalTime(2006, 5, 25, 9, 5, 3); });
    CMainDialog dialog;
    Run(dialog, [&] {
        Pump();
        // The first press mutes.
        dialog.OnMute();
        EXPECT_EQ(g_bAudioMute.load(), 1);
        dialog.OnMute();
        EXPECT_EQ(g_bAudioMute.load(), 0);

        // No channel: the channel buttons, Snap and the picture controls do
        // nothing and log nothing.
        const size_t before = log_.lines().size();
        dialog.ToggleManualRecord(0);
        dialog.OnSnap();
        dialog.OnPictureControl(0, true);
        dialog.OnColorDefault();
        EXPECT_EQ(log_.lines().size(), before);

        // The clock is painted black with green text into the skin.
        g_byClockBacklog = 2;
        dialog.OnClockUpdate();
        EXPECT_EQ(g_byClockBacklog.load(), 0);
        const QImage grab = dialog.GetWidget()->grab().toImage();
        EXPECT_EQ(grab.pixelColor(852, 98), QColor(0, 0, 0));
        bool green = false;
        for (int y = 55; y < 75 && !green; ++y) {
            for (int x = 900; x < 960 && !green; ++x) {
                const QColor c = grab.pixelColor(x, y);
                green = c.green() > 200 && c.red() < 80 && c.blue() < 80;
            }
        }
        EXPECT_TRUE(green);
        dialog.OnOK();
    });
    const auto texts = Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Disable Audio Out..."), texts.end());
    const auto disable = std::find(texts.begin(), texts.end(), "Disable Audio Out...");
    EXPECT_NE(std::find(disable, texts.end(), "Enable Audio Out..."), texts.end());
}

TEST_F(MainDialogTest, AnEmptyChannelSlotIsLeftAlone) {
    // A channel whose object could not be made: Snap, its channel button and
    // the picture controls do nothing for it.
    CMainDialog dialog;
    dialog.State().SetEventLog(&log_);
    g_nChannelCount = 1;
    g_nSelectedChannel = 0;
    ASSERT_EQ(g_pAVChannel[0].load(), nullptr);
    dialog.OnSnap();
    dialog.ToggleManualRecord(0);
    dialog.OnPictureControl(1, false);
    dialog.OnColorDefault();
    EXPECT_EQ(dialog.OnChannelSelected(), 0);
    g_nChannelCount = 0;
    EXPECT_TRUE(log_.lines().empty());
}

TEST_F(MainDialogTest, AboutBoxAndHelpOpenTheirTargets) {
    UrlRecorder desktop;
    CAboutDialog about;
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(about.GetDlgItemText(IDC_ABOUT_VERSION), "Quorvalind ver1.51");
        about.OnHomepageLink();
        about.OnSupportMailLink();
        about.EndDialog(IDOK);
    });
    about.DoModal();
    CMainDialog dialog;
    dialog.OnHelp();
    const std::vector<std::string>& opened = desktop.Opened();
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_NE(opened[0].find(kHomepageAddress), std::string::npos);
    EXPECT_EQ(opened[1], std::string("mailto:") + kSupportAddress);
    EXPECT_NE(opened[2].find("Quorvalind.chm"), std::string::npos);
}

namespace {

// The setup buttons' dialogs as the test chooses them.
class ScriptedDialogs final : public ISetupDialogRunner {
public:
    std::function<int()> channel, record;
    int RunChannelSetup() override { return channel ? channel() : IDCANCEL; }
    int RunRecordSetup() override { return record ? record() : IDCANCEL; }
    int RunMotionSetup() override { return IDCANCEL; }
    int RunSystemSetup() override { return IDCANCEL; }
};

// A setup dialog in which Save was pressed, open until something ends it.
class SavedSetupDialog : public CDialog {
public:
    SavedSetupDialog() : CDialog(0) {}
    INT_PTR ResultWhenProgramEnds() const override { return IDOK; }
    void OnProgramEnding() override { ++cleanUps; }
    int cleanUps = 0;
};

}  // namespace

TEST_F(MainDialogTest, TwoSignalsWithAModalWindowOpenEndTheProgramOnce) {
    struct Case {
        const char* name;
        std::function<void(CMainDialog&)> open;
        const char* openerLine;  // what the opener logs before the exit, if anything
    };
    SavedSetupDialog setup;
    ScriptedDialogs dialogs;
    dialogs.record = [&setup] { return static_cast<int>(setup.DoModal()); };
    const Case cases[] = {
        {"About box", [](CMainDialog& d) { d.OnHomePage(); }, nullptr},
        {"message box",
         [](CMainDialog&) {
             InstallQtMessageBoxHandler();
             EXPECT_EQ(AfxMessageBox("FULL ! No Record Disk Space!"), IDCANCEL);
         },
         nullptr},
        {"setup dialog, saved",
         [&dialogs](CMainDialog& d) {
             d.State().SetSetupDialogRunner(&dialogs);
             d.State().OnRecordSetup();
         },
         "Change and save record setup!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = log_.lines().size();
        CMainDialog dialog;
        // One more signal in the middle of the exit, which must not kill us.
        MainDialogHooks& hooks = dialog.State().hooks;
        hooks.destroyVideoWall = [destroy = hooks.destroyVideoWall] {
            raise(SIGINT);
            destroy();
        };
        Run(dialog, [&] {
            Pump();
            QTimer::singleShot(0, [] {
                ASSERT_NE(QApplication::activeModalWidget(), nullptr);
                raise(SIGTERM);
                raise(SIGTERM);
            });
            c.open(dialog);
        });
        SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            boxes_.push_back(r.text);
            return IDOK;
        });
        const auto all = Texts();
        const std::vector<std::string> texts(all.begin() + static_cast<long>(before), all.end());
        EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string("Quorvalind Exit !")), 1);
        EXPECT_EQ(texts.back(), "Quorvalind Exit !");
        if (c.openerLine != nullptr) {
            ASSERT_GE(texts.size(), 2u);
            EXPECT_EQ(texts[texts.size() - 2], c.openerLine);
        }
        EXPECT_FALSE(IsProgramEnding());
        EXPECT_EQ(g_hDrawVideoThread.load(), nullptr);
    }
    EXPECT_EQ(setup.cleanUps, 1);
}

TEST_F(MainDialogTest, ChangedChannelCountGoesThroughTheWindowsExit) {
    ScriptedDialogs dialogs;
    dialogs.channel = [] {
        g_Settings.nChConfigNum = 1;
        return IDOK;
    };
    CMainDialog dialog;
    dialog.State().SetSetupDialogRunner(&dialogs);
    const INT_PTR result = Run(dialog, [&] {
        Pump();
        dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);  // in the tray
        Pump();
        ASSERT_EQ(tray_.Count(), 1u);
        dialog.State().OnChannelSetup();
        dialog.OnOK();  // the run-once guard holds
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(std::count(boxes_.begin(), boxes_.end(), "Channels have Changed! Please Restart!"),
              1);
    EXPECT_EQ(Count("Quorvalind Exit !"), 1u);
    EXPECT_EQ(tray_.Count(), 0u);
    g_Settings.nChConfigNum = 0;
    LoadChannelIni();
    EXPECT_EQ(g_Settings.nChConfigNum, 1);
}

namespace {

// Far wider and taller than the font the window's places were made for.
class WideFontScope {
public:
    WideFontScope() : kept_(QApplication::font()) {
        QFont wide("DejaVu Sans");
        wide.setPixelSize(18);
        wide.setBold(true);
        wide.setStretch(QFont::UltraExpanded);
        QApplication::setFont(wide);
    }
    ~WideFontScope() { QApplication::setFont(kept_); }

private:
    QFont kept_;
};

bool Inside(int x, int y, const RECT& r) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// What the window paints itself (its children left out), and where it
// differs from the bare skin.
std::vector<QPoint> PaintedOverSkin(CMainDialog& dialog) {
    QImage painted(1024, 768, QImage::Format_ARGB32);
    painted.fill(Qt::transparent);
    dialog.GetWidget()->render(&painted, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    const QImage skin =
        GetResourceProvider()->LoadBitmap(IDB_BACKGROUND).convertToFormat(QImage::Format_ARGB32);
    std::vector<QPoint> out;
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            if (painted.pixel(x, y) != skin.pixel(x, y)) {
                out.emplace_back(x, y);
            }
        }
    }
    return out;
}

}  // namespace

TEST_F(MainDialogTest, TextsKeepToTheirPlacesInAWideFont) {
    SetLocalClockSource([] { return MakeLocalTime(2006, 5, 25, 19, 55, 33); });
    WideFontScope wide;
    // The font really is too wide for the places as they were laid out.
    const QFontMetrics metrics(QApplication::font());
    ASSERT_GT(metrics.horizontalAdvance("Ostrevanne software"), CLOCK_RIGHT - 865);
    ASSERT_GT(metrics.height(), CAPTION_BAND_HEIGHT);

    const RECT clock{CLOCK_LEFT, CLOCK_TOP, CLOCK_RIGHT, CLOCK_BOTTOM};
    const RECT version{0, 0, VERSION_RIGHT, CAPTION_BAND_HEIGHT};
    CMainDialog dialog;
    Run(dialog, [&] {
        Pump();
        dialog.OnClockUpdate();
        // The clock paints only inside its black box, and each of its three
        // lines shows in its own band.
        const QImage& layer = dialog.ClientLayer();
        int outside = 0;
        bool line[3] = {};
        for (int y = 0; y < layer.height(); ++y) {
            for (int x = 0; x < layer.width(); ++x) {
                const QColor c = layer.pixelColor(x, y);
                if (c.alpha() == 0) {
                    continue;
                }
                outside += Inside(x, y, clock) ? 0 : 1;
                if (c.green() > 100 && c.red() < c.green() / 2) {
                    line[y < 55 ? 0 : y < 82 ? 1 : 2] = true;
                }
            }
        }
        EXPECT_EQ(outside, 0);
        EXPECT_TRUE(line[0] && line[1] && line[2]);

        // Beside the clock the window paints only the version text, inside
        // the caption band.
        int versionPixels = 0;
        for (const QPoint& p : PaintedOverSkin(dialog)) {
            if (Inside(p.x(), p.y(), clock)) {
                continue;
            }
            EXPECT_TRUE(Inside(p.x(), p.y(), version)) << p.x() << "," << p.y();
            ++versionPixels;
        }
        EXPECT_GT(versionPixels, 0);
        dialog.OnOK();
    });

    // The About box's texts fit their controls in the font they are shown in.
    CAboutDialog about;
    QTimer::singleShot(0, [&] {
        for (int id : {IDC_ABOUT_VERSION, IDC_ABOUT_HOMEPAGE_LABEL, IDC_ABOUT_HOMEPAGE,
                       IDC_ABOUT_SUPPORT_LABEL, IDC_ABOUT_SUPPORT_MAIL}) {
            CWnd* control = about.GetDlgItem(id);
            ASSERT_NE(control, nullptr) << id;
            QWidget* widget = control->GetWidget();
            const QString text = QString::fromStdString(control->GetWindowText());
            const QFontMetrics shown(widget->font());
            EXPECT_LE(shown.horizontalAdvance(text), widget->width()) << text.toStdString();
            EXPECT_LE(shown.height(), widget->height()) << text.toStdString();
        }
        about.EndDialog(IDOK);
    });
    about.DoModal();
}
