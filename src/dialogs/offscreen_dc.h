#pragma once
// A drawing context over an off-screen bitmap of the target rectangle's
// size: everything is drawn there and copied to the target in one step
// when the context ends, so a control repainted often does not flicker.
// It keeps the target's logical coordinates, which suits a client
// rectangle that starts at (0, 0).

#include <memory>

#include "platform/ui/gdi.h"

class COffscreenDC : public CDC {
public:
    COffscreenDC(CDC* pDC, const RECT& rect);
    ~COffscreenDC() override;
    COffscreenDC(const COffscreenDC&) = delete;
    COffscreenDC& operator=(const COffscreenDC&) = delete;

private:
    std::unique_ptr<CBitmap> m_pBitmap;
    CBitmap* m_pOldBitmap = nullptr;
    CDC* m_pTargetDC;  // not owned
    RECT m_rect;
};
