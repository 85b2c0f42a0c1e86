#pragma once
// The screen the display surfaces draw on: one top-level window's client
// area as an image of 0xFFRRGGBB words (bytes B, G, R, 255: the layout of
// QImage::Format_RGB32), and the windows placed on it.
//
// Screen coordinates are the target's pixel coordinates. The image holds
// what the primary surface holds, in the colours a screen of the target's
// depth shows; the YUY2 overlay is not in it but keyed in by the compose,
// as a card shows an overlay wherever the screen holds the key colour.
//
// The composed picture is kept and brought up to date only where the
// image or the overlay changed since; the same changes are collected for
// the window, which shows only what changed.
//
// Every access to the image takes the target's lock, so the window may
// paint and show it on its own thread while the renderer blits.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/display/overlay_scanout.h"
#include "platform/wintypes/rect.h"

class DisplayTarget {
public:
    // depth: 15, 16, 24 or 32 bits per pixel of the screen (8 is accepted
    // and shown as 32). The image starts black.
    DisplayTarget(int width, int height, int depth = 32);
    DisplayTarget(const DisplayTarget&) = delete;
    DisplayTarget& operator=(const DisplayTarget&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Depth() const { return depth_; }

    // Paints rc (clipped to the image) with an RGB colour as the screen
    // stores it (a 16-bit screen drops the low bits).
    void FillRect(const RECT& rc, uint32_t rgb);

    // One pixel of the primary image (0 outside).
    uint32_t Pixel(int x, int y) const;

    // What the user sees: the image with the shown overlay keyed in.
    std::vector<uint32_t> Compose();
    // The same into dst (Width() x Height() words, rows strideWords apart).
    void ComposeInto(uint32_t* dst, int strideWords);
    // Brings the composed picture up to date and hands it to
    // show(const uint32_t* pixels, int strideWords) under the lock, so a
    // window draws from it without a copy of its own.
    template <typename Show>
    void ShowComposed(Show&& show) {
        auto lock = Lock();
        UpdateComposedLocked();
        show(static_cast<const uint32_t*>(composed_.data()), width_);
    }
    // The screen areas whose composed picture changed since the last call
    // (none when nothing did).
    std::vector<RECT> TakeChanged();

    // How the overlay's YUY2 picture becomes RGB (null: the display's own
    // conversion); set by whoever makes the overlay.
    void SetOverlayConverter(Yuy2RgbConverter convert);
    // What the overlay hardware shows; set by the surface service.
    void SetOverlayPosition(bool shown, const RECT& src, const RECT& dst, uint32_t colorKey);
    void SetOverlayPicture(const uint8_t* yuy2, int width, int height, int pitch);
    bool OverlayShown() const;

    // For the surface service: the image under the lock, and the area it
    // drew through Row (still under the lock).
    std::unique_lock<std::mutex> Lock() const { return std::unique_lock<std::mutex>(mutex_); }
    uint32_t* Row(int y) { return image_.data() + static_cast<size_t>(y) * width_; }
    void DrawnLocked(const RECT& rc);

private:
    // The columns of one row that changed; empty when left >= right.
    struct RowSpan {
        int left = 0;
        int right = 0;
    };

    void UpdateComposedLocked();
    // Only the overlay's pixels of rc's rows show something new.
    void OverlayRowsLocked(const RECT& rc);

    const int width_;
    const int height_;
    const int depth_;
    mutable std::mutex mutex_;
    std::vector<uint32_t> image_;
    std::vector<uint32_t> composed_;
    std::vector<RowSpan> stale_;         // per row: composed_ is out of date there
    std::vector<uint8_t> overlayStale_;  // per row: so are the overlay's pixels
    std::vector<RowSpan> unshown_;       // per row: changed since TakeChanged
    OverlayScanout overlay_;
};

// A window on a target: its client area and its whole rectangle (border
// included), both in screen coordinates. Windows register themselves, so
// IsWindow answers safely after one was destroyed.
class DisplayWindow {
public:
    DisplayWindow(std::shared_ptr<DisplayTarget> target, const RECT& clientOnScreen,
                  int border = 0);
    ~DisplayWindow();
    DisplayWindow(const DisplayWindow&) = delete;
    DisplayWindow& operator=(const DisplayWindow&) = delete;

    // Moves or sizes the client area (the border keeps its width).
    void MoveTo(const RECT& clientOnScreen);

    std::shared_ptr<DisplayTarget> Target() const;
    RECT ClientOnScreen() const;
    RECT WindowOnScreen() const;

private:
    std::shared_ptr<DisplayTarget> target_;
    mutable std::mutex mutex_;
    RECT client_;
    int border_;
};

using DisplayWindowHandle = DisplayWindow*;

// True while hWnd is a live window.
bool IsWindow(DisplayWindowHandle hWnd);
// The client rectangle moved to screen coordinates; false (and an empty
// rectangle) when hWnd is not a live window.
bool GetClientRectOnScreen(DisplayWindowHandle hWnd, RECT* pRect);
// The whole window rectangle, border included, in screen coordinates.
bool GetWindowRect(DisplayWindowHandle hWnd, RECT* pRect);
// The target a live window is on; null otherwise.
std::shared_ptr<DisplayTarget> GetWindowTarget(DisplayWindowHandle hWnd);
