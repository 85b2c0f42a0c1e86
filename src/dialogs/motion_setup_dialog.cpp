#include "dialogs/motion_setup_dialog.h"

#include <cstdio>

#include "channel/av_channel.h"
#include "dialogs/alert_setup_hook.h"
#include "mainwnd/main_window_poster.h"
#include "mainwnd/preview_display.h"
#include "platform/msgbox/message_box.h"
#include "platform/threads/thread_messages.h"
#include "res/motion_setup_ids.h"
#include "settings/globals.h"

ScheduleEntry g_EditScheduleTable[MAX_CHANNELS];

namespace {

constexpr int kRecordTimeMin = 15;
constexpr int kRecordTimeMax = 900;
constexpr int kSmartMin = 0;
constexpr int kSmartMax = 30;
// What the record time field holds; beyond it a typed value is refused
// rather than cut to its low 16 bits.
constexpr int kRecordTimeFieldMax = 65535;

// The pickers show times on one fixed date.
CTime PickerTime(uint8_t hour, uint8_t minute) {
    return CTime(2006, 4, 22, hour, minute, 0);
}

void LoadWindows(const ScheduleTimes& t, CTime* times) {
    times[0] = PickerTime(t.byStart1Hour, t.byStart1Minute);
    times[1] = PickerTime(t.byEnd1Hour, t.byEnd1Minute);
    times[2] = PickerTime(t.byStart2Hour, t.byStart2Minute);
    times[3] = PickerTime(t.byEnd2Hour, t.byEnd2Minute);
}

void StoreWindows(ScheduleTimes& t, const CTime* times) {
    auto put = [](const CTime& time, uint8_t& hour, uint8_t& minute) {
        hour = static_cast<uint8_t>(time.GetHour());
        minute = static_cast<uint8_t>(time.GetMinute());
    };
    put(times[0], t.byStart1Hour, t.byStart1Minute);
    put(times[1], t.byEnd1Hour, t.byEnd1Minute);
    put(times[2], t.byStart2Hour, t.byStart2Minute);
    put(times[3], t.byEnd2Hour, t.byEnd2Minute);
}

int ConfiguredChannels() {
    return std::min<int>(g_nChannelCount.load(), MAX_CHANNELS);
}

bool ValidDay(int day) {
    return day >= 0 && day < DAY_CELLS;
}

// A section of a configured channel's record, on a day of the bars.
bool IsSection(int channel, int day) {
    return channel >= 0 && channel < ConfiguredChannels() && ValidDay(day);
}

void DestroyBar(CDaySelectorBar*& bar) {
    if (bar == nullptr) {
        return;
    }
    bar->SendMessage(WM_CLOSE);
    bar->DestroyWindow();
    delete bar;
    bar = nullptr;
}

}  // namespace

CMotionSetupDialog::CMotionSetupDialog(CWnd* pParentWnd)
    : CSetupDialog(IDD_MOTION_SETUP, pParentWnd) {
    for (CTime& t : m_tTimes) {
        t = PickerTime(0, 0);  // what the pickers show before a channel is loaded
    }
    MapCommand(IDC_MOTION_SAVE, [this] { OnSave(); });
    MapCommand(IDC_MOTION_TEST, [this] { OnMotionTest(); });
    MapCommand(IDC_ALERT_SETUP, [this] { OnAlertSetup(); });
    for (int k = 0; k < MAX_CHANNELS; ++k) {
        MapCommand(static_cast<UINT>(IDC_MOTION_CHANNEL_FIRST + k),
                   [this, k] { SelectChannel(k); });
    }
    auto spin = [this](int& member, int nMin, int nMax) {
        return [this, &member, nMin, nMax](NMHDR* pNMHDR, LRESULT* pResult) {
            UpdateData(TRUE);
            if (SpinStep(member, reinterpret_cast<NMUPDOWN*>(pNMHDR)->iDelta, nMin, nMax)) {
                UpdateData(FALSE);
            }
            *pResult = 0;
        };
    };
    MapNotify(IDC_MOTION_RECORD_TIME_SPIN, UDN_DELTAPOS,
              spin(m_nMotionRecordTime, kRecordTimeMin, kRecordTimeMax));
    MapNotify(IDC_MOTION_SMART_SPIN, UDN_DELTAPOS, spin(m_nMotionSmart, kSmartMin, kSmartMax));
    MapMessage(WM_DAY_SELECTED, [this](WPARAM wParam, LPARAM lParam) {
        OnDaySelected(wParam, lParam);
        return LRESULT{0};
    });
    MapMessage(WM_DRAW_VIDEO, [this](WPARAM, LPARAM) {
        OnDrawVideo();
        return LRESULT{0};
    });
}

