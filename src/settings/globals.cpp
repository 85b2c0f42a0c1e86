#include "settings/globals.h"

#include "platform/threads/thread_messages.h"

std::atomic<CAVChannel*> g_pAVChannel[MAX_AV_CHANNELS] = {};
std::atomic<uint8_t> g_nChannelCount{0};
std::atomic<uint8_t> g_nSelectedChannel{0};
std::atomic<int> g_bAudioMute{0};

std::atomic<int> g_nUptimeSeconds{0};
std::atomic<int> g_nTickCount{0};
std::atomic<uint8_t> g_byClockBacklog{0};

std::atomic<uint8_t> g_byFirstAudioDevice{255};

std::atomic<CVideoWallDialog*> g_pVideoWall{nullptr};

std::atomic<ThreadHandle> g_hDrawVideoThread{nullptr};
std::atomic<ThreadId> g_dwDrawVideoThreadId{0};
std::atomic<int> g_bDrawVideoRun{0};
std::atomic<ThreadHandle> g_hSendEmailThread{nullptr};
std::atomic<ThreadId> g_dwSendEmailThreadId{0};
std::atomic<int> g_bSendEmailRun{0};
std::atomic<ThreadHandle> g_hFtpUploadThread{nullptr};
std::atomic<ThreadId> g_dwFtpUploadThreadId{0};
std::atomic<int> g_bFtpUploadRun{0};

int GetUptimeSeconds() {
    return g_nUptimeSeconds.load();
}

bool StopWorkerThread(std::atomic<ThreadHandle>& hThread, std::atomic<ThreadId>& dwThreadId,
                      std::atomic<int>& bRun, uint32_t timeoutMs) {
    ThreadHandle h = hThread.load();
    if (h == nullptr) {
        return true;
    }
    // The flag goes first: a worker busy in a step sees it before it waits.
    bRun = 0;
    PostThreadMessage(dwThreadId.load(), WM_THREAD_QUIT, 0, 0);
    const bool ended = WaitForThread(h, timeoutMs);
    hThread = nullptr;
    dwThreadId = 0;
    CloseThreadHandle(h);
    return ended;
}
