#pragma once
// The mail sender and the FTP session as the alert threads reach them. The
// real ones go over the network (mail_sender.h, ftp_session.h); tests
// install recorders.

#include <atomic>
#include <cstdint>
#include <string>

#include "alerts/ftp_session.h"
#include "alerts/mail_message.h"

class IAlertTransport {
public:
    virtual ~IAlertTransport() = default;
    // As SendMail; the reason of a failure is then in GetLastMailError().
    virtual int SendMail(CMailMessage message, const std::atomic<int>* runFlag) = 0;
    virtual std::string GetLastMailError() = 0;
    // As OpenFtpSession: never null.
    virtual FtpSession* OpenFtpSession(const std::string& server, std::uint16_t port,
                                       const std::string& user, const std::string& password,
                                       const std::string& directory, bool passive,
                                       const std::string& proxy,
                                       const std::atomic<int>* runFlag) = 0;
    virtual int PutFtpFile(FtpSession* session, const std::string& localPath,
                           const std::string& remoteName) = 0;
    virtual int CloseFtpSession(FtpSession* session) = 0;
};

// Null restores the network transport.
void SetAlertTransport(IAlertTransport* transport);
IAlertTransport& AlertTransport();
