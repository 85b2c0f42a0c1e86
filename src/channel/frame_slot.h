#pragma once
// One of the four picture slots of a local channel. A slot is handed from
// the capture thread (FREE -> CAPTURED) to DrawVideo (CAPTURED -> DISPLAYED)
// to the channel's message thread (DISPLAYED -> FREE) by its state byte:
// each owner writes the picture and sizes first and the state last
// (release), and the next owner reads the state before them (acquire).

#include <atomic>
#include <cstdint>
#include <memory>

constexpr int FRAME_SLOT_COUNT = 4;
constexpr int FRAME_SLOT_WIDTH = 352;
constexpr int FRAME_SLOT_HEIGHT = 288;
constexpr int FRAME_SLOT_CAPACITY = FRAME_SLOT_WIDTH * FRAME_SLOT_HEIGHT * 3 / 2;  // 152064
constexpr int FRAME_SLOT_SLACK = 64;
// The smallest picture height that keeps the bottom text line inside it.
constexpr int FRAME_MIN_HEIGHT = 24;

constexpr uint8_t SLOT_FREE = 0;
constexpr uint8_t SLOT_CAPTURED = 1;
constexpr uint8_t SLOT_DISPLAYED = 2;

struct FrameSlot {
    // I420: Y (width x height), then U, then V (each width/2 x height/2).
    // Allocated once when the channel first goes local, freed only with the
    // channel, so no thread ever meets a freed buffer.
    std::unique_ptr<uint8_t[]> pBuffer;
    // Width in the high and height in the low 16 bits, stored as one word
    // so that a reader never pairs the width of one picture with the
    // height of another (after a stop or start marked a busy slot free).
    std::atomic<uint32_t> dwSize{0};
    int nCapacity = 0;
    std::atomic<uint8_t> byState{SLOT_FREE};
    // Pictures dropped while this slot was the write slot and busy (modulo
    // 256); they widen the frame span of the next video packet.
    std::atomic<uint8_t> byDropped{0};

    void SetSize(int width, int height) {
        dwSize.store((static_cast<uint32_t>(width) << 16) |
                     (static_cast<uint32_t>(height) & 0xFFFF));
    }
};
