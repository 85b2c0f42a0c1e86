#pragma once
// MP3 decoding through LAME's decoding interface, one decoder state per
// codec slot. LAME's decoder gives wrong output when two states decode at
// the same time, so every call into it is serialised process-wide.

#include <cstdint>

struct Mp3Decoder;

Mp3Decoder* Mp3DecoderOpen();
void Mp3DecoderClose(Mp3Decoder* decoder);

// Decodes one packet (any number of whole or partial frames) and writes the
// first channel's samples, at most capacitySamples of them; frames beyond
// the capacity stay queued for the next call. Returns the samples written,
// or -1 when LAME reports an error.
// out holds 16-bit little-endian samples at any alignment.
int Mp3DecoderDecode(Mp3Decoder* decoder, const uint8_t* data, int len, uint8_t* out,
                     int capacitySamples);
