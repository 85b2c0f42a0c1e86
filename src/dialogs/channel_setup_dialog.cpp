#include "dialogs/channel_setup_dialog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "capture/capture_graph.h"
#include "platform/msgbox/message_box.h"
#include "platform/profile/profile_text.h"
#include "platform/textcodec/gb2312_codec.h"
#include "res/channel_setup_ids.h"

ChannelTable g_EditChannelTable;

namespace {

// The list view's own colours (COLORREF values).
constexpr COLORREF kListBack = 0xF09A3C;
constexpr COLORREF kListText = 0x575757;

constexpr int kRemoteChannelMin = 0;
constexpr int kRemoteChannelMax = 15;
constexpr int kUserNameBytes = 16;
// What the ini file gives back at the next start (a longer text would come
// back cut, and an address would then lead elsewhere).
constexpr int kNetAddressBytes = 59;
constexpr int kPasswordBytes = 29;
constexpr size_t kDeviceNameBytes = 117;

constexpr int kNameBufferBytes = 512;
constexpr int kInputsBufferBytes = 4096;
constexpr int kModeBufferBytes = 2048;
constexpr size_t kMostSizes = 64;
constexpr size_t kMostInputs = 64;

// The text cut to at most max bytes without splitting a double-byte
// character.
std::string CutToBytes(std::string_view text, size_t max) {
    size_t end = 0;
    while (end < text.size()) {
        const size_t step =
            static_cast<unsigned char>(text[end]) >= 0x81 && end + 1 < text.size() ? 2 : 1;
        if (end + step > max) {
            break;
        }
        end += step;
    }
    return std::string(text.substr(0, end));
}

template <size_t N>
void StoreText(char (&field)[N], std::string_view text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

CString FieldText(std::string_view text) {
    return CString(std::string(text));
}

// The ini file's reader drops spaces and tabs at both ends of a value, so
// the text is taken as the next start will read it.
void TrimAsTheIniReads(CString& text) {
    text = CString(TrimProfileText(text.Str()));
}

CString ItemText(const CComboBox& list, int index) {
    CString text;
    if (index >= 0) {
        list.GetLBText(index, text);
    }
    return text;
}

CString SizeText(long width, long height) {
    CString text;
    text.Format("%ld*%ld", width, height);
    return text;
}

CString RateText(int fps) {
    CString text;
    text.Format("%02d", fps);
    return text;
}

void SelectText(CComboBox& list, const CString& text) {
    list.SetCurSel(list.FindStringExact(-1, text.GetString()));
}

void FillChannelNames(CComboBox& list, int count) {
    list.ResetContent();
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "CH%02d", i + 1);
        list.AddString(name);
    }
}

}  // namespace

CChannelSetupDialog::CChannelSetupDialog(CWnd* pParentWnd)
    : CSetupDialog(IDD_CHANNEL_SETUP, pParentWnd) {
    MapCommand(IDC_CHANNEL_SAVE, [this] { OnSave(); });
    MapCommand(IDC_CHANGE_COUNT, [this] { OnChangeCount(); });
    MapCommand(IDC_SOURCE_LOCAL, [this] { OnSourceKind(); });
    MapCommand(IDC_SOURCE_NET, [this] { OnSourceKind(); });
    MapCommand(IDC_RECTIFY_CHANNEL, [this] { OnRectifyChannel(); });
    MapCommand(IDC_DELETE_CHANNEL, [this] { OnDeleteChannel(); });
    MapCommand(IDC_CHANGE_STATUS, [this] { OnChangeStatus(); });
    MapControlNotify(IDC_EDITED_CHANNEL, CBN_SELCHANGE, [this] { OnChannelSelChange(); });
    MapControlNotify(IDC_VIDEO_DEVICE, CBN_SELCHANGE, [this] { OnVideoDeviceChange(); });
    MapControlNotify(IDC_VIDEO_SIZE, CBN_SELCHANGE, [this] { OnVideoSizeChange(); });
    MapNotify(IDC_CHANNEL_LIST, NM_CLICK, [this](NMHDR*, LRESULT*) { OnListClick(); });
    MapNotify(IDC_CHANNEL_LIST, LVN_KEYDOWN, [this](NMHDR* header, LRESULT*) {
        OnListKeyDown(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey);
    });
    MapNotify(IDC_REMOTE_CHANNEL_SPIN, UDN_DELTAPOS, [this](NMHDR* header, LRESULT* result) {
        OnRemoteChannelSpin(reinterpret_cast<NMUPDOWN*>(header)->iDelta);
        *result = 0;
    });
}

