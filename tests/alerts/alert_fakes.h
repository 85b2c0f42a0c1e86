#pragma once
// Stand-ins for what the alert threads reach: channels that answer snapshot
// requests at once (on the asking thread, as a channel's AddAlertSnapshot
// would a moment later), a transport that records mails and uploads, and a
// log that keeps its lines.

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "alerts/alert_channels.h"
#include "alerts/alert_transport.h"
#include "settings/event_log.h"
#include "settings/globals.h"

class FakeAlertChannels final : public IAlertChannels {
public:
    bool IsMotionAlarm(int channel) override;
    void RequestSnapshot(int channel) override;

    // Per channel: object present (default yes), alarm lasting (default no),
    // answering requests with a new snapshot path (default no).
    void SetPresent(int channel, bool present);
    void SetAlarm(int channel, bool alarm);
    void SetAnswering(int channel, bool answer);
    int Requests(int channel);
    // The paths handed in so far, in order.
    std::vector<std::string> Answered(int channel);
    // "C:\snap\ChNN_2026_12_10__09_25_SS.jpg" with SS the number of the
    // answer (stored snapshot paths of 37 characters).
    static std::string SnapshotPath(int channel, int number);

private:
    std::mutex m_lock;
    bool m_present[MAX_AV_CHANNELS] = {true, true, true, true, true, true, true, true,
                                       true, true, true, true, true, true, true, true};
    bool m_alarm[MAX_AV_CHANNELS] = {};
    bool m_answer[MAX_AV_CHANNELS] = {};
    int m_requests[MAX_AV_CHANNELS] = {};
    std::vector<std::string> m_answered[MAX_AV_CHANNELS];
};

struct FtpOpenCall {
    std::string server;
    std::uint16_t port = 0;
    std::string user, password, directory;
    bool passive = false;
    std::string proxy;
    bool abortable = false;  // a run flag was given
};

struct FtpPutCall {
    std::string localPath;
    std::string remoteName;
};

class FakeAlertTransport final : public IAlertTransport {
public:
    int SendMail(CMailMessage message, const std::atomic<int>* runFlag) override;
    std::string GetLastMailError() override;
    FtpSession* OpenFtpSession(const std::string& server, std::uint16_t port,
                               const std::string& user, const std::string& password,
                               const std::string& directory, bool passive, const std::string& proxy,
                               const std::atomic<int>* runFlag) override;
    int PutFtpFile(FtpSession* session, const std::string& localPath,
                   const std::string& remoteName) override;
    int CloseFtpSession(FtpSession* session) override;

    // What the next calls answer.
    void FailMail(const std::string& error);
    void FailOpen(const std::string& error);
    void SucceedOpen();
    void FailPuts();
    // An open that waits for its run flag to clear and then takes holdMs
    // more before it returns (a network call being cut off).
    void BlockOpenUntilStopped(int holdMs);

    std::vector<CMailMessage> Mails();
    std::vector<FtpOpenCall> Opens();
    std::vector<FtpPutCall> Puts();
    int Closes();
    int OpenSessions();
    bool BlockedOpenReturned() const { return m_blockedOpenReturned.load(); }

private:
    std::mutex m_lock;
    int m_mailResult = 1;
    std::string m_mailError;
    int m_openOk = 1;
    std::string m_openError;
    int m_putResult = 1;
    int m_blockHoldMs = -1;
    std::atomic<bool> m_blockedOpenReturned{false};
    std::vector<CMailMessage> m_mails;
    std::vector<FtpOpenCall> m_opens;
    std::vector<FtpPutCall> m_puts;
    int m_closes = 0;
    int m_openSessions = 0;
};

struct LoggedLine {
    int type;
    int channel;
    std::string text;
};

class RecordingLog final : public IEventLog {
public:
    void WriteLogEntry(int type, int channel, const char* text) override;
    std::vector<LoggedLine> Lines();

private:
    std::mutex m_lock;
    std::vector<LoggedLine> m_lines;
};

// Waits until counter() reaches target (a thread has handled what was posted
// to it); false after 10 s.
bool WaitForCount(unsigned (*counter)(), unsigned target);
