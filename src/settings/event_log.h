#pragma once
// The event log: LogEntry records appended to "Quorvalind.001" or
// "Quorvalind.002" in the current directory; past MAX_LOG_FILE_SIZE bytes
// the writer empties the other file and goes on there.

#include <cstdio>
#include <mutex>

#include "settings/log_entry.h"

constexpr const char* LOG_FILE_1 = "Quorvalind.001";
constexpr const char* LOG_FILE_2 = "Quorvalind.002";

// What every part of the program logs through; tests pass a recorder.
class IEventLog {
public:
    virtual ~IEventLog() = default;
    // type LOGTYPE_*, channel 1..16 or 0; text is cut to 254 characters.
    virtual void WriteLogEntry(int type, int channel, const char* text) = 0;
};

class CEventLog final : public IEventLog {
public:
    CEventLog() = default;
    ~CEventLog() override;
    CEventLog(const CEventLog&) = delete;
    CEventLog& operator=(const CEventLog&) = delete;

    // Chooses and opens the file in use: "Quorvalind.002" when
    // "Quorvalind.001" exists and is larger than the limit, else
    // "Quorvalind.001" (created when missing). Files are opened for
    // appending, so nothing is lost here. Returns 1; when the open fails
    // nothing is logged afterwards.
    int OpenLogFile();

    // Appends one record with the local time, flushes it, and switches files
    // when the file has grown past the limit. A record goes in whole or not
    // at all: one that could not be written is cut off again, unreported.
    // One lock covers the write, the size test and the switch.
    void WriteLogEntry(int type, int channel, const char* text) override;

    // Closes the file in use and starts the other one empty. Returns 1.
    int SwitchLogFile();

    // 1 while "Quorvalind.001" is in use, 0 while "Quorvalind.002" is.
    int GetLogIndex() const;
    bool IsOpen() const;

private:
    int SwitchLogFileLocked();
    // After a failed write: the file ends again at start, where the record
    // began, and takes the next record.
    void CutBackLocked(long start);

    mutable std::mutex m_mutex;
    std::FILE* m_pLogFile = nullptr;
    int m_nLogIndex = 1;
};