BOOL CChannelSetupDialog::OnInitDialog() {
    CSetupDialog::OnInitDialog();
    m_lcChannels.SetBkColor(kListBack);
    m_lcChannels.SetTextColor(kListText);
    m_lcChannels.SetTextBkColor(kListBack);

    {
        std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
        g_EditChannelTable.nChConfigNum = g_Settings.nChConfigNum;
        CopyLiveSlice(g_EditChannelTable.Channel, g_Settings.Channel);
    }
    m_nChannelCountSel = g_EditChannelTable.nChConfigNum;
    FillChannelNames(m_cbEditedChannel, g_EditChannelTable.nChConfigNum);
    m_cbEditedChannel.SetCurSel(0);

    m_lcChannels.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    RECT client{};
    m_lcChannels.GetClientRect(&client);
    const int tenth = (client.right - client.left) / 10;
    m_lcChannels.InsertColumn(0, "Channel", LVCFMT_LEFT, tenth);
    m_lcChannels.InsertColumn(1, "Status", LVCFMT_LEFT, tenth);
    m_lcChannels.InsertColumn(2, "Config", LVCFMT_LEFT, tenth);
    m_lcChannels.InsertColumn(3, "Details information...", LVCFMT_LEFT, tenth * 7);

    m_nSourceKind = 0;
    m_nRemoteChannel = 0;
    m_sUserName.Empty();
    m_sPassword.Empty();
    m_sNetAddress.Empty();

    FillDeviceLists();
    RefreshChannelList();
    UpdateData(FALSE);
    OnChannelSelChange();
    return TRUE;
}

void CChannelSetupDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_VIDEO_INPUT, m_cbVideoInput);
    DDX_Control(pDX, IDC_FRAME_RATE, m_cbFrameRate);
    DDX_Control(pDX, IDC_VIDEO_SIZE, m_cbVideoSize);
    DDX_Control(pDX, IDC_VIDEO_DEVICE, m_cbVideoDevice);
    DDX_Control(pDX, IDC_AUDIO_DEVICE, m_cbAudioDevice);
    DDX_Control(pDX, IDC_EDITED_CHANNEL, m_cbEditedChannel);
    DDX_Control(pDX, IDC_CHANNEL_LIST, m_lcChannels);
    DDX_CBIndex(pDX, IDC_CHANNEL_COUNT, m_nChannelCountSel);
    DDX_Radio(pDX, IDC_SOURCE_LOCAL, m_nSourceKind);
    DDX_Text(pDX, IDC_REMOTE_CHANNEL, m_nRemoteChannel);
    DDV_MinMaxInt(pDX, m_nRemoteChannel, kRemoteChannelMin, kRemoteChannelMax);
    DDX_Text(pDX, IDC_NET_USER, m_sUserName);
    DDV_MaxChars(pDX, m_sUserName, kUserNameBytes);
    DDX_Text(pDX, IDC_NET_PASSWORD, m_sPassword);
    DDV_MaxChars(pDX, m_sPassword, kPasswordBytes);
    DDX_Text(pDX, IDC_NET_ADDRESS, m_sNetAddress);
    DDV_MaxChars(pDX, m_sNetAddress, kNetAddressBytes);
}

void CChannelSetupDialog::FillDeviceLists() {
    m_cbVideoDevice.ResetContent();
    m_cbVideoDevice.SetCurSel(m_cbVideoDevice.AddString("Empty Device"));
    m_cbVideoSize.ResetContent();
    m_cbFrameRate.ResetContent();
    m_cbVideoInput.ResetContent();
    m_cbVideoInput.SetCurSel(m_cbVideoInput.AddString("No Input"));
    m_cbAudioDevice.ResetContent();
    m_cbAudioDevice.SetCurSel(m_cbAudioDevice.AddString("Empty Device"));
    m_videoDevices.clear();
    m_audioPositions.clear();

    int audioPosition = 0;
    const int count = GetCaptureDeviceCount();
    for (int d = 0; d < count; ++d) {
        const auto device = static_cast<uint8_t>(d);
        const bool video = IsVideoDevice(device) != 0;
        // Audio devices are numbered among all of them, listed or not.
        const int position = video ? -1 : audioPosition++;
        char name[kNameBufferBytes] = {};
        char inputs[kInputsBufferBytes] = {};
        if (GetCaptureDeviceInfo(device, name, inputs, sizeof inputs) == 0) {
            continue;  // its format step failed: not offered
        }
        name[sizeof name - 1] = '\0';
        if (!video) {
            m_cbAudioDevice.AddString(name);
            m_audioPositions.push_back(position);
            continue;
        }
        m_cbVideoDevice.AddString(name);
        VideoDeviceChoice choice;
        choice.byDevice = device;
        const size_t inputCount = static_cast<unsigned char>(inputs[0]);
        const char* next = inputs + 1;
        const char* const end = inputs + sizeof inputs;
        for (size_t i = 0; i < inputCount && i < kMostInputs && next < end; ++i) {
            const size_t length = strnlen(next, static_cast<size_t>(end - next));
            choice.inputNames.push_back(FieldText(std::string_view(next, length)));
            next += length + 1;
        }
        VideoModeItem items[kModeBufferBytes / sizeof(VideoModeItem)] = {};
        const int32_t sizes = ListVideoDevModes(device, items, sizeof items);
        // A refusal (negative) offers no sizes.
        for (int32_t i = 0; i < sizes && static_cast<size_t>(i) < kMostSizes; ++i) {
            choice.sizes.push_back(items[i]);
        }
        m_videoDevices.push_back(std::move(choice));
    }
}

