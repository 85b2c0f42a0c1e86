#include "dialogs/log_file_dialog.h"

#include <cstring>
#include <string>

#include "res/log_file_ids.h"
#include "settings/event_log.h"

namespace {

constexpr COLORREF kListText = 0x262626;
constexpr COLORREF kListBack = 0xF09A3C;

// The packed time holds the years 2000 to 2063.
const CTime kFirstDay(2000, 1, 1, 0, 0, 0);
const CTime kLastDay(2063, 12, 31, 23, 59, 59);

// A day's hour in the log's packed time; hour 24 is the end of the day.
std::uint32_t PackDayHour(const CTime& day, int hour) {
    return static_cast<std::uint32_t>(day.GetYear() - 2000) << 26 |
           static_cast<std::uint32_t>(day.GetMonth()) << 22 |
           static_cast<std::uint32_t>(day.GetDay()) << 17 | static_cast<std::uint32_t>(hour) << 12;
}

// "YYYY-MM-DD hh:mm:ss  text", the text up to its zero and never beyond
// the bytes it was stored with.
std::string LogLine(std::uint32_t time, const char* text, std::size_t length) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d  ",
                  2000 + static_cast<int>(time >> 26), static_cast<int>(time >> 22 & 15),
                  static_cast<int>(time >> 17 & 31), static_cast<int>(time >> 12 & 31),
                  static_cast<int>(time >> 6 & 63), static_cast<int>(time & 63));
    return std::string(stamp) + std::string(text, strnlen(text, length));
}

// A log file opened for reading with its size; 0 when it does not open.
struct OpenLog {
    explicit OpenLog(const char* name) : file(std::fopen(name, "rb")) {
        if (file != nullptr && std::fseek(file, 0, SEEK_END) == 0) {
            size = std::ftell(file);
        }
    }
    ~OpenLog() {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    OpenLog(const OpenLog&) = delete;
    OpenLog& operator=(const OpenLog&) = delete;

    std::FILE* file;
    long size = 0;
};

}  // namespace

CLogFileDialog::CLogFileDialog(CWnd* pParentWnd) : CSetupDialog(IDD_LOG_FILE, pParentWnd) {
    MapCommand(IDC_LOG_SEARCH, [this] { OnSearch(); });
}

BOOL CLogFileDialog::OnInitDialog() {
    CSetupDialog::OnInitDialog();
    m_brList.CreateSolidBrush(kListBack);
    std::memset(m_byTypeFilter, 0, sizeof m_byTypeFilter);
    for (int id : {IDC_LOG_FROM_DAY, IDC_LOG_TO_DAY}) {
        static_cast<CDateTimeCtrl*>(GetDlgItem(id))->SetRange(&kFirstDay, &kLastDay);
    }
    m_timeFrom = CTime::GetCurrentTime();
    m_timeTo = m_timeFrom;
    UpdateData(FALSE);
    m_ListLog.ResetContent();
    return TRUE;
}

void CLogFileDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_LOG_LIST, m_ListLog);
    DDX_DateTimeCtrl(pDX, IDC_LOG_FROM_DAY, m_timeFrom);
    DDX_DateTimeCtrl(pDX, IDC_LOG_TO_DAY, m_timeTo);
    DDX_Check(pDX, IDC_LOG_SYSTEM, m_bSystem);
    DDX_Check(pDX, IDC_LOG_RECORD, m_bRecord);
    DDX_Check(pDX, IDC_LOG_NET, m_bNet);
    DDX_Check(pDX, IDC_LOG_SETUP, m_bSetup);
    DDX_Check(pDX, IDC_LOG_MOTION, m_bMotion);
}

void CLogFileDialog::OnOK() {
    CDialog::OnOK();
}

HBRUSH CLogFileDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    HBRUSH brush = CSetupDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor == CTLCOLOR_LISTBOX && pWnd != nullptr && pWnd->GetDlgCtrlID() == IDC_LOG_LIST) {
        pDC->SetTextColor(kListText);
        pDC->SetBkMode(TRANSPARENT);
        return &m_brList;
    }
    return brush;
}

void CLogFileDialog::OnSearch() {
    UpdateData(TRUE);
    const int checks[] = {m_bSystem, m_bRecord, m_bNet, m_bSetup, m_bMotion};
    for (int type = 0; type < 5; ++type) {
        m_byTypeFilter[type] = static_cast<std::uint8_t>(checks[type] != 0 ? 1 : 0);
    }
    m_ListLog.ResetContent();

    const std::uint32_t from = PackDayHour(m_timeFrom, 0);
    const std::uint32_t to = PackDayHour(m_timeTo, 24);
    if (from >= to) {
        return;
    }
    OpenLog first(LOG_FILE_1);
    OpenLog second(LOG_FILE_2);
    // The file written longer ago is the larger one as a rule: it goes first.
    OpenLog& earlier = second.size > first.size ? second : first;
    OpenLog& later = second.size > first.size ? first : second;
    for (OpenLog* log : {&earlier, &later}) {
        if (log->size > 0) {
            SearchLogFile(log->file, log->size, from, to);
        }
    }
}

void CLogFileDialog::SearchLogFile(std::FILE* file, long size, std::uint32_t from,
                                   std::uint32_t to) {
    if (file == nullptr || std::fseek(file, 0, SEEK_SET) != 0) {
        return;
    }
    // Up to the size taken when the search began: lines written meanwhile
    // wait for the next search.
    long offset = 0;
    while (size - offset >= static_cast<long>(LOG_ENTRY_HEAD_SIZE)) {
        unsigned char head[LOG_ENTRY_HEAD_SIZE];
        if (std::fread(head, 1, sizeof head, file) != sizeof head) {
            return;
        }
        offset += static_cast<long>(sizeof head);
        const std::uint8_t type = head[0];
        const std::uint32_t time =
            static_cast<std::uint32_t>(head[2]) | static_cast<std::uint32_t>(head[3]) << 8 |
            static_cast<std::uint32_t>(head[4]) << 16 | static_cast<std::uint32_t>(head[5]) << 24;
        const std::size_t length = head[6];
        if (static_cast<long>(length) > size - offset) {
            return;  // the text is cut off by the end of the file
        }
        if (m_byTypeFilter[type] != 0 && from <= time && time < to) {
            char text[256];
            if (std::fread(text, 1, length, file) != length) {
                return;
            }
            m_ListLog.AddString(LogLine(time, text, length).c_str());
        } else if (std::fseek(file, static_cast<long>(length), SEEK_CUR) != 0) {
            return;
        }
        offset += static_cast<long>(length);
    }
}
