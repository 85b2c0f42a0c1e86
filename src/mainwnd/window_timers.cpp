// The main dialog's window timers: the channel-button blink, the start-up
// tick, the reconnect and drive check, and the schedule evaluation.

#include "channel/av_channel.h"
#include "mainwnd/main_dialog_state.h"
#include "mainwnd/main_window_poster.h"
#include "platform/threads/thread_messages.h"
#include "settings/globals.h"
#include "settings/settings.h"

void CMainDialogState::OnTimer(unsigned timerId) {
    switch (timerId) {
        case IDT_BLINK:
            OnBlinkTimer();
            break;
        case IDT_STARTUP:
            OnStartupTimer();
            break;
        case IDT_RECONNECT:
            OnReconnectTimer();
            break;
        case IDT_SCHEDULE:
            EvaluateSchedules();
            break;
        default:
            break;
    }
}

void CMainDialogState::FaceButton(int channel, int normalFace, int pressedFace) {
    if (hooks.setChannelButtonFaces) {
        hooks.setChannelButtonFaces(channel, normalFace, pressedFace);
    }
}

void CMainDialogState::OnBlinkTimer() {
    const int count = g_nChannelCount.load();
    for (int n = 0; n < count; ++n) {
        if (m_bBlinkPhase == 0) {
            // Show the record state; an inactive channel keeps its picture.
            CAVChannel* channel = g_pAVChannel[n].load();
            if (channel == nullptr || !channel->IsActive()) {
                continue;
            }
            switch (channel->GetRecordState()) {
                case REC_MANUAL:
                    FaceButton(n, BUTTON_FACE_MANUAL, BUTTON_FACE_MANUAL);
                    m_byBlinkState[n] = BLINK_MANUAL;
                    break;
                case REC_SCHEDULE:
                    FaceButton(n, BUTTON_FACE_SCHEDULE, BUTTON_FACE_SCHEDULE);
                    m_byBlinkState[n] = BLINK_SCHEDULE;
                    break;
                case REC_MOTION:
                    FaceButton(n, BUTTON_FACE_MOTION, BUTTON_FACE_MOTION);
                    m_byBlinkState[n] = BLINK_MOTION;
                    if (g_Settings.Schedule[n].bMotionAudioAlarm != 0 && hooks.messageBeep) {
                        hooks.messageBeep(MB_ICONASTERISK_BEEP);
                    }
                    break;
                default:
                    m_byBlinkState[n] = BLINK_NORMAL;
                    break;
            }
        } else if (m_byBlinkState[n] != BLINK_NORMAL) {
            CAVChannel* channel = g_pAVChannel[n].load();
            const bool manual = channel != nullptr && channel->bManualRecord.load() != 0;
            if ((m_byBlinkState[n] == BLINK_MOTION || m_byBlinkState[n] == BLINK_SCHEDULE) &&
                manual) {
                FaceButton(n, BUTTON_FACE_MANUAL, BUTTON_FACE_MANUAL);
                m_byBlinkState[n] = BLINK_MANUAL_ON;
            } else {
                FaceButton(n, BUTTON_FACE_RESTING, BUTTON_FACE_MANUAL);
                m_byBlinkState[n] = BLINK_NORMAL;
            }
        }
    }
    m_bBlinkPhase = 1 - m_bBlinkPhase;
}

void CMainDialogState::OnStartupTimer() {
    if (hooks.killTimer && m_nStartupTimer != 0) {
        hooks.killTimer(IDT_STARTUP);
    }
    m_nStartupTimer = 0;
    if (hooks.selectLayout4) {
        hooks.selectLayout4();
    }
    StartChannels();
    PostToMainWindow(WM_CHANNEL_SELECTED, 0, 0);
}

void CMainDialogState::OnReconnectTimer() {
    const int count = g_nChannelCount.load();
    for (int n = 0; n < count; ++n) {
        CAVChannel* channel = g_pAVChannel[n].load();
        if (channel != nullptr && channel->CanConnectRemote()) {
            ConnectRemoteChannel(static_cast<uint8_t>(n));
        }
    }
    CheckRecordDriveSpace();
}
