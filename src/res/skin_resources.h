#pragma once
// The program's resources: the skin bitmaps, the icon (128), the strings,
// the tray menu (130) and the dialog templates of the main window (102),
// the video wall (129), the About box (100) and the setup dialogs (their
// ids in their own headers, e.g. record_setup_ids.h).

#include <QImage>
#include <map>
#include <mutex>

#include "platform/ui/resources.h"

constexpr UINT IDR_MAINFRAME = 128;  // the program icon
constexpr UINT IDS_ABOUTBOX = 101;   // "about Quorvalind(&A)..."
constexpr UINT IDR_TRAY_MENU = 130;
constexpr UINT ID_TRAY_SHOW_WINDOW = 32771;
constexpr UINT ID_TRAY_EXIT = 32772;
constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDD_MAIN_DIALOG = 102;
constexpr UINT IDD_VIDEO_WALL = 129;

// The About box's controls.
constexpr int IDC_ABOUT_VERSION = 1197;
constexpr int IDC_ABOUT_HOMEPAGE = 1128;
constexpr int IDC_ABOUT_SUPPORT_MAIL = 1129;
constexpr int IDC_ABOUT_HOMEPAGE_LABEL = -2;
constexpr int IDC_ABOUT_SUPPORT_LABEL = -3;

// The About box's link targets.
constexpr const char* kHomepageAddress = "http://www.ostrevanne.example/";
constexpr const char* kSupportAddress = "support@ostrevanne.example";

class SkinResources : public IResourceProvider {
public:
    SkinResources();

    // Pictures are drawn once and kept; any thread.
    QImage LoadBitmap(UINT id) const override;
    QIcon LoadIcon(UINT id) const override;
    std::string LoadString(UINT id) const override;
    std::vector<MenuItem> LoadMenu(UINT id) const override;
    const DialogTemplate* FindTemplate(UINT id) const override;

private:
    mutable std::mutex m_mutex;
    mutable std::map<UINT, QImage> m_cache;  // guarded by m_mutex
    std::map<UINT, DialogTemplate> m_templates;
};

// Makes the program's resources the installed ones (once the application
// object exists).
void InstallSkinResources();

// Builds the dialog templates (skin_templates.cpp), each setup dialog's
// in a file of its own.
std::map<UINT, DialogTemplate> BuildDialogTemplates();
DialogTemplate RecordSetupTemplate();
DialogTemplate ChannelSetupTemplate();
DialogTemplate MotionSetupTemplate();
DialogTemplate DaySelectorBarTemplate();
DialogTemplate AlertSetupTemplate();
DialogTemplate LogFileTemplate();
DialogTemplate SystemSetupTemplate();
