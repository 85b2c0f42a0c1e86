#pragma once
// The frame every setup dialog shares: the skin (bitmap 133) behind the
// dialog and its controls with the frame's colours; a working copy of one
// slice of the live settings that the controls edit; "Save", which copies
// the working copy over the live slice, and "Exit", which asks "Setting is
// changed! Back to save?" when the two differ. A dialog in which Save was
// pressed ends with IDOK however it ends (Exit, Esc, or the program's end),
// so its opener persists and applies what the live settings now hold;
// otherwise it ends with IDCANCEL.
//
// A dialog gives its slice (StoreControls, CopyWorkingToLive,
// WorkingDiffersFromLive), binds its members in DoDataExchange, maps its
// Save button to OnSave, and does its own clean-up in ReleaseOnLeave.

#include <cstdint>
#include <cstring>

#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"
#include "settings/settings_lock.h"

class CSetupDialog : public CDialog {
public:
    CSetupDialog(UINT nIDTemplate, CWnd* pParentWnd);

    BOOL IsSaved() const { return m_bSaved != 0 ? TRUE : FALSE; }
    INT_PTR ResultWhenProgramEnds() const override;
    void OnProgramEnding() override;

    // Save: the controls into the working copy, the working copy over the
    // live slice. The dialog stays open.
    virtual void OnSave();

protected:
    // The base initialisation (showing the members), then the skin.
    BOOL OnInitDialog() override;
    // Exit: the controls into the working copy; when it differs from the
    // live slice, the question (Yes keeps the dialog open); then, after a
    // Save, the final read (the dialog stays open while it fails) and IDOK,
    // else IDCANCEL.
    void OnOK() override;
    // Esc: ends at once, IDOK after a Save.
    void OnCancel() override;
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;

    // The dialog's slice.
    virtual void StoreControls() = 0;  // controls -> working copy
    virtual void CopyWorkingToLive() = 0;
    virtual bool WorkingDiffersFromLive() const = 0;
    // What the dialog releases on every way out, just before it ends.
    virtual void ReleaseOnLeave() {}

    void EndSetupDialog(int nResult);

    // The spin rule: a negative delta (the up arrow) adds 1 below the
    // maximum, any other subtracts 1 above the minimum. TRUE when the value
    // changed.
    static BOOL SpinStep(int& value, int iDelta, int nMin, int nMax);

    // The channel button row: the shown channel's button looks selected
    // (a check box type, checked); releasing undoes that.
    void SelectRowButton(int nID);
    void ReleaseRowButton(int nID);

    CBitmap m_bmpSkin;
    CBrush m_brSkin;
    int m_bSaved = 0;  // set by Save, never cleared
};

// A radio group's or a drop-down list's index into its byte; with none
// chosen (-1) the stored value stays.
inline void StoreIndex(std::uint8_t& field, int index) {
    if (index >= 0) {
        field = static_cast<std::uint8_t>(index & 0xFF);
    }
}

// Working copies and live slices: whole copies and comparisons under the
// settings mutex, as the workers read the live settings meanwhile.
template <typename T>
void CopyLiveSlice(T& working, const T& live) {
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    std::memcpy(&working, &live, sizeof(T));
}

template <typename T>
void StoreLiveSlice(T& live, const T& working) {
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    std::memcpy(&live, &working, sizeof(T));
}

template <typename T>
bool SliceDiffers(const T& working, const T& live) {
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    return std::memcmp(&working, &live, sizeof(T)) != 0;
}
