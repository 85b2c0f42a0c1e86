// The main dialog's skin buttons and what the direct ones do: layouts and
// paging, Mute, Help, Snap, HomePage, Logfile, the picture controls and
// the channel buttons' manual recording; and the clock.

#include <cstdio>
#include <string>

#include "capture/video_proc_amp.h"
#include "channel/av_channel.h"
#include "mainwnd/about_dialog.h"
#include "mainwnd/main_dialog.h"
#include "mainwnd/video_wall.h"
#include "mainwnd/video_wall_layout.h"
#include "platform/clock/local_clock.h"
#include "platform/ui/shell_open.h"
#include "platform/ui/text_fit.h"
#include "res/main_window_controls.h"
#include "res/skin_resources.h"
#include "res/skin_table.h"
#include "settings/globals.h"
#include "settings/log_entry.h"
#include "settings/settings.h"

namespace {

const char* const kPictureLogText[4] = {
    "Change CH%02d 's bright to %s", "Change CH%02d 's contrast to %s",
    "Change CH%02d 's saturation to %s", "Change CH%02d 's hue to %s"};

std::string ByteText(uint32_t packed, int k) {
    char text[16];
    std::snprintf(text, sizeof text, "%ld", static_cast<long>((packed >> (8 * k)) & 0xFF));
    return text;
}

// The selected channel when it is a local one, else null.
CAVChannel* SelectedLocalChannel(int* pChannel) {
    const int n = g_nSelectedChannel.load();
    if (n >= g_nChannelCount.load()) {
        return nullptr;
    }
    CAVChannel* channel = g_pAVChannel[n].load();
    if (channel == nullptr || !channel->IsLocal()) {
        return nullptr;
    }
    *pChannel = n;
    return channel;
}

}  // namespace

void CMainDialog::MapHandlers() {
    MapCommand(IDC_LAYOUT_1, [this] { OnLayout(1); });
    MapCommand(IDC_LAYOUT_2, [this] { OnLayout(2); });
    MapCommand(IDC_LAYOUT_4, [this] { OnLayout(4); });
    MapCommand(IDC_LAYOUT_6, [this] { OnLayout(6); });
    MapCommand(IDC_LAYOUT_9, [this] { OnLayout(9); });
    MapCommand(IDC_LAYOUT_16, [this] { OnLayout(16); });
    MapCommand(IDC_PAGE_PREV, [this] { OnPagePrev(); });
    MapCommand(IDC_PAGE_NEXT, [this] { OnPageNext(); });
    MapCommand(IDC_BTN_MUTE, [this] { OnMute(); });
    MapCommand(IDC_BTN_HELP, [this] { OnHelp(); });
    MapCommand(IDC_BTN_SNAP, [this] { OnSnap(); });
    MapCommand(IDC_BTN_HOMEPAGE, [this] { OnHomePage(); });
    MapCommand(IDC_BTN_LOGFILE, [this] { OnLogfile(); });
    for (int k = 0; k < 4; ++k) {
        MapCommand(IDC_BRIGHT_DOWN + 2 * k, [this, k] { OnPictureControl(k, false); });
        MapCommand(IDC_BRIGHT_DOWN + 2 * k + 1, [this, k] { OnPictureControl(k, true); });
    }
    MapCommand(IDC_COLOR_DEFAULT, [this] { OnColorDefault(); });
    for (int n = 0; n < 16; ++n) {
        MapCommand(m_ChannelButtons[n].nId, [this, n] { ToggleManualRecord(n); });
    }
    MapCommand(IDC_BTN_RECORD, [this] { m_State.OnRecordSetup(); });
    MapCommand(IDC_BTN_SETUP, [this] { m_State.OnChannelSetup(); });
    MapCommand(IDC_BTN_MOTION, [this] { m_State.OnMotionSetup(); });
    MapCommand(IDC_BTN_SYSTEM, [this] { m_State.OnSystemSetup(); });
    MapCommand(ID_TRAY_SHOW_WINDOW, [this] { OnTrayShowWindow(); });
    MapCommand(ID_TRAY_EXIT, [this] { OnTrayExit(); });
    MapMessage(WM_CLOCK_UPDATE, [this](WPARAM, LPARAM) {
        OnClockUpdate();
        return LRESULT{0};
    });
    MapMessage(WM_NO_RECORD_DISK, [this](WPARAM, LPARAM) {
        m_State.OnNoRecordDisk();
        return LRESULT{0};
    });
    MapMessage(WM_CHANNEL_SELECTED, [this](WPARAM, LPARAM) { return OnChannelSelected(); });
    MapMessage(WM_SAVE_SETTINGS, [this](WPARAM, LPARAM) {
        m_State.OnSaveSettings();
        return LRESULT{0};
    });
}

