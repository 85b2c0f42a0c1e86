#include "alerts/alert_fakes.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "alerts/alert_job_tables.h"

bool FakeAlertChannels::IsMotionAlarm(int channel) {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_present[channel] && m_alarm[channel];
}

void FakeAlertChannels::RequestSnapshot(int channel) {
    std::string path;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_present[channel]) {
            return;
        }
        ++m_requests[channel];
        if (!m_answer[channel]) {
            return;
        }
        path = SnapshotPath(channel, static_cast<int>(m_answered[channel].size()));
        m_answered[channel].push_back(path);
    }
    AddAlertSnapshot(channel, path.c_str());
}

void FakeAlertChannels::SetPresent(int channel, bool present) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_present[channel] = present;
}

void FakeAlertChannels::SetAlarm(int channel, bool alarm) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_alarm[channel] = alarm;
}

void FakeAlertChannels::SetAnswering(int channel, bool answer) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_answer[channel] = answer;
}

int FakeAlertChannels::Requests(int channel) {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_requests[channel];
}

std::vector<std::string> FakeAlertChannels::Answered(int channel) {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_answered[channel];
}

std::string FakeAlertChannels::SnapshotPath(int channel, int number) {
    char path[64];
    std::snprintf(path, sizeof path, "C:\\snap\\Ch%02d_2026_12_10__09_25_%02d.jpg", channel + 1,
                  number % 60);
    return path;
}

int FakeAlertTransport::SendMail(CMailMessage message, const std::atomic<int>*) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_mails.push_back(std::move(message));
    return m_mailResult;
}

std::string FakeAlertTransport::GetLastMailError() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_mailError;
}

FtpSession* FakeAlertTransport::OpenFtpSession(const std::string& server, std::uint16_t port,
                                               const std::string& user, const std::string& password,
                                               const std::string& directory, bool passive,
                                               const std::string& proxy,
                                               const std::atomic<int>* runFlag) {
    int holdMs;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_opens.push_back(
            {server, port, user, password, directory, passive, proxy, runFlag != nullptr});
        holdMs = m_blockHoldMs;
    }
    if (holdMs >= 0 && runFlag != nullptr) {
        while (runFlag->load() != 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
    }
    auto* session = new FtpSession;
    std::lock_guard<std::mutex> lock(m_lock);
    session->bOk = m_openOk;
    std::snprintf(session->szError, sizeof session->szError, "%s", m_openError.c_str());
    ++m_openSessions;
    if (holdMs >= 0) {
        m_blockedOpenReturned = true;
    }
    return session;
}

int FakeAlertTransport::PutFtpFile(FtpSession* session, const std::string& localPath,
                                   const std::string& remoteName) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (session == nullptr || session->bOk == 0) {
        return 0;
    }
    m_puts.push_back({localPath, remoteName});
    return m_putResult;
}

int FakeAlertTransport::CloseFtpSession(FtpSession* session) {
    if (session == nullptr) {
        return 0;
    }
    delete session;
    std::lock_guard<std::mutex> lock(m_lock);
    ++m_closes;
    --m_openSessions;
    return 1;
}

void FakeAlertTransport::FailMail(const std::string& error) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_mailResult = 0;
    m_mailError = error;
}

void FakeAlertTransport::FailOpen(const std::string& error) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_openOk = 0;
    m_openError = error;
}

void FakeAlertTransport::SucceedOpen() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_openOk = 1;
    m_openError.clear();
}

void FakeAlertTransport::FailPuts() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_putResult = 0;
}

void FakeAlertTransport::BlockOpenUntilStopped(int holdMs) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_blockHoldMs = holdMs;
}

std::vector<CMailMessage> FakeAlertTransport::Mails() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_mails;
}

std::vector<FtpOpenCall> FakeAlertTransport::Opens() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_opens;
}

std::vector<FtpPutCall> FakeAlertTransport::Puts() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_puts;
}

int FakeAlertTransport::Closes() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_closes;
}

int FakeAlertTransport::OpenSessions() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_openSessions;
}

void RecordingLog::WriteLogEntry(int type, int channel, const char* text) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_lines.push_back({type, channel, text});
}

std::vector<LoggedLine> RecordingLog::Lines() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_lines;
}

bool WaitForCount(unsigned (*counter)(), unsigned target) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (counter() < target) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return counter() == target;
}
