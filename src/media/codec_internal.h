#pragma once
// Shared by the codec layer's own files only.

#include <mutex>

#include "media/codec_layer.h"

// Around every codec open and close, the search for a free slot and its
// claim, and every record file open and close. The same thread may take it
// again, so a closing function may run while it is held.
extern std::recursive_mutex g_csCodec;

// Frees everything a slot holds (record file first, closed at nowSecond);
// leaves it free.
void ReleaseSlot(CodecSlot* slot, int nowSecond);
// The same without a second from the caller: the record file ends at the
// second of its last packet.
void ReleaseSlot(CodecSlot* slot);

// Writes one packet into the slot's record file when one is open.
void WriteRecordPacket(CodecSlot* slot, bool video, const uint8_t* data, int len, bool key,
                       int nowSecond);

// Frame size in samples of the system's audio codecs at 22050 Hz.
int NominalAudioFrameSize(int codecId);