void CChannelSetupDialog::RefreshChannelList() {
    m_lcChannels.DeleteAllItems();
    for (int i = 0; i < g_EditChannelTable.nChConfigNum && i < MAX_CHANNELS; ++i) {
        const ChannelEntry& c = g_EditChannelTable.Channel[i];
        char name[16];
        std::snprintf(name, sizeof name, "CH%02d", i + 1);
        const int row = m_lcChannels.InsertItem(i, name);
        m_lcChannels.SetItemText(row, 1, c.status == 1 ? " Active" : "Inactive");
        CString details;
        if (c.mode == SOURCE_LOCAL) {
            m_lcChannels.SetItemText(row, 2, "Local");
            details.Format("Video:%s, size=%ld*%ld, fps=%ld;  Audio:%s",
                           std::string(FixedFieldText(c.videoname)).c_str(),
                           static_cast<long>(c.width), static_cast<long>(c.height),
                           static_cast<long>(c.framenum),
                           std::string(FixedFieldText(c.audioname)).c_str());
        } else if (c.mode == SOURCE_NETWORK) {
            m_lcChannels.SetItemText(row, 2, " Net");
            details.Format("NetAddr:%s, ChNo:%ld, User:%s, Pass:%s",
                           std::string(FixedFieldText(c.netipaddr)).c_str(),
                           static_cast<long>(c.netchno),
                           std::string(FixedFieldText(c.username)).c_str(),
                           std::string(FixedFieldText(c.passwd)).c_str());
        }
        m_lcChannels.SetItemText(row, 3, details.GetString());
    }
}

void CChannelSetupDialog::OnChangeCount() {
    UpdateData(TRUE);  // a refused value was told and keeps its member
    if (m_nChannelCountSel < 0 || m_nChannelCountSel > MAX_CHANNELS) {
        return;
    }
    g_EditChannelTable.nChConfigNum = static_cast<std::uint8_t>(m_nChannelCountSel);
    FillChannelNames(m_cbEditedChannel, m_nChannelCountSel);
    for (int i = m_nChannelCountSel; i < MAX_CHANNELS; ++i) {
        g_EditChannelTable.Channel[i] = ChannelEntry{};
    }
    RefreshChannelList();
}

void CChannelSetupDialog::OnChannelSelChange() {
    const int n = m_cbEditedChannel.GetCurSel();
    if (n < 0 || n >= g_EditChannelTable.nChConfigNum) {
        return;
    }
    const ChannelEntry& c = g_EditChannelTable.Channel[n];
    if (c.mode == SOURCE_NETWORK) {
        m_nSourceKind = 1;
        m_sNetAddress = FieldText(FixedFieldText(c.netipaddr));
        m_nRemoteChannel = c.netchno;
        m_sUserName = FieldText(FixedFieldText(c.username));
        m_sPassword = FieldText(FixedFieldText(c.passwd));
    } else {
        m_nSourceKind = 0;
        int videoItem = 0;  // "Empty Device" when the device is not listed
        for (size_t k = 0; k < m_videoDevices.size(); ++k) {
            if (c.videoin != 0 && m_videoDevices[k].byDevice == c.videoin - 1) {
                videoItem = static_cast<int>(k) + 1;
            }
        }
        m_cbVideoDevice.SetCurSel(videoItem);
        OnVideoDeviceChange();
        // The rates offered are those of the stored size.
        SelectText(m_cbVideoSize, SizeText(c.width, c.height));
        OnVideoSizeChange();
        SelectText(m_cbFrameRate, RateText(c.framenum));
        m_cbVideoInput.SetCurSel(c.videosubin < m_cbVideoInput.GetCount() ? c.videosubin : -1);
        int audioItem = 0;
        for (size_t k = 0; k < m_audioPositions.size(); ++k) {
            if (c.audioin != 0 && m_audioPositions[k] == c.audioin - 1) {
                audioItem = static_cast<int>(k) + 1;
            }
        }
        m_cbAudioDevice.SetCurSel(audioItem);
    }
    UpdateData(FALSE);
    OnSourceKind();
}

