#pragma once
// What the engine asks of the main window and of the parts that are built
// beside it. The window fills the hooks before the start-up sequence runs
// and leaves them alone until the exit sequence has ended; an empty hook
// does nothing (and a query hook answers "nothing there").

#include <cstdint>
#include <functional>

#include "platform/display/display_target.h"

// Faces of a channel button: index into the button's four bitmaps.
constexpr int BUTTON_FACE_RESTING = 0;
constexpr int BUTTON_FACE_MANUAL = 1;
constexpr int BUTTON_FACE_MOTION = 2;
constexpr int BUTTON_FACE_SCHEDULE = 3;

struct MainDialogHooks {
    // User-interface thread. Loads the channel button's bitmaps
    // nBitmap[normalFace] and nBitmap[pressedFace], sizes the button to its
    // bitmap and repaints it.
    std::function<void(int channel, int normalFace, int pressedFace)> setChannelButtonFaces;
    // MessageBeep with the given type (0xFFFFFFFF: the simple beep).
    std::function<void(unsigned type)> messageBeep;
    // The "4" layout button's action.
    std::function<void()> selectLayout4;
    // Turns redrawing on and repaints the strip (0, 710)-(1024, 768) now.
    std::function<void()> repaintControlStrip;

    // DrawVideo thread: the video wall's window (null: none), read once at
    // the thread's start, and its repaint with erasing after a layout change.
    std::function<DisplayWindowHandle()> videoWallWindow;
    std::function<void()> invalidateVideoWall;

    // Window steps of the start-up and exit sequences.
    std::function<void()> initSkinButtons;
    std::function<void()> createVideoWall;
    std::function<void()> destroyVideoWall;
    // SetTimer / KillTimer of a window timer; SetTimer's result (0: failed).
    std::function<unsigned(unsigned id, unsigned periodMs)> setTimer;
    std::function<void(unsigned id)> killTimer;
    // Answers the notifications queued for the user-interface thread while
    // it waits for a worker without limit (the exit's waits).
    std::function<void()> serveNotifications;
    // Ends the modal dialog with IDOK after the exit sequence.
    std::function<void()> endDialog;
    // The window's own exit (its run-once guard, the tray icon, the signal
    // handlers), which runs the exit sequence: for a changed channel count.
    std::function<void()> exitProgram;
};

// The four setup dialogs, run modally; each returns IDOK when the user
// saved, anything else otherwise. The log viewer, run modally too, saves
// nothing (by default it opens nothing).
class ISetupDialogRunner {
public:
    virtual ~ISetupDialogRunner() = default;
    virtual int RunChannelSetup() = 0;
    virtual int RunRecordSetup() = 0;
    virtual int RunMotionSetup() = 0;
    virtual int RunSystemSetup() = 0;
    virtual void RunLogFile() {}
};

// The alert threads, which their own part starts and stops. Each start
// sets the thread's globals and returns false when its thread cannot be
// started; each stop waits as the exit requires.
class IEngineWorkers {
public:
    virtual ~IEngineWorkers() = default;
    virtual bool StartSendEmail() = 0;
    virtual void StopSendEmail() = 0;
    virtual bool StartFtpUpload() = 0;
    virtual void StopFtpUpload() = 0;
    virtual void FreeAlertJobs() = 0;
};
