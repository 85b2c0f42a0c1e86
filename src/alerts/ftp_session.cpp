#include "alerts/ftp_session.h"

#include <curl/curl.h>
#include <sys/stat.h>

#include <cstdio>

#include "alerts/curl_call.h"
#include "alerts/net_text_checks.h"
#include "platform/paths/native_path.h"

namespace {

constexpr char kFtpAgent[] = "Quorvalind";

void SetError(FtpSession* s, const char* prefix, std::string_view value, const char* suffix) {
    std::string text = prefix;
    text += value;
    text += suffix;
    CopyBoundedText(s->szError, sizeof s->szError, text);
}

// Percent-encodes a URL path piece; with keepSlashes the slashes stay
// separators, except a leading one, which libcurl would drop (so "/pub"
// stays an absolute directory).
std::string EscapeUrlPath(std::string_view text, bool keepSlashes) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '.' || c == '_' || c == '~' ||
                     (c == '/' && keepSlashes && i > 0);
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

CURLcode ApplySessionOptions(CURL* curl, const std::string& user, const std::string& password,
                             bool passive, const std::string& proxy) {
    CURLcode rc = curl_easy_setopt(curl, CURLOPT_USERAGENT, kFtpAgent);
    // One CWD with the directory as given, as a plain FTP client does.
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD,
                              static_cast<long>(CURLFTPMETHOD_SINGLECWD));
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
    }
    // Passive: the server opens the data port; active: we listen on the
    // address of the control connection.
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_FTPPORT, passive ? nullptr : "-");
    }
    // An empty proxy text means direct, whatever the environment says.
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_PROXY, proxy.c_str());
    }
    if (rc == CURLE_OK && !proxy.empty()) {
        rc = curl_easy_setopt(curl, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
        if (rc == CURLE_OK) {
            // Tunnel: through a plain HTTP proxy an upload would become a PUT.
            rc = curl_easy_setopt(curl, CURLOPT_HTTPPROXYTUNNEL, 1L);
        }
    }
    if (rc == CURLE_OK && !user.empty()) {
        rc = curl_easy_setopt(curl, CURLOPT_USERNAME, user.c_str());
        if (rc == CURLE_OK) {
            rc = curl_easy_setopt(curl, CURLOPT_PASSWORD, password.c_str());
        }
    }
    return rc;
}

}  // namespace

FtpSession* OpenFtpSession(std::string server, std::uint16_t port, std::string user,
                           std::string password, std::string directory, bool passive,
                           std::string proxy, const std::atomic<int>* runFlag) {
    auto* s = new FtpSession;
    s->pRunFlag = runFlag;

    // Texts that would change the URL or add FTP commands are refused here,
    // before anything goes out on the network.
    if (HasControlBytes(proxy)) {
        SetError(s, "Open Ftp Upload Failed!", "", "");
        return s;
    }
    if (!IsHostNameOrIPv4(server) || HasControlBytes(user) || HasControlBytes(password)) {
        SetError(s, "Login ", server, " Failed!");
        return s;
    }
    if (HasControlBytes(directory)) {
        SetError(s, "Set directory: ", directory, " Failed!");
        return s;
    }

    EnsureCurlReady();
    CURL* curl = curl_easy_init();
    if (curl == nullptr || ApplyCommonCurlOptions(curl, runFlag, nullptr) != CURLE_OK ||
        ApplySessionOptions(curl, user, password, passive, proxy) != CURLE_OK) {
        if (curl != nullptr) {
            curl_easy_cleanup(curl);
        }
        SetError(s, "Open Ftp Upload Failed!", "", "");
        return s;
    }
    s->hInternet = curl;

    s->sDirectoryUrl = "ftp://" + server;
    if (port != 0) {
        s->sDirectoryUrl.append(":").append(std::to_string(port));
    }
    s->sDirectoryUrl.append("/").append(EscapeUrlPath(directory, true));
    if (!directory.empty() && directory.back() != '/') {
        s->sDirectoryUrl += '/';
    }

    // A round trip without a transfer: connect, log in, change directory.
    // The connection stays with the handle for the puts.
    CURLcode rc = curl_easy_setopt(curl, CURLOPT_URL, s->sDirectoryUrl.c_str());
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_perform(curl);
    }
    if (rc == CURLE_OK) {
        s->bConnected = 1;
        s->bOk = 1;
    } else if (rc == CURLE_REMOTE_ACCESS_DENIED) {
        // libcurl's answer to a refused CWD; the login had been accepted.
        s->bConnected = 1;
        SetError(s, "Set directory: ", directory, " Failed!");
    } else {
        SetError(s, "Login ", server, " Failed!");
    }
    return s;
}

int PutFtpFile(FtpSession* s, const std::string& localPath, const std::string& remoteName) {
    if (s == nullptr || !s->bOk || s->hInternet == nullptr) {
        return 0;
    }
    if (remoteName.empty() || HasControlBytes(remoteName) || RunFlagCleared(s->pRunFlag)) {
        return 0;
    }
    const std::string native = ToNativePath(localPath);
    std::FILE* f = native.empty() ? nullptr : std::fopen(native.c_str(), "rb");
    if (f == nullptr) {
        return 0;
    }
    struct stat st {};
    if (fstat(fileno(f), &st) != 0) {
        std::fclose(f);
        return 0;
    }
    CURL* curl = s->hInternet;
    const std::string url = s->sDirectoryUrl + EscapeUrlPath(remoteName, false);
    CURLcode rc = curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_READDATA, f);
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(st.st_size));
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_perform(curl);
    }
    curl_easy_setopt(curl, CURLOPT_READDATA, nullptr);
    std::fclose(f);
    return rc == CURLE_OK ? 1 : 0;
}

int CloseFtpSession(FtpSession* s) {
    if (s == nullptr) {
        return 0;
    }
    if (s->hInternet != nullptr) {
        CleanupCurlHandle(s->hInternet, s->pRunFlag);
    }
    delete s;
    return 1;
}
