#include "media/record_rate.h"

void NoteBeforeRecordPacket(RecordFileState& state, int64_t filePos, int nowSecond,
                            int64_t riffLimit) {
    if (state.bRateFrozen || filePos - kAviFirstRiffStart <= riffLimit) {
        return;
    }
    // This packet already goes into the next RIFF: count what came before it.
    state.bRateFrozen = true;
    state.nFrozenSeconds = nowSecond - state.nStartSecond;
    state.nFrozenFrames = state.nVideoPackets;
}

MeasuredRate FinalRecordRate(const RecordFileState& state, int nowSecond) {
    MeasuredRate rate;
    int64_t seconds = state.bRateFrozen ? state.nFrozenSeconds : nowSecond - state.nStartSecond;
    int64_t frames = state.bRateFrozen ? state.nFrozenFrames : state.nVideoPackets;
    // Under a second, or no picture at all: the nominal rate stays; a zero
    // scale or rate would make the file unplayable.
    if (seconds <= 0 || frames <= 0 || seconds > UINT32_MAX || frames > UINT32_MAX) {
        return rate;
    }
    rate.bValid = true;
    rate.dwScale = static_cast<uint32_t>(seconds);
    rate.dwRate = static_cast<uint32_t>(frames);
    return rate;
}
