#pragma once
// One FTP connection that puts files into one remote directory in binary
// mode. Opening really connects, logs in and changes into the directory, so
// a bad server, login or directory shows at once; later puts reuse that
// connection.

#include <atomic>
#include <cstdint>
#include <string>

constexpr std::size_t kFtpErrorSize = 120;

struct FtpSession {
    int bOk = 0;                       // connected, logged in and in the directory
    void* hInternet = nullptr;         // the libcurl easy handle every call runs on
    int bConnected = 0;                // the server accepted the login
    char szError[kFtpErrorSize] = {};  // the step that failed; "" when none did
    std::string sDirectoryUrl;         // "ftp://server:port/directory/"
    const std::atomic<int>* pRunFlag = nullptr;
};

// Never null; bOk tells whether files may be put, szError why not:
// "Open Ftp Upload Failed!", "Login %s Failed!" (server) or
// "Set directory: %s Failed!" (directory). With a proxy text the session
// tunnels through that HTTP proxy, otherwise it connects directly (proxy
// variables of the environment are not used). An empty user logs in
// anonymously. Each call gives up within seconds when the server stops
// answering and soon after *runFlag is cleared (nullptr: never aborted).
FtpSession* OpenFtpSession(std::string server, std::uint16_t port, std::string user,
                           std::string password, std::string directory, bool passive,
                           std::string proxy, const std::atomic<int>* runFlag = nullptr);

// 1 when the session is usable and the file was stored under remoteName in
// the session's directory, else 0. localPath is a stored path.
int PutFtpFile(FtpSession* session, const std::string& localPath, const std::string& remoteName);

// 0 for a null session; otherwise ends the connection, frees the session and
// returns 1.
int CloseFtpSession(FtpSession* session);
