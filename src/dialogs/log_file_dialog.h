#pragma once
// "Log File" (template 263): lists the event log records of the chosen
// kinds written between two chosen days, from both log files, one line
// "YYYY-MM-DD hh:mm:ss  text" each, in file order (the larger file first).
// It edits no settings: Exit ends it; Search has id 2, so Esc and the
// close box search too. Its list has colours of its own.

#include <cstdint>
#include <cstdio>

#include "dialogs/h_extent_list_box.h"
#include "dialogs/setup_dialog.h"
#include "platform/ui/ctime.h"

class CLogFileDialog : public CSetupDialog {
public:
    explicit CLogFileDialog(CWnd* pParentWnd = nullptr);

    // Lists the records of the chosen kinds from the "from" day 00:00:00
    // up to the end of the "to" day; nothing when "from" comes after "to".
    void OnSearch();
    // Adds the matching records of one open file of size bytes, from its
    // start, with from <= time < to in the log's packed time. A record cut
    // off by the file's end ends the file's search.
    void SearchLogFile(std::FILE* file, long size, std::uint32_t from, std::uint32_t to);

    CHExtentListBox m_ListLog;
    CTime m_timeFrom;
    CTime m_timeTo;
    int m_bSystem = 1;
    int m_bRecord = 0;
    int m_bNet = 0;
    int m_bSetup = 0;
    int m_bMotion = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // Exit reads the controls and ends the dialog; there is no question.
    void OnOK() override;
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;
    // No working copy.
    void StoreControls() override {}
    void CopyWorkingToLive() override {}
    bool WorkingDiffersFromLive() const override { return false; }

private:
    CBrush m_brList;
    std::uint8_t m_byTypeFilter[256] = {};  // one per type byte: 1 lists it
};
