#pragma once
// A PCM wave output in the manner of the wave output service the live
// sound was written against: open a device for a format, prepare buffers,
// queue them, and get a WOM_DONE callback (on the device's own thread) for
// each buffer once it has been played. The callback may queue buffers
// again. The sound goes to the output service installed (pcm_output.h): ALSA
// in the program, the paced null output or a recording one in tests.

#include <cstdint>
#include <memory>

#include "platform/sound/pcm_output.h"

using MMRESULT = uint32_t;
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;

constexpr unsigned WAVE_MAPPER = 0xFFFFFFFFu;
constexpr uint32_t CALLBACK_FUNCTION = 0x00030000u;

constexpr unsigned WOM_OPEN = 0x3BB;
constexpr unsigned WOM_CLOSE = 0x3BC;
constexpr unsigned WOM_DONE = 0x3BD;

constexpr uint32_t WHDR_DONE = 0x00000001u;
constexpr uint32_t WHDR_PREPARED = 0x00000002u;
constexpr uint32_t WHDR_INQUEUE = 0x00000010u;

struct WAVEHDR {
    uint8_t* lpData;
    uint32_t dwBufferLength;
    uint32_t dwBytesRecorded;
    uintptr_t dwUser;
    uint32_t dwFlags;
    uint32_t dwLoops;
    WAVEHDR* lpNext;
    uintptr_t reserved;
};

using HWAVEOUT = struct WaveOutDevice*;
// (device, message, instance value, first parameter, second parameter);
// for WOM_DONE the first parameter is the finished WAVEHDR.
using WaveOutProc = void (*)(HWAVEOUT hwo, unsigned msg, uintptr_t instance, uintptr_t param1,
                             uintptr_t param2);

// Devices of the output service in use (0: no sound card).
unsigned waveOutGetNumDevs();
// Opens a device (WAVE_MAPPER or 0 .. count - 1) for 16-bit PCM at 8000 to
// 48000 Hz, mono or stereo, with a CALLBACK_FUNCTION callback.
MMRESULT waveOutOpen(HWAVEOUT* phwo, unsigned deviceId, const WAVEFORMATEX* format,
                     WaveOutProc callback, uintptr_t instance, uint32_t flags);
MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, WAVEHDR* hdr, uint32_t size);
// WAVERR_STILLPLAYING while the buffer is queued.
MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, WAVEHDR* hdr, uint32_t size);
MMRESULT waveOutWrite(HWAVEOUT hwo, WAVEHDR* hdr, uint32_t size);
// Stops playing and hands every queued buffer back (WOM_DONE); when it
// returns, no buffer of the device is in use any more.
MMRESULT waveOutReset(HWAVEOUT hwo);
// WAVERR_STILLPLAYING while buffers are queued; waits for a callback that
// is still running. Neither this nor waveOutReset may be called from the
// device's own callback.
MMRESULT waveOutClose(HWAVEOUT hwo);
