#include "netservice/stream_sender.h"

#include "netservice/stream_header.h"
#include "platform/net/net_transfer.h"
#include "platform/threads/thread_messages.h"

CStreamSender::CStreamSender(uint32_t peerIp, NetSocket sock)
    : dwPeerIp(peerIp),
      sock(sock),
      pQueue(std::make_unique<CStreamQueue>()),
      pSendBuffer(std::make_unique<uint8_t[]>(STREAM_HEADER_BYTES + STREAM_SEND_MAX_PAYLOAD)) {
    hThread = CreateThread(&CStreamSender::StreamSendThread, this, &dwThreadId);
    if (hThread == nullptr) {
        dwThreadId = 0;  // no packet will ever go to this viewer
    }
}

CStreamSender::~CStreamSender() {
    if (hThread != nullptr) {
        bRun = 0;
        pQueue->SetNotifyThread(0);
        PostThreadMessage(dwThreadId, WM_THREAD_QUIT, 0, 0);
        WaitForThread(hThread, INFINITE);
        CloseThreadHandle(hThread);
        hThread = nullptr;
    }
}

bool CStreamSender::EnableNotify(bool on) {
    if (hThread == nullptr) {
        return false;
    }
    pQueue->SetNotifyThread(on ? dwThreadId : 0);
    if (on) {
        // Packets the fan-out queued before this point had nobody to tell.
        PostThreadMessage(dwThreadId, WM_STREAM_FRAME_READY, 0, 0);
    }
    return true;
}

uint32_t CStreamSender::StreamSendThread(void* param) {
    static_cast<CStreamSender*>(param)->Run();
    return 0;
}

void CStreamSender::Run() {
    ThreadMessage msg;
    while (GetMessage(&msg)) {
        if (msg.message == WM_THREAD_QUIT || bRun.load() == 0) {
            break;
        }
        if (msg.message != WM_STREAM_FRAME_READY) {
            continue;
        }
        // The queue posts only when it turns non-empty, so one message
        // stands for everything queued: drain until the queue is seen empty.
        bool ok = SendNextFrame();
        while (ok && bRun.load() != 0 && !pQueue->IsEmpty()) {
            ok = SendNextFrame();
        }
        if (!ok) {
            break;
        }
    }
    bConnected = false;
}

bool CStreamSender::SendNextFrame() {
    uint8_t* buffer = pSendBuffer.get();
    uint32_t header = 0;
    const int n = pQueue->Pop(buffer + STREAM_HEADER_BYTES, &header, STREAM_SEND_MAX_PAYLOAD);
    if (n <= 0) {
        return true;  // nothing queued, or a packet too long for any viewer
    }
    WriteStreamHeader(buffer, header);
    const int headerBytes = static_cast<int>(STREAM_HEADER_BYTES);
    int total = n + headerBytes;
    // Packets queued behind it join it while they fit the same block: one
    // call and one run of segments for a burst of small packets, the same
    // bytes on the wire.
    while (STREAM_SEND_BLOCK - total > headerBytes) {
        const int more = pQueue->PopIfFits(buffer + total + headerBytes, &header,
                                           STREAM_SEND_BLOCK - total - headerBytes);
        if (more <= 0) {
            break;
        }
        WriteStreamHeader(buffer + total, header);
        total += more + headerBytes;
    }
    // Block by block, so a stop is seen within one block; each block goes
    // out whole or the connection is given up (a part would break the
    // viewer's framing).
    for (int pos = 0; pos < total; pos += STREAM_SEND_BLOCK) {
        const int len = total - pos < STREAM_SEND_BLOCK ? total - pos : STREAM_SEND_BLOCK;
        if (SendAllProgress(sock, buffer + pos, static_cast<size_t>(len)) != SendResult::Complete) {
            return false;
        }
        if (bRun.load() == 0) {
            return false;
        }
    }
    return true;
}