void CMainDialog::InitSkinButtons() {
    for (const MainControl& c : MainWindowControls()) {
        if (c.kind == MainControlKind::ValueDisplay) {
            if (CWnd* display = GetDlgItem(c.id); display != nullptr) {
                display->MoveWindow(c.x, c.y, c.cx, c.cy, TRUE);
            }
            continue;
        }
        auto button = std::make_unique<CBitmapButton>();
        if (button->SubclassDlgItem(c.id, this)) {
            button->LoadBitmaps(c.up, c.down, c.focus);
            button->SizeToContent();
            button->UpdatePictures();
            button->MoveWindow(c.x, c.y, c.cx, c.cy, TRUE);
        }
        m_SkinButtons[c.id] = std::move(button);
    }
    const int count = g_nChannelCount.load();
    for (int n = 0; n < 16; ++n) {
        ChannelButton& b = m_ChannelButtons[n];
        if (!b.button.SubclassDlgItem(static_cast<UINT>(b.nId), this)) {
            continue;
        }
        // A button without a channel does not change when pressed.
        b.button.LoadBitmaps(b.nBitmap[0], n < count ? b.nBitmap[1] : b.nBitmap[0]);
        b.button.SizeToContent();
        b.button.UpdatePictures();
        const RECT r = ChannelButtonRect(n);
        b.button.MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
}

void CMainDialog::SetChannelButtonFaces(int channel, int normalFace, int pressedFace) {
    if (channel < 0 || channel >= 16 || normalFace < 0 || normalFace > 3 || pressedFace < 0 ||
        pressedFace > 3) {
        return;
    }
    ChannelButton& b = m_ChannelButtons[channel];
    b.button.LoadBitmaps(b.nBitmap[normalFace], b.nBitmap[pressedFace]);
    b.button.SizeToContent();
    b.button.UpdatePictures();
    b.button.Invalidate(TRUE);
}

// --- Layouts.

void CMainDialog::OnLayout(int layout) {
    CVideoWallDialog* wall = g_pVideoWall.load();
    RECT r{0, 0, 0, 0};
    if (wall != nullptr) {
        wall->GetClientRect(&r);
        wall->ClientToScreen(&r);
    }
    int first = 0;
    if (const int* pageFirst = FirstChannelOfLayout(layout)) {
        first = *pageFirst;
    } else if (layout != 16) {
        return;
    }
    ComputeLayout(layout, first, g_nChannelCount.load(), r, g_Settings.rcChannel);
    if (g_hDrawVideoThread.load() != nullptr) {
        if (layout == 2) {
            PostThreadMessage(g_dwDrawVideoThreadId.load(), WM_VIDEO_LAYOUT, 1,
                              static_cast<LPARAM>(m_nFirst2));
        } else {
            PostThreadMessage(g_dwDrawVideoThreadId.load(), WM_VIDEO_LAYOUT, 0, 0);
        }
    }
    m_nLayout = layout;
    if (wall != nullptr) {
        wall->RepaintWall();
    }
}

int* CMainDialog::FirstChannelOfLayout(int layout) {
    switch (layout) {
        case 1:
            return &m_nFirst1;
        case 2:
            return &m_nFirst2;
        case 4:
            return &m_nFirst4;
        case 6:
            return &m_nFirst6;
        case 9:
            return &m_nFirst9;
        default:
            return nullptr;  // 16 shows every channel and has no pages
    }
}

void CMainDialog::TurnPage(int direction) {
    int* first = FirstChannelOfLayout(m_nLayout);
    if (first == nullptr) {
        return;
    }
    const int next = PageFirstChannel(m_nLayout, *first, g_nChannelCount.load(), direction);
    if (next != *first) {
        *first = next;
        OnLayout(m_nLayout);
    }
}

void CMainDialog::OnPagePrev() {
    TurnPage(-1);
}

void CMainDialog::OnPageNext() {
    TurnPage(+1);
}

// --- Buttons that act directly.

void CMainDialog::OnMute() {
    CBitmapButton* mute =
        m_SkinButtons.count(IDC_BTN_MUTE) ? m_SkinButtons[IDC_BTN_MUTE].get() : nullptr;
    const bool muted = g_bAudioMute.load() != 0;
    if (mute != nullptr) {
        mute->LoadBitmaps(muted ? IDB_MUTE_SOUND_ON : IDB_MUTE_SOUND_OFF,
                          muted ? IDB_MUTE_SOUND_OFF : IDB_MUTE_SOUND_ON);
        mute->SizeToContent();
        mute->UpdatePictures();
        mute->Invalidate(TRUE);
    }
    g_bAudioMute = muted ? 0 : 1;
    m_State.WriteLogEntry(LOGTYPE_SYSTEM, 0,
                          muted ? "Enable Audio Out..." : "Disable Audio Out...");
}

void CMainDialog::OnHelp() {
    ShellOpen("Quorvalind.chm", SW_SHOWMAXIMIZED);
}

void CMainDialog::OnSnap() {
    const int n = g_nSelectedChannel.load();
    if (n >= g_nChannelCount.load()) {
        return;
    }
    // An empty slot (its channel could not be made) has nobody to ask.
    CAVChannel* channel = g_pAVChannel[n].load();
    if (channel == nullptr) {
        return;
    }
    PostThreadMessage(channel->GetMsgThreadId(), WM_CHANNEL_SNAPSHOT, 0, 0);
}

void CMainDialog::OnHomePage() {
    CAboutDialog about;
    about.DoModal();
}

void CMainDialog::OnLogfile() {
    m_State.OnLogFile();
}

void CMainDialog::ShowValue(int byteIndex, uint32_t packed) {
    SetDlgItemText(IDC_VALUE_BRIGHT + byteIndex, ByteText(packed, byteIndex).c_str());
}

void CMainDialog::OnPictureControl(int k, bool up) {
    if (k < 0 || k > 3) {
        return;
    }
    int n = 0;
    CAVChannel* channel = SelectedLocalChannel(&n);
    if (channel == nullptr) {
        return;
    }
    uint32_t v = channel->dwVideoColor.load();
    const uint32_t byte = (v >> (8 * k)) & 0xFF;
    if ((!up && byte == 0) || (up && byte == 255)) {
        return;
    }
    const uint32_t unit = uint32_t{1} << (8 * k);
    v = up ? v + unit : v - unit;
    const int device = channel->nVideoDevice.load();
    const uint32_t r = device >= 0 ? ::SetVideoProcAmp(static_cast<uint8_t>(device), v) : 0;
    ShowValue(k, r);
    channel->dwVideoColor = r;
    g_Settings.Record[n].videocolor = r;
    char text[96];
    std::snprintf(text, sizeof text, kPictureLogText[k], n + 1, ByteText(r, k).c_str());
    m_State.WriteLogEntry(LOGTYPE_SYSTEM, n + 1, text);
}

void CMainDialog::OnColorDefault() {
    int n = 0;
    CAVChannel* channel = SelectedLocalChannel(&n);
    if (channel == nullptr) {
        return;
    }
    const int device = channel->nVideoDevice.load();
    const uint32_t r = device >= 0 ? ::ResetVideoProcAmp(static_cast<uint8_t>(device)) : 0;
    channel->dwVideoColor = r;
    g_Settings.Record[n].videocolor = r;
    for (int k = 0; k < 4; ++k) {
        ShowValue(k, r);
    }
    char text[128];
    std::snprintf(text, sizeof text, "Change CH%02d 's color to default(%s,%s,%s,%s)", n + 1,
                  ByteText(r, 0).c_str(), ByteText(r, 1).c_str(), ByteText(r, 2).c_str(),
                  ByteText(r, 3).c_str());
    m_State.WriteLogEntry(LOGTYPE_SYSTEM, n + 1, text);
}

void CMainDialog::ToggleManualRecord(int channel) {
    if (channel < 0 || channel >= g_nChannelCount.load()) {
        return;
    }
    CAVChannel* p = g_pAVChannel[channel].load();
    if (p == nullptr || !p->IsActive()) {
        return;
    }
    char text[48];
    if (p->bManualRecord.load() != 0) {
        p->bManualRecord = 0;
        std::snprintf(text, sizeof text, "Close CH%d Manual Record", channel + 1);
    } else {
        p->bManualRecord = 1;
        std::snprintf(text, sizeof text, "Open CH%d Manual Record", channel + 1);
    }
    m_State.WriteLogEntry(LOGTYPE_RECORD, channel + 1, text);
}

void CMainDialog::OnClockUpdate() {
    const auto now = GetLocalTimeNow();
    g_byClockBacklog = 0;
    CClientDC dc(this);
    const CBrush* old = dc.SelectObject(&m_brEdit);
    dc.FillRect(RECT{CLOCK_LEFT, CLOCK_TOP, CLOCK_RIGHT, CLOCK_BOTTOM}, &m_brEdit);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(20, 250, 20));
    // Each line keeps to its band of the black box, whatever the font.
    constexpr int kTimeTop = 55;
    constexpr int kDateTop = 82;
    TextOutInBox(dc, RECT{CLOCK_LEFT, CLOCK_TOP, CLOCK_RIGHT, kTimeTop}, 865, 25,
                 "Ostrevanne software");
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", now.hour, now.minute, now.second);
    TextOutInBox(dc, RECT{CLOCK_LEFT, kTimeTop, CLOCK_RIGHT, kDateTop}, 900, kTimeTop, text);
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", now.year, now.month, now.day);
    TextOutInBox(dc, RECT{CLOCK_LEFT, kDateTop, CLOCK_RIGHT, CLOCK_BOTTOM}, 892, kDateTop, text);
    dc.SelectObject(old);
}
