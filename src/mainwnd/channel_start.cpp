// Starting the configured channels and connecting network channels.

#include <cstdio>

#include "capture/capture_formats.h"
#include "capture/capture_graph.h"
#include "capture/crossbar_helper.h"
#include "channel/av_channel.h"
#include "mainwnd/channel_codec_params.h"
#include "mainwnd/main_dialog_state.h"
#include "mainwnd/resolve_host.h"
#include "netservice/login_server.h"
#include "platform/threads/thread_messages.h"
#include "settings/globals.h"
#include "settings/log_entry.h"
#include "settings/settings.h"
#include "settings/settings_lock.h"

void CMainDialogState::StartChannels() {
    const int count = g_nChannelCount.load();
    for (int n = 0; n < count; ++n) {
        const ChannelEntry source = ReadSettings(g_Settings.Channel[n]);
        CAVChannel* channel = g_pAVChannel[n].load();
        if (source.status == 0 || channel == nullptr) {
            continue;
        }
        if (source.mode == SOURCE_LOCAL) {
            const int video = source.videoin - 1;  // -1: none
            const int audio = source.audioin - 1;
            channel->SetEncodeParams(CodecParamsOf(source, ReadSettings(g_Settings.Record[n])));
            channel->StartLocal(video, audio);
            CheckPictureSource(n, source, *channel);
            // Without a video device the byte is 255, which is refused.
            SelectVideoMode(static_cast<uint8_t>(video), source.width, source.height,
                            source.framenum);
            ApplyVideoInput(n, source);
        } else if (source.mode == SOURCE_NETWORK) {
            ConnectRemoteChannel(static_cast<uint8_t>(n));
        }
    }
    RunCapture();
    if (hooks.repaintControlStrip) {
        hooks.repaintControlStrip();
    }
}

void CMainDialogState::CheckPictureSource(int n, const ChannelEntry& source, CAVChannel& channel) {
    const int video = source.videoin - 1;
    const bool camera = video >= 0 && IsPictureSource(static_cast<uint8_t>(video)) != 0;
    if (camera && channel.HasEncoder()) {
        return;
    }
    char text[40];
    std::snprintf(text, sizeof text, "CH%d has no picture source!", n + 1);
    WriteLogEntry(LOGTYPE_RECORD, n + 1, text);
}

void CMainDialogState::ApplyVideoInput(int n, const ChannelEntry& source) {
    if (source.videoin == 0 || source.videosubin == 0) {
        return;
    }
    if (SelectCaptureInput(static_cast<uint8_t>(source.videoin - 1), source.videosubin - 1) == 1) {
        return;
    }
    char text[48];
    std::snprintf(text, sizeof text, "CH%d has no video input %d!", n + 1, source.videosubin);
    WriteLogEntry(LOGTYPE_RECORD, n + 1, text);
}

int CMainDialogState::ConnectRemoteChannel(uint8_t n) {
    if (n >= g_nChannelCount.load()) {
        return 0;
    }
    const ChannelEntry source = ReadSettings(g_Settings.Channel[n]);
    CAVChannel* channel = g_pAVChannel[n].load();
    if (source.status == 0 || source.mode != SOURCE_NETWORK || channel == nullptr) {
        return 0;
    }
    // Bounded copies: a field without its zero never reads past its end.
    const std::string address = ReadSettingsText(source.netipaddr);
    const uint32_t ip = ResolveHost(address.c_str());
    channel->SetRemoteLogin(ReadSettingsText(source.username).c_str(),
                            ReadSettingsText(source.passwd).c_str());
    const LPARAM port =
        static_cast<LPARAM>(m_wPeerPort) | (static_cast<LPARAM>(source.netchno) << 16);
    PostThreadMessage(channel->GetMsgThreadId(), WM_CHANNEL_CONNECT, ip, port);
    return 1;
}
