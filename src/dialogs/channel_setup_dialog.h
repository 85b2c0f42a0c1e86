#pragma once
// "Channel Setup..." (template 131): the number of channels and, channel by
// channel, where its pictures and sound come from: capture devices with a
// picture size, frame rate and video input, or a channel of another
// recorder on the network (address, channel, user, password). The count
// reaches the working copy only through "Change", a channel's source only
// through "Rectify Channel", its status through "Change Status" (or the
// space bar in the list); "Delete Channel" (or the Delete key) empties it.
// Exit and Save do not read the controls.
//
// Channels name their devices as the channel start reads them: videoin is
// the video device's capture table index + 1, audioin its position among
// all audio devices + 1, so a device the capture layer refused (and this
// dialog does not list) moves no other channel to another device.

#include <cstdint>
#include <vector>

#include "capture/capture_formats.h"
#include "dialogs/setup_dialog.h"
#include "platform/ui/controls.h"
#include "platform/ui/cstring.h"
#include "settings/settings.h"

// The working copy: the channel count and the 16 channel sources.
struct ChannelTable {
    std::uint8_t nChConfigNum;
    ChannelEntry Channel[MAX_CHANNELS];
};
extern ChannelTable g_EditChannelTable;

// What the dialog keeps of one listed video device.
struct VideoDeviceChoice {
    std::uint8_t byDevice = 0;  // capture table index
    std::vector<VideoModeItem> sizes;
    std::vector<CString> inputNames;
};

class CChannelSetupDialog : public CSetupDialog {
public:
    explicit CChannelSetupDialog(CWnd* pParentWnd = nullptr);

    void FillDeviceLists();
    void RefreshChannelList();
    void OnChangeCount();
    void OnChannelSelChange();
    void OnVideoDeviceChange();
    void OnVideoSizeChange();
    void OnSourceKind();
    void OnRectifyChannel();
    void OnDeleteChannel();
    void OnChangeStatus();
    void OnListClick();
    void OnListKeyDown(UINT virtualKey);
    void OnRemoteChannelSpin(int iDelta);

    const std::vector<VideoDeviceChoice>& VideoDevices() const { return m_videoDevices; }

    int m_nChannelCountSel = -1;
    int m_nSourceKind = 0;  // 0 local, 1 network
    int m_nRemoteChannel = 0;
    CString m_sUserName;
    CString m_sPassword;
    CString m_sNetAddress;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // Exit and Save take nothing from the controls.
    void StoreControls() override {}
    void CopyWorkingToLive() override;
    bool WorkingDiffersFromLive() const override;
    // The device records go once the dialog ends, after the final read.
    void ReleaseOnLeave() override;

private:
    // The first selected row of the list when it is a configured channel,
    // else -1.
    int SelectedConfiguredRow() const;
    void FillChannelChoice(bool select);
    const VideoDeviceChoice* ChosenVideoDevice() const;
    // Reads the local lists into the entry; FALSE when neither a video nor
    // an audio device is chosen.
    BOOL TakeLocalSource(ChannelEntry& entry);

    CComboBox m_cbVideoInput;
    CComboBox m_cbFrameRate;
    CComboBox m_cbVideoSize;
    CComboBox m_cbVideoDevice;
    CComboBox m_cbAudioDevice;
    CComboBox m_cbEditedChannel;
    CListCtrl m_lcChannels;

    std::vector<VideoDeviceChoice> m_videoDevices;  // in the order of the video list
    // For each audio list item after "Empty Device": the device's position
    // among all audio devices.
    std::vector<int> m_audioPositions;
};
