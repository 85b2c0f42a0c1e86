#include "channel/stream_parser.h"

#include <cstring>

#include "channel/frame_queue.h"
#include "netservice/stream_header.h"

bool CStreamParser::ParseStreamData(const uint8_t* bytes, int count) {
    if (bBroken) {
        return false;
    }
    if (bytes == nullptr || count <= 0) {
        return true;
    }
    int pos = 0;
    if (nPayloadMissing > 0) {
        // The buffer starts with (more of) the current packet.
        const int take = nPayloadMissing < count ? nPayloadMissing : count;
        if (bKeyFrameSeen.load() != 0) {
            pFrameQueue->WriteMore(bytes, take);
        }
        nPayloadMissing -= take;
        pos = take;
    }
    while (pos < count) {
        while (nHeaderBytes < 4 && pos < count) {
            byHeaderBuf[nHeaderBytes++] = bytes[pos++];
        }
        if (nHeaderBytes < 4) {
            return true;  // the header ends in the next buffer
        }
        nHeaderBytes = 0;
        dwCurrentHeader = ReadStreamHeader(byHeaderBuf);
        int length = static_cast<int>(GetPayloadLength(dwCurrentHeader));
        if (length < STREAM_PARSER_MIN_PAYLOAD) {
            length = STREAM_PARSER_MIN_PAYLOAD;
        }
        if (length > STREAM_PARSER_MAX_PAYLOAD) {
            bBroken = true;
            return false;
        }
        if (IsVideoKeyFrame(dwCurrentHeader)) {
            bKeyFrameSeen = 1;  // the key frame that opens the gate is queued too
        }
        const int rem = count - pos;
        const int present = length < rem ? length : rem;
        if (bKeyFrameSeen.load() != 0) {
            pFrameQueue->WriteFrame(bytes + pos, dwCurrentHeader, present, length);
        }
        nPayloadMissing = length - present;
        pos += present;
    }
    return true;
}

void CStreamParser::Reset() {
    bKeyFrameSeen = 0;
    nHeaderBytes = 0;
    std::memset(byHeaderBuf, 0, sizeof byHeaderBuf);
    dwCurrentHeader = 0;
    nPayloadMissing = 0;
    bBroken = false;
}
