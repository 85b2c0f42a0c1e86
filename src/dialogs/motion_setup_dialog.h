#pragma once
// "Video Motion Setup..." (template 135): per channel and per day (every
// day, Monday .. Sunday) the schedule-record flag and its two time windows
// and the motion-detection flag and its two windows; per channel the 8 x 8
// motion area, the motion record time, the threshold and the beep flag of
// the 16 ScheduleEntry records. Two day bars choose the day each section
// shows.
//
// While it is open the shown channel's pictures come in as its preview
// sink (on the DrawVideo thread), are copied under the preview lock and
// drawn on the user-interface thread with the grid and the watched cells
// marked; a click on the preview flips a cell of the area, and the motion
// test shades the cells whose level is above the threshold. A change of
// channel blanks the preview at once, with the new channel's marks, until
// that channel's first picture; meanwhile a click redraws the marks. The
// dialog never registers or clears a sink while it holds the preview lock,
// since clearing waits for a display step inside the sink, and that step
// may be waiting for the lock. Every way out clears every channel's sink
// before the buffers go; pictures larger than 352 x 288 are dropped.

#include <atomic>
#include <memory>
#include <mutex>

#include "channel/channel_services.h"
#include "dialogs/day_selector_bar.h"
#include "dialogs/setup_dialog.h"
#include "platform/ui/ctime.h"
#include "platform/ui/surface_host.h"
#include "settings/settings.h"

class CPreviewDisplay;

// The working copy of the 16 records.
extern ScheduleEntry g_EditScheduleTable[MAX_CHANNELS];

// The preview's picture buffers: a 352 x 288 picture with a Y stride of up
// to 385 bytes and a chroma stride of up to 193.
constexpr int PREVIEW_MAX_WIDTH = 352;
constexpr int PREVIEW_MAX_HEIGHT = 288;
constexpr int PREVIEW_MAX_Y_STRIDE = 385;
constexpr int PREVIEW_MAX_UV_STRIDE = 193;
constexpr int PREVIEW_Y_BYTES = 110976;
constexpr int PREVIEW_UV_BYTES = 27840;

class CMotionSetupDialog : public CSetupDialog, public IPreviewSink {
public:
    explicit CMotionSetupDialog(CWnd* pParentWnd = nullptr);
    ~CMotionSetupDialog() override;

    // The frame's modal run; the preview is released however it ends.
    INT_PTR DoModal() override;

    // One section of one channel and day of the working copy, shown or
    // taken from the controls; nothing for an unconfigured channel. The
    // record time, threshold and beep go with the motion section.
    void LoadScheduleDay(int channel, int day);
    void LoadMotionDay(int channel, int day);
    void StoreScheduleDay(int channel, int day);
    void StoreMotionDay(int channel, int day);

    // The channel row: stores the channel left, shows channel n and takes
    // its pictures. Nothing while the motion test runs.
    void SelectChannel(int n);
    // WM_DAY_SELECTED from one of the two bars.
    void OnDaySelected(WPARAM bar, LPARAM day);
    void OnMotionTest();
    // "Email and Ftp Alerts": the alert dialog; when it was saved, the main
    // window writes the settings file.
    void OnAlertSetup();
    // Stores the sections shown; refuses a record time of 1 to 14 seconds
    // on any configured channel; otherwise copies the working copy over the
    // live schedules.
    void OnSave() override;

    // The shown channel's display step (DrawVideo thread).
    void OnPreviewFrame(const uint8_t* y, const uint8_t* u, const uint8_t* v, int yStride,
                        int uvStride, int width, int height) override;
    // WM_DRAW_VIDEO: the last picture with shading, grid and marks into the
    // preview.
    void OnDrawVideo();

    // For the tests: the bars, the days and channel shown, and how many
    // pictures were taken, dropped for their size and drawn.
    CDaySelectorBar* GetScheduleBar() const { return m_pScheduleBar; }
    CDaySelectorBar* GetMotionBar() const { return m_pMotionBar; }
    int GetChannel() const { return m_nChannel; }
    int GetScheduleDay() const { return m_nScheduleDay; }
    int GetMotionDay() const { return m_nMotionDay; }
    bool IsTestMode() const { return m_bTestMode != 0; }
    bool HasPreviewBuffers();
    int TakenPictures() const { return m_nTakenPictures.load(); }
    int DroppedPictures() const { return m_nDroppedPictures.load(); }
    int DrawnPictures() const { return m_nDrawnPictures.load(); }
    CSurfaceHost& PreviewHost() { return m_host; }

    CTime m_tTimes[8];  // schedule window 1 start, end, window 2; then motion
    int m_bScheduleRecord = 0;
    int m_bMotionRecord = 0;
    int m_bMotionAudioAlarm = 0;
    int m_nMotionSmart = 0;
    int m_nMotionRecordTime = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void StoreControls() override;
    void CopyWorkingToLive() override;
    bool WorkingDiffersFromLive() const override;
    // The preview (every channel's sink first, then the renderer and the
    // buffers) and the day bars; safe to run twice.
    void ReleaseOnLeave() override;
    void OnLButtonDown(UINT nFlags, POINT point) override;
    void OnShowWindow(BOOL bShow, UINT nStatus) override;
    void OnMove(int x, int y) override;

private:
    // Both sections of the channel and days shown, from one read.
    void StoreShownDays();
    void StoreScheduleMembers(int channel, int day);
    void StoreMotionMembers(int channel, int day);
    void CreateDayBars();
    // The renderer re-reads the preview window's place.
    void FollowPreviewWindow();
    void SetChannelSink(int n, IPreviewSink* sink);
    void ClearPreviewSinks();
    // The black picture with the shown channel's marks, dropping a picture
    // not drawn yet; and the same again after a click, while no picture
    // has come since.
    void ClearPreview();
    void RedrawBlankPreview();
    // Under the preview lock: the black picture into the buffers and onto
    // the preview; the buffers shaded, marked and shown.
    void DrawBlankLocked();
    bool DrawBuffersLocked();

    int m_bInitDone = 0;
    int m_bTestMode = 0;
    int m_nChannel = 0;
    int m_nScheduleDay = 0;
    int m_nMotionDay = 0;
    CDaySelectorBar* m_pScheduleBar = nullptr;
    CDaySelectorBar* m_pMotionBar = nullptr;
    CSurfaceHost m_host;  // control 1115 with its own screen

    // Guards everything below. Taken by the display step (inside the
    // channel's preview hand-over) and by the user-interface thread to draw
    // and to free; nothing else is locked while it is held.
    std::mutex m_previewLock;
    std::unique_ptr<CPreviewDisplay> m_pPreview;
    uint8_t* m_pSurface = nullptr;  // as the renderer reported it; null: none
    std::unique_ptr<uint8_t[]> m_pY;
    std::unique_ptr<uint8_t[]> m_pU;
    std::unique_ptr<uint8_t[]> m_pV;
    int m_nYStride = 0;
    int m_nUVStride = 0;
    int m_nPicWidth = 0;
    int m_nPicHeight = 0;
    bool m_bNewPicture = false;  // the buffers hold a picture not drawn yet
    bool m_bBlank = false;       // the buffers hold the black picture

    std::atomic<int> m_nTakenPictures{0};
    std::atomic<int> m_nDroppedPictures{0};
    std::atomic<int> m_nDrawnPictures{0};
};