CMotionSetupDialog::~CMotionSetupDialog() {
    ReleaseOnLeave();
}

INT_PTR CMotionSetupDialog::DoModal() {
    const INT_PTR result = CSetupDialog::DoModal();
    // Whatever ended the loop, no channel keeps the dialog as its sink.
    ReleaseOnLeave();
    return result;
}

BOOL CMotionSetupDialog::OnInitDialog() {
    CSetupDialog::OnInitDialog();
    CreateDayBars();

    m_host.Attach(IDC_MOTION_IMAGE, this, 1);
    {
        std::lock_guard<std::mutex> lock(m_previewLock);
        m_pPreview = std::make_unique<CPreviewDisplay>();
        m_pPreview->Init(m_host.DisplayHandle(), PREVIEW_MAX_WIDTH, PREVIEW_MAX_HEIGHT);
        m_pSurface = m_pPreview->GetSurfacePointer();
        m_pY = std::make_unique<uint8_t[]>(PREVIEW_Y_BYTES);
        m_pU = std::make_unique<uint8_t[]>(PREVIEW_UV_BYTES);
        m_pV = std::make_unique<uint8_t[]>(PREVIEW_UV_BYTES);
    }

    CopyLiveSlice(g_EditScheduleTable, g_Settings.Schedule);
    m_nChannel = 0;
    m_nScheduleDay = 0;
    m_nMotionDay = 0;
    const int count = ConfiguredChannels();
    if (count > 0) {
        SelectRowButton(IDC_MOTION_CHANNEL_FIRST);
        SetChannelSink(0, this);
        LoadScheduleDay(0, 0);
        LoadMotionDay(0, 0);
    }
    for (int i = 0; i < MAX_CHANNELS; ++i) {
        const ChannelEntry source = ReadSettings(g_Settings.Channel[i]);
        CWnd* button = GetDlgItem(IDC_MOTION_CHANNEL_FIRST + i);
        if (button != nullptr) {
            button->EnableWindow(i < count && source.status != 0);
        }
    }
    m_bInitDone = 1;
    return TRUE;
}

