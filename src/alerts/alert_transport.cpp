#include "alerts/alert_transport.h"

#include "alerts/mail_sender.h"

namespace {

class CNetworkTransport final : public IAlertTransport {
public:
    int SendMail(CMailMessage message, const std::atomic<int>* runFlag) override {
        return ::SendMail(std::move(message), runFlag);
    }
    std::string GetLastMailError() override { return ::GetLastMailError(); }
    FtpSession* OpenFtpSession(const std::string& server, std::uint16_t port,
                               const std::string& user, const std::string& password,
                               const std::string& directory, bool passive, const std::string& proxy,
                               const std::atomic<int>* runFlag) override {
        return ::OpenFtpSession(server, port, user, password, directory, passive, proxy, runFlag);
    }
    int PutFtpFile(FtpSession* session, const std::string& localPath,
                   const std::string& remoteName) override {
        return ::PutFtpFile(session, localPath, remoteName);
    }
    int CloseFtpSession(FtpSession* session) override { return ::CloseFtpSession(session); }
};

CNetworkTransport g_network;
std::atomic<IAlertTransport*> g_installed{nullptr};

}  // namespace

void SetAlertTransport(IAlertTransport* transport) {
    g_installed.store(transport);
}

IAlertTransport& AlertTransport() {
    IAlertTransport* p = g_installed.load();
    return p != nullptr ? *p : g_network;
}