const VideoDeviceChoice* CChannelSetupDialog::ChosenVideoDevice() const {
    const int k = m_cbVideoDevice.GetCurSel();
    if (k < 1 || static_cast<size_t>(k) > m_videoDevices.size()) {
        return nullptr;
    }
    return &m_videoDevices[static_cast<size_t>(k) - 1];
}

void CChannelSetupDialog::OnVideoDeviceChange() {
    m_cbVideoSize.ResetContent();
    m_cbFrameRate.ResetContent();
    m_cbVideoInput.ResetContent();
    m_cbVideoInput.SetCurSel(m_cbVideoInput.AddString("No Input"));
    const VideoDeviceChoice* device = ChosenVideoDevice();
    if (device == nullptr) {
        return;
    }
    for (const VideoModeItem& size : device->sizes) {
        m_cbVideoSize.AddString(SizeText(size.wWidth, size.wHeight).GetString());
    }
    m_cbVideoSize.SetCurSel(0);
    for (const CString& input : device->inputNames) {
        m_cbVideoInput.AddString(input.GetString());
    }
    if (!device->inputNames.empty()) {
        m_cbVideoInput.SetCurSel(1);
    }
    OnVideoSizeChange();
}

void CChannelSetupDialog::OnVideoSizeChange() {
    m_cbFrameRate.ResetContent();
    const VideoDeviceChoice* device = ChosenVideoDevice();
    const int s = m_cbVideoSize.GetCurSel();
    if (device == nullptr || s < 0 || static_cast<size_t>(s) >= device->sizes.size()) {
        return;
    }
    const VideoModeItem& size = device->sizes[static_cast<size_t>(s)];
    for (int fps = size.wMinFps; fps <= size.wMaxFps; ++fps) {
        m_cbFrameRate.AddString(RateText(fps).GetString());
    }
    m_cbFrameRate.SetCurSel(0);
}

void CChannelSetupDialog::OnSourceKind() {
    UpdateData(TRUE);  // a refused value was told and keeps its member
    const BOOL local = m_nSourceKind == 0 ? TRUE : FALSE;
    const BOOL net = m_nSourceKind == 1 ? TRUE : FALSE;
    for (int id :
         {IDC_VIDEO_DEVICE, IDC_VIDEO_SIZE, IDC_FRAME_RATE, IDC_VIDEO_INPUT, IDC_AUDIO_DEVICE}) {
        GetDlgItem(id)->EnableWindow(local);
    }
    for (int id : {IDC_NET_ADDRESS, IDC_REMOTE_CHANNEL, IDC_REMOTE_CHANNEL_SPIN, IDC_NET_USER,
                   IDC_NET_PASSWORD}) {
        GetDlgItem(id)->EnableWindow(net);
    }
}

BOOL CChannelSetupDialog::TakeLocalSource(ChannelEntry& entry) {
    const int videoItem = m_cbVideoDevice.GetCurSel();
    const int audioItem = m_cbAudioDevice.GetCurSel();
    if (videoItem <= 0 && audioItem <= 0) {
        return FALSE;
    }
    entry.status = 1;
    entry.mode = SOURCE_LOCAL;
    const VideoDeviceChoice* device = ChosenVideoDevice();
    entry.videoin = device != nullptr ? static_cast<std::uint8_t>(device->byDevice + 1) : 0;
    // Names are shown only; the ini file gives back 117 bytes of them.
    StoreText(entry.videoname,
              CutToBytes(ItemText(m_cbVideoDevice, videoItem < 0 ? 0 : videoItem).GetString(),
                         kDeviceNameBytes));
    const int s = m_cbVideoSize.GetCurSel();
    if (device != nullptr && s >= 0 && static_cast<size_t>(s) < device->sizes.size()) {
        entry.width = device->sizes[static_cast<size_t>(s)].wWidth;
        entry.height = device->sizes[static_cast<size_t>(s)].wHeight;
    }
    const int rate = m_cbFrameRate.GetCurSel();
    if (rate >= 0) {
        entry.framenum =
            static_cast<std::uint8_t>(std::atoi(ItemText(m_cbFrameRate, rate).GetString()) & 0xFF);
    }
    const int input = m_cbVideoInput.GetCurSel();
    entry.videosubin = static_cast<std::uint8_t>(input > 0 ? input : 0);
    if (audioItem > 0 && static_cast<size_t>(audioItem) <= m_audioPositions.size()) {
        entry.audioin = static_cast<std::uint8_t>(m_audioPositions[audioItem - 1] + 1);
    }
    StoreText(entry.audioname,
              CutToBytes(ItemText(m_cbAudioDevice, audioItem < 0 ? 0 : audioItem).GetString(),
                         kDeviceNameBytes));
    return TRUE;
}