void CMotionSetupDialog::CreateDayBars() {
    auto place = [this](int placeholder) {
        auto* bar = new CDaySelectorBar(this);
        bar->Create(this);
        CWnd* where = GetDlgItem(placeholder);
        if (where != nullptr) {
            RECT rc;
            where->GetWindowRect(&rc);
            ScreenToClient(&rc);
            bar->MoveWindow(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
        }
        bar->ShowWindow(SW_SHOW);
        return bar;
    };
    m_pScheduleBar = place(IDC_SCHEDULE_WEEK_TAB);
    m_pMotionBar = place(IDC_MOTION_WEEK_TAB);
}

void CMotionSetupDialog::DoDataExchange(CDataExchange* pDX) {
    for (int i = 0; i < 8; ++i) {
        DDX_DateTimeCtrl(pDX, IDC_SCHEDULE_TIME_FIRST + i, m_tTimes[i]);
    }
    DDX_Check(pDX, IDC_SCHEDULE_RECORD, m_bScheduleRecord);
    DDX_Check(pDX, IDC_MOTION_RECORD, m_bMotionRecord);
    DDX_Check(pDX, IDC_MOTION_AUDIO_ALARM, m_bMotionAudioAlarm);
    DDX_Text(pDX, IDC_MOTION_SMART, m_nMotionSmart);
    DDX_Text(pDX, IDC_MOTION_RECORD_TIME, m_nMotionRecordTime);
    DDV_MinMaxInt(pDX, m_nMotionRecordTime, 0, kRecordTimeFieldMax);
}

void CMotionSetupDialog::LoadScheduleDay(int channel, int day) {
    if (!IsSection(channel, day)) {
        return;
    }
    const ScheduleEntry& e = g_EditScheduleTable[channel];
    m_bScheduleRecord = e.bySchedRecord[day];
    LoadWindows(e.SchedTimes[day], &m_tTimes[0]);
    UpdateData(FALSE);
}

void CMotionSetupDialog::LoadMotionDay(int channel, int day) {
    if (!IsSection(channel, day)) {
        return;
    }
    const ScheduleEntry& e = g_EditScheduleTable[channel];
    m_bMotionRecord = e.byMotionRecord[day];
    LoadWindows(e.MotionTimes[day], &m_tTimes[4]);
    m_bMotionAudioAlarm = e.bMotionAudioAlarm;
    m_nMotionSmart = e.byMotionSmart;
    m_nMotionRecordTime = e.nMotionRecordTime;
    UpdateData(FALSE);
}

void CMotionSetupDialog::StoreScheduleDay(int channel, int day) {
    if (!IsSection(channel, day)) {
        return;
    }
    UpdateData(TRUE);  // a refused value was told and keeps its member
    StoreScheduleMembers(channel, day);
}

void CMotionSetupDialog::StoreMotionDay(int channel, int day) {
    if (!IsSection(channel, day)) {
        return;
    }
    UpdateData(TRUE);
    StoreMotionMembers(channel, day);
}

void CMotionSetupDialog::StoreShownDays() {
    if (m_nChannel < 0 || m_nChannel >= ConfiguredChannels()) {
        return;
    }
    // One read for both sections, so a refused value is told once.
    UpdateData(TRUE);
    StoreScheduleMembers(m_nChannel, m_nScheduleDay);
    StoreMotionMembers(m_nChannel, m_nMotionDay);
}

void CMotionSetupDialog::StoreScheduleMembers(int channel, int day) {
    ScheduleEntry& e = g_EditScheduleTable[channel];
    e.bySchedRecord[day] = static_cast<uint8_t>(m_bScheduleRecord & 0xFF);
    StoreWindows(e.SchedTimes[day], &m_tTimes[0]);
}

void CMotionSetupDialog::StoreMotionMembers(int channel, int day) {
    ScheduleEntry& e = g_EditScheduleTable[channel];
    e.byMotionRecord[day] = static_cast<uint8_t>(m_bMotionRecord & 0xFF);
    StoreWindows(e.MotionTimes[day], &m_tTimes[4]);
    e.bMotionAudioAlarm = static_cast<uint8_t>(m_bMotionAudioAlarm & 0xFF);
    e.byMotionSmart = static_cast<uint8_t>(m_nMotionSmart & 0xFF);
    // The read refused anything above the field's 16 bits.
    e.nMotionRecordTime = static_cast<uint16_t>(m_nMotionRecordTime & 0xFFFF);
}

void CMotionSetupDialog::StoreControls() {
    StoreShownDays();
}

void CMotionSetupDialog::CopyWorkingToLive() {
    StoreLiveSlice(g_Settings.Schedule, g_EditScheduleTable);
}

bool CMotionSetupDialog::WorkingDiffersFromLive() const {
    return SliceDiffers(g_EditScheduleTable, g_Settings.Schedule);
}

void CMotionSetupDialog::SetChannelSink(int n, IPreviewSink* sink) {
    if (n < 0 || n >= ConfiguredChannels()) {
        return;
    }
    CAVChannel* channel = g_pAVChannel[n].load();
    if (channel != nullptr) {
        channel->SetPreviewSink(sink);
    }
}

void CMotionSetupDialog::ClearPreviewSinks() {
    const int count = ConfiguredChannels();
    for (int n = 0; n < count; ++n) {
        SetChannelSink(n, nullptr);
    }
}

void CMotionSetupDialog::SelectChannel(int n) {
    if (m_bTestMode != 0 || n < 0 || n >= MAX_CHANNELS) {
        return;
    }
    ReleaseRowButton(IDC_MOTION_CHANNEL_FIRST + m_nChannel);
    SetChannelSink(m_nChannel, nullptr);
    StoreShownDays();
    const bool changed = n != m_nChannel;
    m_nChannel = n;
    SelectRowButton(IDC_MOTION_CHANNEL_FIRST + n);
    if (changed) {
        // Before the new sink, so none of its pictures is blanked: the
        // channel left must not stay on show where the new one sends none.
        ClearPreview();
    }
    SetChannelSink(n, this);
    LoadScheduleDay(n, m_nScheduleDay);
    LoadMotionDay(n, m_nMotionDay);
}

void CMotionSetupDialog::OnDaySelected(WPARAM bar, LPARAM day) {
    const int d = static_cast<int>(day);
    if (!ValidDay(d)) {
        return;
    }
    if (bar == reinterpret_cast<WPARAM>(m_pScheduleBar) && m_pScheduleBar != nullptr) {
        StoreScheduleDay(m_nChannel, m_nScheduleDay);
        m_nScheduleDay = d;
        LoadScheduleDay(m_nChannel, d);
    } else if (bar == reinterpret_cast<WPARAM>(m_pMotionBar) && m_pMotionBar != nullptr) {
        StoreMotionDay(m_nChannel, m_nMotionDay);
        m_nMotionDay = d;
        LoadMotionDay(m_nChannel, d);
    }
}

void CMotionSetupDialog::OnSave() {
    StoreControls();
    const int count = ConfiguredChannels();
    for (int i = 0; i < count; ++i) {
        const long seconds = g_EditScheduleTable[i].nMotionRecordTime;
        if (seconds > 0 && seconds < kRecordTimeMin) {
            char text[80];
            std::snprintf(text, sizeof text,
                          "Channel %02d 's motion record time=%ld is too short!!!", i + 1, seconds);
            ShowMessageBox(text, "ERROR", MB_OK);
            return;
        }
    }
    CopyWorkingToLive();
    m_bSaved = 1;
}

void CMotionSetupDialog::OnMotionTest() {
    if (m_nChannel >= ConfiguredChannels()) {
        return;
    }
    CAVChannel* channel = g_pAVChannel[m_nChannel].load();
    m_bTestMode = m_bTestMode != 0 ? 0 : 1;
    SetDlgItemText(IDC_MOTION_TEST, m_bTestMode != 0 ? "End Test" : "Motion Test");
    if (channel != nullptr) {
        channel->bMotionTest = m_bTestMode;
    }
}

void CMotionSetupDialog::OnAlertSetup() {
    // The alert dialog's Save has put its values into the live settings.
    if (RunAlertSetupDialog(this) == IDOK) {
        PostToMainWindow(WM_SAVE_SETTINGS, 0, 0);
    }
}

void CMotionSetupDialog::OnLButtonDown(UINT nFlags, POINT point) {
    CWnd* image = GetDlgItem(IDC_MOTION_IMAGE);
    if (image != nullptr && m_nChannel >= 0 && m_nChannel < MAX_CHANNELS) {
        RECT rc;
        image->GetWindowRect(&rc);
        ScreenToClient(&rc);
        const int width = rc.right - rc.left;
        const int height = rc.bottom - rc.top;
        const int x = point.x - rc.left;
        const int y = point.y - rc.top;
        if (x > 0 && x < width && y > 0 && y < height) {
            uint8_t& cell =
                g_EditScheduleTable[m_nChannel].byMotionMask[(y * 8 / height) * 8 + x * 8 / width];
            cell = cell == 0 ? 1 : 0;
            // Live pictures carry the marks; without one they show now.
            RedrawBlankPreview();
        }
    }
    CSetupDialog::OnLButtonDown(nFlags, point);
}

void CMotionSetupDialog::OnShowWindow(BOOL bShow, UINT nStatus) {
    CSetupDialog::OnShowWindow(bShow, nStatus);
    FollowPreviewWindow();
}

void CMotionSetupDialog::OnMove(int x, int y) {
    CSetupDialog::OnMove(x, y);
    FollowPreviewWindow();
}

void CMotionSetupDialog::FollowPreviewWindow() {
    if (m_bInitDone == 0) {
        return;
    }
    std::lock_guard<std::mutex> lock(m_previewLock);
    if (m_pPreview) {
        m_pPreview->UpdateWindowRect();
    }
}

void CMotionSetupDialog::ReleaseOnLeave() {
    // The sinks go first and wait for a display step inside this dialog;
    // then no picture can arrive, and the buffers may go.
    ClearPreviewSinks();
    {
        std::lock_guard<std::mutex> lock(m_previewLock);
        m_pPreview.reset();
        m_pSurface = nullptr;
        m_pY.reset();
        m_pU.reset();
        m_pV.reset();
        m_bNewPicture = false;
        m_bBlank = false;
    }
    m_host.ReleaseTarget();
    DestroyBar(m_pScheduleBar);
    DestroyBar(m_pMotionBar);
}
