// The setup buttons: run the dialog, and only when it was saved persist
// and apply what changed. A dialog that the program's end cut short may
// still have been saved: its settings are persisted, but nothing is applied
// to an engine that the exit is about to stop. A file that cannot be
// written keeps its old contents: what was saved still runs, and the user
// is told that the next start will not have it.

#include <cstdio>
#include <string>

#include "capture/capture_formats.h"
#include "capture/capture_graph.h"
#include "channel/av_channel.h"
#include "mainwnd/channel_codec_params.h"
#include "mainwnd/main_dialog_state.h"
#include "platform/msgbox/message_box.h"
#include "platform/threads/thread_messages.h"
#include "platform/ui/program_ending.h"
#include "settings/channel_ini.h"
#include "settings/globals.h"
#include "settings/log_entry.h"
#include "settings/settings.h"
#include "settings/settings_lock.h"

namespace {

void PostDisconnect(CAVChannel& channel) {
    PostThreadMessage(channel.GetMsgThreadId(), WM_CHANNEL_DISCONNECT, 0, 0);
}

// The opener's log line: the success line when the file was written, else
// which setup changed and which file kept its old contents.
std::string SetupLogLine(const char* setup, bool saved, const char* file) {
    char text[80];
    if (saved) {
        std::snprintf(text, sizeof text, "Change and save %s setup!", setup);
    } else {
        std::snprintf(text, sizeof text, "Change %s setup, but cannot write %s!", setup, file);
    }
    return text;
}

// The opener's last step when its file could not be written. While the
// program ends the box is refused like every other and goes to stderr.
void ReportUnwrittenFile(bool saved, const char* file) {
    if (saved) {
        return;
    }
    const std::string text =
        std::string(file) + " could not be written! The settings hold until the recorder ends.";
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace

void CMainDialogState::OnChannelSetup() {
    if (m_pDialogs == nullptr || m_pDialogs->RunChannelSetup() != IDOK) {
        return;
    }
    const bool saved = SaveChannelIni() == 1;
    WriteLogEntry(LOGTYPE_SYSTEM, 0, SetupLogLine("channel", saved, INI_FILE_NAME).c_str());
    // A new count that could not be written neither restarts nor
    // re-applies: a restart would bring the old count back, so the recorder
    // runs on with the channels it has.
    if (!IsProgramEnding()) {
        if (g_nChannelCount.load() == g_Settings.nChConfigNum) {
            ReapplyChannels();
        } else if (saved) {
            // The channel table is fixed for a run: the new count applies
            // at the next start.
            AfxMessageBox("Channels have Changed! Please Restart!", MB_OK);
            if (hooks.exitProgram) {
                hooks.exitProgram();
            }
            return;
        }
    }
    ReportUnwrittenFile(saved, INI_FILE_NAME);
}

void CMainDialogState::ReapplyChannels() {
    // No capture callback sees a channel whose devices are being changed.
    StopCapture();
    const int count = g_nChannelCount.load();
    for (int n = 0; n < count; ++n) {
        CAVChannel* channel = g_pAVChannel[n].load();
        if (channel == nullptr) {
            continue;
        }
        const ChannelEntry source = ReadSettings(g_Settings.Channel[n]);
        if (source.status == 0 || source.mode == 0) {
            if (channel->IsLocal()) {
                channel->StopLocal();
            } else if (channel->IsRemote()) {
                PostDisconnect(*channel);
            }
        } else if (source.mode == SOURCE_LOCAL) {
            const int video = source.videoin - 1;
            const int audio = source.audioin - 1;
            if (channel->IsLocal()) {
                // StartLocal leaves a device it is given none for as it was;
                // a device the user took away must go, so the channel is
                // stopped first and started with what is left.
                if ((video < 0 && channel->nVideoDevice.load() >= 0) ||
                    (audio < 0 && channel->nAudioDevice.load() >= 0)) {
                    channel->StopLocal();
                }
            } else {
                channel->SetEncodeParams(CodecParamsOf(source, ReadSettings(g_Settings.Record[n])));
            }
            channel->StartLocal(video, audio);
            CheckPictureSource(n, source, *channel);
            if (source.videoin != 0) {
                SelectVideoMode(static_cast<uint8_t>(video), source.width, source.height,
                                source.framenum);
            }
            ApplyVideoInput(n, source);
        } else if (source.mode == SOURCE_NETWORK) {
            if (channel->IsRemote()) {
                PostDisconnect(*channel);
            }
            ConnectRemoteChannel(static_cast<uint8_t>(n));
        }
    }
    RunCapture();
}

void CMainDialogState::OnRecordSetup() {
    if (m_pDialogs == nullptr || m_pDialogs->RunRecordSetup() != IDOK) {
        return;
    }
    const int count = g_nChannelCount.load();
    const bool saved = SaveRecordIni(count) == 1;
    const int applied = IsProgramEnding() ? 0 : count;
    for (int n = 0; n < applied; ++n) {
        const RecordEntry r = ReadSettings(g_Settings.Record[n]);
        CAVChannel* channel = g_pAVChannel[n].load();
        if (channel == nullptr) {
            continue;
        }
        const WPARAM w = static_cast<WPARAM>(r.enc_method + 1) |
                         (static_cast<WPARAM>(r.aud_method + 1) << 8) |
                         (static_cast<WPARAM>(r.recfile) << 16);
        const LPARAM l = static_cast<LPARAM>(r.bitrate) | (static_cast<LPARAM>(r.audbitrate) << 16);
        PostThreadMessage(channel->GetMsgThreadId(), WM_CHANGE_VIDEO_ENC_MODE, w, l);
    }
    WriteLogEntry(LOGTYPE_SYSTEM, 0, SetupLogLine("record", saved, INI_FILE_NAME).c_str());
    ReportUnwrittenFile(saved, INI_FILE_NAME);
}

void CMainDialogState::OnMotionSetup() {
    if (m_pDialogs == nullptr || m_pDialogs->RunMotionSetup() != IDOK) {
        return;
    }
    const bool saved = SaveSettingsFile() == 1;
    WriteLogEntry(LOGTYPE_SYSTEM, 0, SetupLogLine("motion", saved, SETTINGS_FILE_NAME).c_str());
    ReportUnwrittenFile(saved, SETTINGS_FILE_NAME);
}

void CMainDialogState::OnSystemSetup() {
    if (m_pDialogs == nullptr || m_pDialogs->RunSystemSetup() != IDOK) {
        return;
    }
    const bool saved = SaveSettingsFile() == 1;
    if (!IsProgramEnding()) {
        ApplySystemSetup();
    }
    WriteLogEntry(LOGTYPE_SYSTEM, 0, SetupLogLine("system", saved, SETTINGS_FILE_NAME).c_str());
    ReportUnwrittenFile(saved, SETTINGS_FILE_NAME);
}

void CMainDialogState::ApplySystemSetup() {
    SetSnapshotFolder(ReadSettingsText(g_Settings.System.sSnapshotPath));
    const std::string folder = GetRecordFolder();
    int drive = -1;
    if (!folder.empty()) {
        const char c = folder[0];
        if (c >= 'C' && c <= 'Z') {
            drive = c - 'C';
        } else if (c >= 'c' && c <= 'z') {
            drive = c - 'c';
        }
    }
    if (folder.empty() || drive < 0 || g_Settings.System.byRecordDrive[drive] == 0) {
        ChooseRecordDrive();
    }
}

void CMainDialogState::OnSaveSettings() {
    // Written after the alert dialog was saved; only a failure is logged.
    if (SaveSettingsFile() != 1) {
        WriteLogEntry(LOGTYPE_SYSTEM, 0, SetupLogLine("alert", false, SETTINGS_FILE_NAME).c_str());
        ReportUnwrittenFile(false, SETTINGS_FILE_NAME);
    }
}

void CMainDialogState::OnLogFile() {
    if (m_pDialogs != nullptr) {
        m_pDialogs->RunLogFile();
    }
}
