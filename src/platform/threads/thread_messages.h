#pragma once
// Numbers of the thread and window messages the recorder's threads post to
// each other. They are numbered from WM_USER and never change.

#include <cstdint>

constexpr unsigned WM_USER = 0x400;

constexpr unsigned WM_STREAM_FRAME_READY = 0x722;     // viewer sender: a stream packet was queued
constexpr unsigned WM_CHANNEL_CONNECT = 0x734;        // channel: become remote and connect
constexpr unsigned WM_CHANNEL_DISCONNECT = 0x738;     // channel: leave remote mode
constexpr unsigned WM_THREAD_QUIT = 0x73A;            // any worker: leave the message loop
constexpr unsigned WM_DRAW_VIDEO = 0x73C;             // DrawVideo, motion dialog: draw
constexpr unsigned WM_CLOCK_UPDATE = 0x740;           // main dialog: repaint the clock
constexpr unsigned WM_CHANNEL_SNAPSHOT = 0x744;       // channel: take one JPEG snapshot
constexpr unsigned WM_VIDEO_WINDOW_MOVED = 0x746;     // DrawVideo: video window moved or shown
constexpr unsigned WM_VIDEO_LAYOUT = 0x747;           // DrawVideo: channel rectangles changed
constexpr unsigned WM_TRAY_NOTIFY = 0x74E;            // main dialog: tray icon callback
constexpr unsigned WM_CHANNEL_ENCODE_VIDEO = 0x752;   // channel: encode frame slot wParam
constexpr unsigned WM_CHANNEL_ENCODE_AUDIO = 0x753;   // channel: encode wParam bytes of sound
constexpr unsigned WM_CHANGE_VIDEO_ENC_MODE = 0x754;  // channel: record settings changed
constexpr unsigned WM_CHANGE_VIDEO_ENC_SIZE = 0x755;  // channel: captured picture size changed
constexpr unsigned WM_DECODE_VIDEO_MODE = 0x756;      // channel: received video mode changed
constexpr unsigned WM_DECODE_AUDIO_MODE = 0x757;      // channel: received audio mode changed
constexpr unsigned WM_CHANNEL_STOPPED = 0x758;        // DrawVideo: blank channel wParam
constexpr unsigned WM_DAY_SELECTED = 0x759;           // motion dialog: day cell chosen
constexpr unsigned WM_NO_RECORD_DISK = 0x75A;         // main dialog: no record drive with room
constexpr unsigned WM_CHANNEL_SELECTED = 0x75B;       // main dialog: selected channel changed
constexpr unsigned WM_SAVE_SETTINGS = 0x75C;          // main dialog: write the settings file
constexpr unsigned WM_SECOND_TICK = 0x75D;            // SendEmail, FtpUpload: one-second tick
constexpr unsigned WM_ALERT_EMAIL = 0x75E;            // SendEmail: motion alarm on channel wParam
constexpr unsigned WM_ALERT_FTP = 0x75F;              // FtpUpload: motion alarm on channel wParam
