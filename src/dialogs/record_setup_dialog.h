#pragma once
// "Record Setup..." (template 134): channel by channel, the video codec,
// the video bit rate (a listed one or "else(K)" with 10..2048), the record
// container, the audio codec and bit rate, the title stamped into the
// picture (at most 16 bytes), the date and time stamps and the "Channel
// Audio" flag of the 16 RecordEntry records. Its Save has id 2, so Esc
// saves too; Exit and Save first store the channel shown. Switching
// channels stores the one left; while a value of it is refused, the
// channel stays shown and its record as it was.

#include "dialogs/setup_dialog.h"
#include "platform/ui/cstring.h"
#include "settings/settings.h"

// The working copy of the 16 records.
extern RecordEntry g_EditRecordTable[MAX_CHANNELS];

class CRecordSetupDialog : public CSetupDialog {
public:
    explicit CRecordSetupDialog(CWnd* pParentWnd = nullptr);

    // Shows channel index (0..15) of the working copy; FALSE above 15.
    BOOL LoadChannel(int index);
    // Takes the controls into channel index of the working copy and
    // releases its button; FALSE for an index of 16 or more and when the
    // store stops early (a title over 16 bytes stores nothing of the channel).
    BOOL StoreChannel(int index);
    void OnChannelButton(int k);
    void SelectChannelButton(int k);
    void ReleaseChannelButton(int k);

    int m_nChannel = 0;
    int m_nVideoCodec = 0;  // index in template order, = enc_method
    int m_nBitrate = 0;     // 0..8 the listed rates, 9 "else(K)"
    int m_nContainer = 0;
    int m_nOtherKbps = 10;
    CString m_sCaption;
    int m_nAudioCodec = 0;
    CString m_sTitle;
    int m_bOsdDate = 0;
    int m_bOsdTime = 0;
    int m_bAudio = 0;
    int m_nAudioKbps = 0;  // 0..3 = 32, 24, 16, 8; -1 none

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void StoreControls() override;
    void CopyWorkingToLive() override;
    bool WorkingDiffersFromLive() const override;

private:
    // StoreChannel after its read: the members as they stand into channel
    // index (0..15) of the working copy.
    BOOL StoreMembers(int index);

    // The last read refused the else(K) value.
    bool m_bOtherKbpsRefused = false;
};
