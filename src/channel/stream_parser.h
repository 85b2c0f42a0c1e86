#pragma once
// Splits a remote channel's stream phase (each packet a 4-byte StreamHeader
// word and its payload, cut into receive buffers at arbitrary points) back
// into packets for its CFrameQueue, keeping a partly received header or
// payload from one buffer to the next. Nothing is queued before the first
// video key frame, so the decoder always starts on a picture it can decode.
//
// Every buffer is parsed to its end. A header announcing more than the
// largest payload a sender produces means the stream has lost its framing
// (there is no marker to find it again): the parser stops and reports it,
// and the connection is to be closed; a new connection starts clean.
//
// Runs on the channel's receive thread only; the key-frame flag is also
// read by the display step.

#include <atomic>
#include <cstdint>

class CFrameQueue;

constexpr int STREAM_PARSER_MAX_PAYLOAD = 256000;
// A header announcing fewer payload bytes is read as announcing this many.
constexpr int STREAM_PARSER_MIN_PAYLOAD = 4;

class CStreamParser {
public:
    explicit CStreamParser(CFrameQueue* queue) : pFrameQueue(queue) {}

    // Parses count bytes. False when the stream is broken (now or before):
    // the bytes from the bad header on were not looked at.
    bool ParseStreamData(const uint8_t* bytes, int count);

    // Empties the state for a new connection: no partial header or payload,
    // gate closed.
    void Reset();
    // Closes the gate at once (the display step stops taking packets).
    void ClearKeyFrameSeen() { bKeyFrameSeen.store(0); }

    int IsKeyFrameSeen() const { return bKeyFrameSeen.load(); }
    bool IsBroken() const { return bBroken; }
    int GetHeaderBytes() const { return nHeaderBytes; }
    int GetPayloadMissing() const { return nPayloadMissing; }
    uint32_t GetCurrentHeader() const { return dwCurrentHeader; }

private:
    CFrameQueue* const pFrameQueue;
    std::atomic<int> bKeyFrameSeen{0};
    int nHeaderBytes = 0;
    uint8_t byHeaderBuf[4] = {};
    uint32_t dwCurrentHeader = 0;
    int nPayloadMissing = 0;
    bool bBroken = false;
};