void CChannelSetupDialog::OnRectifyChannel() {
    const int n = m_cbEditedChannel.GetCurSel();
    if (n < 0 || n >= g_EditChannelTable.nChConfigNum) {
        return;
    }
    // Checked first: a refused source leaves the channel as it was.
    ChannelEntry entry{};
    if (m_nSourceKind == 1) {
        if (!UpdateData(TRUE)) {
            return;
        }
        TrimAsTheIniReads(m_sNetAddress);
        TrimAsTheIniReads(m_sUserName);
        TrimAsTheIniReads(m_sPassword);
        // The edits show what is checked and stored.
        SetDlgItemText(IDC_NET_ADDRESS, m_sNetAddress);
        SetDlgItemText(IDC_NET_USER, m_sUserName);
        SetDlgItemText(IDC_NET_PASSWORD, m_sPassword);
        if (m_sNetAddress.IsEmpty()) {
            ShowMessageBox("Ip Address is Null???", "ERROR", MB_OK);
            return;
        }
        entry.status = 1;
        entry.mode = SOURCE_NETWORK;
        StoreText(entry.netipaddr, m_sNetAddress.GetString());
        entry.netchno = static_cast<std::uint8_t>(m_nRemoteChannel & 0xFF);
        StoreText(entry.username, m_sUserName.GetString());
        StoreText(entry.passwd, m_sPassword.GetString());
    } else if (!TakeLocalSource(entry)) {
        ShowMessageBox("No Video and No Audio???", "ERROR", MB_OK);
        return;
    }
    g_EditChannelTable.Channel[n] = entry;
    RefreshChannelList();
}

int CChannelSetupDialog::SelectedConfiguredRow() const {
    POSITION pos = m_lcChannels.GetFirstSelectedItemPosition();
    if (pos == 0) {
        return -1;
    }
    const int row = m_lcChannels.GetNextSelectedItem(pos);
    return row >= 0 && row < g_EditChannelTable.nChConfigNum ? row : -1;
}

void CChannelSetupDialog::OnDeleteChannel() {
    const int row = SelectedConfiguredRow();
    if (row < 0) {
        return;
    }
    g_EditChannelTable.Channel[row] = ChannelEntry{};
    RefreshChannelList();
    OnChannelSelChange();
}

void CChannelSetupDialog::OnChangeStatus() {
    const int row = SelectedConfiguredRow();
    if (row < 0) {
        return;
    }
    std::uint8_t& status = g_EditChannelTable.Channel[row].status;
    status = status == 1 ? 0 : 1;
    RefreshChannelList();
}

void CChannelSetupDialog::OnListKeyDown(UINT virtualKey) {
    if (virtualKey == VK_DELETE) {
        OnDeleteChannel();
    } else if (virtualKey == VK_SPACE) {
        OnChangeStatus();
    }
}

void CChannelSetupDialog::OnListClick() {
    POSITION pos = m_lcChannels.GetFirstSelectedItemPosition();
    if (pos == 0) {
        return;
    }
    m_cbEditedChannel.SetCurSel(m_lcChannels.GetNextSelectedItem(pos));
    OnChannelSelChange();
}

void CChannelSetupDialog::OnRemoteChannelSpin(int iDelta) {
    // A number just typed counts: the controls are read first.
    UpdateData(TRUE);
    if (SpinStep(m_nRemoteChannel, iDelta, kRemoteChannelMin, kRemoteChannelMax)) {
        UpdateData(FALSE);
    }
}

void CChannelSetupDialog::CopyWorkingToLive() {
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    g_Settings.nChConfigNum = g_EditChannelTable.nChConfigNum;
    StoreLiveSlice(g_Settings.Channel, g_EditChannelTable.Channel);
}

bool CChannelSetupDialog::WorkingDiffersFromLive() const {
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    return g_EditChannelTable.nChConfigNum != g_Settings.nChConfigNum ||
           SliceDiffers(g_EditChannelTable.Channel, g_Settings.Channel);
}

void CChannelSetupDialog::ReleaseOnLeave() {
    m_videoDevices.clear();
    m_audioPositions.clear();
}
