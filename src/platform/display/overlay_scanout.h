#pragma once
// What the overlay hardware shows over a screen: the shown part (src) of a
// YUY2 picture stretched onto a screen rectangle (dst), wherever the screen
// holds the destination colour key.
//
// The source row and column of every screen pixel are worked out once per
// position, and the runs of key pixels of each screen row once per change
// of that row. A new picture is compared row by row with the one before, so
// only the overlay's pixels of the screen rows that show a changed row need
// doing again; such a row is converted to RGB once, as it is keyed in. Not
// locked: the display target that owns it calls it under its own lock.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/wintypes/rect.h"

// Converts height rows of width YUY2 pixels (rows srcPitch bytes apart)
// into B, G, R, x quads (rows dstStride pixels apart); whole pairs only.
using Yuy2RgbConverter = void (*)(uint8_t* dst, int dstStride, const uint8_t* src, int srcPitch,
                                  int width, int height);

class OverlayScanout {
public:
    // The screen's size and depth (15, 16, 24 or 32; 8 counts as 32).
    OverlayScanout(int screenWidth, int screenHeight, int depth);

    // The converter to RGB; null: the display's own conversion.
    void SetConverter(Yuy2RgbConverter convert);

    // Shows or hides it; colorKey is in the screen's own pixel format.
    void SetPosition(bool shown, const RECT& src, const RECT& dst, uint32_t colorKey);
    // Takes the front buffer's rows that differ from the picture before and
    // returns the screen areas that show them; nullopt when the picture's
    // size changed, which may change all of Area() and Area() itself.
    std::optional<std::vector<RECT>> SetPicture(const uint8_t* yuy2, int width, int height,
                                                int pitch);

    bool Shown() const { return shown_; }
    // The screen area it is keyed into: dst on the screen; empty while
    // hidden, without a picture that holds src, or with a key no screen
    // pixel can hold.
    RECT Area() const;

    // Row y of the screen over columns x0..x1 (inside Area()): out takes
    // the overlay's pixel where screen holds the key, else screen's.
    void KeyRow(int y, int x0, int x1, const uint32_t* screen, uint32_t* out);
    // The screen's row y changed (any y): its key runs are found again.
    void ScreenRowChanged(int y);
    // Row y of the screen (inside Area()), whose out already holds the
    // screen's pixels: the overlay's pixels again where screen holds the key.
    void RefreshRow(int y, const uint32_t* screen, uint32_t* out);

private:
    void BuildMaps();
    void AddScreenRows(int from, int to, std::vector<RECT>* areas) const;
    // Source row sy converted over at least the pairs of source columns
    // under screen columns x0..x1.
    const uint32_t* ConvertedRow(int sy, int x0, int x1);

    const int screenWidth_;
    const int screenHeight_;
    const int depth_;
    Yuy2RgbConverter convert_ = nullptr;

    bool shown_ = false;
    RECT src_{};
    RECT dst_{};
    RECT area_{};  // dst on the screen
    bool keyMatches_ = false;
    uint32_t keyPixel_ = 0;  // the screen word that holds the key

    // Source column and row of each screen column and row of area_.
    std::vector<int> columns_;
    std::vector<int> rows_;

    // The runs of key pixels of each screen row of area_, while known.
    struct Run {
        int from;
        int to;
    };
    std::vector<std::vector<Run>> runs_;
    std::vector<uint8_t> runsKnown_;

    int width_ = 0;
    int height_ = 0;
    int pitch_ = 0;
    std::vector<uint8_t> yuy2_;

    // The source row last converted (as the screen shows it) and the
    // columns converted, kept while the next screen row shows the same row.
    std::vector<uint32_t> rowRgb_;
    int convertedRow_ = -1;
    int convertedFrom_ = 0;
    int convertedTo_ = 0;
};
