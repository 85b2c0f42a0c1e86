#include "settings/event_log.h"

#include <stdio_ext.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/clock/local_clock.h"
#include "platform/paths/native_path.h"

namespace {

std::FILE* OpenByName(const char* name, const char* mode) {
    std::string path = ToNativePath(name);
    return path.empty() ? nullptr : std::fopen(path.c_str(), mode);
}

}  // namespace

CEventLog::~CEventLog() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_pLogFile != nullptr) {
        std::fclose(m_pLogFile);
    }
}

int CEventLog::OpenLogFile() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_pLogFile != nullptr) {
        std::fclose(m_pLogFile);
        m_pLogFile = nullptr;
    }
    // stat, not an open for reading: a file that cannot be read must not be
    // taken for a missing one and emptied.
    struct stat st {};
    if (stat(ToNativePath(LOG_FILE_1).c_str(), &st) == 0 && st.st_size > MAX_LOG_FILE_SIZE) {
        m_pLogFile = OpenByName(LOG_FILE_2, "ab");
        m_nLogIndex = 0;
    } else {
        m_pLogFile = OpenByName(LOG_FILE_1, "ab");
        m_nLogIndex = 1;
    }
    return 1;
}

void CEventLog::WriteLogEntry(int type, int channel, const char* text) {
    std::size_t length = text == nullptr ? 0 : strnlen(text, MAX_LOG_TEXT);
    unsigned char record[sizeof(LogEntry)];
    record[0] = static_cast<unsigned char>(type);
    record[1] = static_cast<unsigned char>(channel);
    record[6] = static_cast<unsigned char>(length + 1);
    if (length > 0) {
        std::memcpy(record + LOG_ENTRY_HEAD_SIZE, text, length);
    }
    record[LOG_ENTRY_HEAD_SIZE + length] = '\0';
    std::size_t recordSize = LOG_ENTRY_HEAD_SIZE + length + 1;

    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_pLogFile == nullptr) {
        return;
    }
    // Stamped under the lock, so the records of a file are in time order.
    std::uint32_t time = PackLogTime(GetLocalTimeNow());
    for (int i = 0; i < 4; ++i) {
        record[2 + i] = static_cast<unsigned char>(time >> (8 * i));
    }
    const long start = std::ftell(m_pLogFile);
    const bool whole = std::fwrite(record, 1, recordSize, m_pLogFile) == recordSize;
    if (std::fflush(m_pLogFile) != 0 || !whole) {
        CutBackLocked(start);
        return;
    }
    if (std::ftell(m_pLogFile) > MAX_LOG_FILE_SIZE) {
        SwitchLogFileLocked();
    }
}

void CEventLog::CutBackLocked(long start) {
    // A record that reached the file only in part would leave every later
    // one to be read from the wrong offset: the file goes back to where the
    // record began, and nothing of it may stay in the buffer to be written
    // by the next flush. The error flag is cleared, or every later record
    // would fail too, and the position follows the cut.
    __fpurge(m_pLogFile);
    if (start >= 0 && ftruncate(fileno(m_pLogFile), start) != 0) {
        std::perror("event log: cannot cut back a torn record");
    }
    std::clearerr(m_pLogFile);
    std::fseek(m_pLogFile, 0, SEEK_END);
}

int CEventLog::SwitchLogFile() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return SwitchLogFileLocked();
}

int CEventLog::SwitchLogFileLocked() {
    if (m_pLogFile != nullptr) {
        std::fclose(m_pLogFile);
    }
    if (m_nLogIndex == 1) {
        m_pLogFile = OpenByName(LOG_FILE_2, "wb");
        m_nLogIndex = 0;
    } else {
        m_pLogFile = OpenByName(LOG_FILE_1, "wb");
        m_nLogIndex = 1;
    }
    return 1;
}

int CEventLog::GetLogIndex() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nLogIndex;
}

bool CEventLog::IsOpen() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pLogFile != nullptr;
}
