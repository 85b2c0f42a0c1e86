#include "dialogs/record_setup_dialog.h"

#include <cstring>

#include "platform/textcodec/gb2312_codec.h"
#include "res/record_setup_ids.h"

RecordEntry g_EditRecordTable[MAX_CHANNELS];

namespace {

constexpr int kVideoRates[] = {32, 64, 128, 256, 384, 512, 768, 1024, 1536};
constexpr int kOtherRate = 9;  // the "else(K)" radio
constexpr int kAudioRates[] = {32, 24, 16, 8};
constexpr int kTitleBytes = 16;
constexpr int kOtherMin = 10;
constexpr int kOtherMax = 2048;

template <size_t N>
int IndexOf(const int (&table)[N], int value) {
    for (size_t i = 0; i < N; ++i) {
        if (table[i] == value) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

CRecordSetupDialog::CRecordSetupDialog(CWnd* pParentWnd)
    : CSetupDialog(IDD_RECORD_SETUP, pParentWnd) {
    // Save is id 2, which is also what Esc sends.
    MapCommand(IDC_RECORD_SAVE, [this] { OnSave(); });
    for (int k = 0; k < MAX_CHANNELS; ++k) {
        MapCommand(static_cast<UINT>(IDC_RECORD_CHANNEL_FIRST + k),
                   [this, k] { OnChannelButton(k); });
    }
}

BOOL CRecordSetupDialog::OnInitDialog() {
    CSetupDialog::OnInitDialog();
    CopyLiveSlice(g_EditRecordTable, g_Settings.Record);
    m_nChannel = 0;
    LoadChannel(0);
    // Only local channels record; channel 1 is shown even when its button
    // is disabled.
    const int configured = g_Settings.nChConfigNum;
    for (int i = 0; i < MAX_CHANNELS; ++i) {
        const ChannelEntry source = ReadSettings(g_Settings.Channel[i]);
        CWnd* button = GetDlgItem(IDC_RECORD_CHANNEL_FIRST + i);
        if (button != nullptr) {
            button->EnableWindow(i < configured && source.status != 0 &&
                                 source.mode == SOURCE_LOCAL);
        }
    }
    return TRUE;
}

void CRecordSetupDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Radio(pDX, IDC_VCODEC_H264, m_nVideoCodec);
    DDX_Radio(pDX, IDC_KBPS_32, m_nBitrate);
    DDX_Radio(pDX, IDC_RECFILE_AVI, m_nContainer);
    // The else(K) value counts only while "else(K)" is checked, so a rate
    // nobody chose neither is read nor holds up the rest.
    if (!pDX->m_bSaveAndValidate || m_nBitrate == kOtherRate) {
        DDX_Text(pDX, IDC_KBPS_OTHER_EDIT, m_nOtherKbps);
        DDV_MinMaxInt(pDX, m_nOtherKbps, kOtherMin, kOtherMax);
    }
    DDX_Text(pDX, IDC_RECORD_CAPTION, m_sCaption);
    DDX_Radio(pDX, IDC_ACODEC_MP3, m_nAudioCodec);
    DDX_Text(pDX, IDC_CHANNEL_TITLE, m_sTitle);
    DDV_MaxChars(pDX, m_sTitle, kTitleBytes);
    DDX_Check(pDX, IDC_OSD_DATE, m_bOsdDate);
    DDX_Check(pDX, IDC_OSD_TIME, m_bOsdTime);
    DDX_Check(pDX, IDC_CHANNEL_AUDIO, m_bAudio);
    DDX_Radio(pDX, IDC_AKBPS_32, m_nAudioKbps);
    if (pDX->m_bSaveAndValidate) {
        m_bOtherKbpsRefused = pDX->FailedControl() == IDC_KBPS_OTHER_EDIT;
    }
}

BOOL CRecordSetupDialog::LoadChannel(int index) {
    if (index < 0 || index >= MAX_CHANNELS) {
        return FALSE;
    }
    const RecordEntry& r = g_EditRecordTable[index];
    m_nVideoCodec = r.enc_method;
    m_nAudioCodec = r.aud_method;
    m_nBitrate = IndexOf(kVideoRates, r.bitrate);
    if (m_nBitrate < 0) {
        m_nBitrate = kOtherRate;
        m_nOtherKbps = r.bitrate;
    }
    m_nAudioKbps = IndexOf(kAudioRates, r.audbitrate);
    m_sTitle = CString(std::string(FixedFieldText(r.chname)));
    m_bAudio = r.haveaudio;
    m_bOsdDate = r.osddate;
    m_bOsdTime = r.osdtime;
    m_nContainer = r.recfile;
    m_sCaption.Format("Channel %02d Record Setup:", index + 1);
    UpdateData(FALSE);
    SelectChannelButton(index);
    return TRUE;
}

BOOL CRecordSetupDialog::StoreChannel(int index) {
    if (index < 0 || index >= MAX_CHANNELS) {
        return FALSE;
    }
    UpdateData(TRUE);  // a refused value was told and keeps the member
    return StoreMembers(index);
}

BOOL CRecordSetupDialog::StoreMembers(int index) {
    if (m_sTitle.GetLength() > kTitleBytes) {
        return FALSE;
    }
    RecordEntry& r = g_EditRecordTable[index];
    StoreIndex(r.enc_method, m_nVideoCodec);
    StoreIndex(r.aud_method, m_nAudioCodec);
    if (m_nBitrate < 0 || m_nBitrate > kOtherRate) {
        return FALSE;
    }
    if (m_nBitrate < kOtherRate) {
        r.bitrate = static_cast<std::uint16_t>(kVideoRates[m_nBitrate]);
    } else if (!m_bOtherKbpsRefused) {
        r.bitrate = static_cast<std::uint16_t>(m_nOtherKbps & 0xFFFF);
    }
    // No audio rate checked (a stored rate of another value): it stays.
    if (m_nAudioKbps >= 0 && m_nAudioKbps < 4) {
        r.audbitrate = static_cast<std::uint16_t>(kAudioRates[m_nAudioKbps]);
    }
    std::memset(r.chname, 0, sizeof r.chname);
    std::memcpy(r.chname, m_sTitle.GetString(), static_cast<size_t>(m_sTitle.GetLength()));
    r.haveaudio = static_cast<std::uint8_t>(m_bAudio & 0xFF);
    r.osddate = static_cast<std::uint8_t>(m_bOsdDate & 0xFF);
    r.osdtime = static_cast<std::uint8_t>(m_bOsdTime & 0xFF);
    StoreIndex(r.recfile, m_nContainer);
    ReleaseChannelButton(index);
    return TRUE;
}

void CRecordSetupDialog::OnChannelButton(int k) {
    // A refused value was told and has the focus: the channel stays shown
    // with everything typed there, and its record takes none of it until
    // the read passes, so switching loses no edit.
    if (!UpdateData(TRUE)) {
        return;
    }
    StoreMembers(m_nChannel);
    m_nChannel = k;
    LoadChannel(k);
}

void CRecordSetupDialog::SelectChannelButton(int k) {
    SelectRowButton(IDC_RECORD_CHANNEL_FIRST + k);
}

void CRecordSetupDialog::ReleaseChannelButton(int k) {
    ReleaseRowButton(IDC_RECORD_CHANNEL_FIRST + k);
}

void CRecordSetupDialog::StoreControls() {
    StoreChannel(m_nChannel);
}

void CRecordSetupDialog::CopyWorkingToLive() {
    StoreLiveSlice(g_Settings.Record, g_EditRecordTable);
}

bool CRecordSetupDialog::WorkingDiffersFromLive() const {
    return SliceDiffers(g_EditRecordTable, g_Settings.Record);
}
