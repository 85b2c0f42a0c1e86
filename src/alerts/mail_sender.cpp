#include "alerts/mail_sender.h"

#include <curl/curl.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>

#include "alerts/curl_call.h"
#include "alerts/mail_headers.h"
#include "alerts/net_text_checks.h"
#include "platform/clock/local_clock.h"
#include "platform/paths/native_path.h"

namespace {

std::mutex g_lastMailErrorMutex;
std::string g_sLastMailError;

void SetLastMailError(std::string_view info, std::string_view details) {
    std::string text = "Error info: " + BoundedText(info, 80) + "\r\n details: ";
    text += BoundedText(details, kMaxMailErrorChars - std::min(text.size(), kMaxMailErrorChars));
    std::lock_guard<std::mutex> lock(g_lastMailErrorMutex);
    g_sLastMailError = std::move(text);
}

int Fail(std::string_view info, std::string_view details) {
    SetLastMailError(info, details);
    return 0;
}

struct CurlDeleter {
    const std::atomic<int>* runFlag;
    void operator()(CURL* c) const { CleanupCurlHandle(c, runFlag); }
};
struct MimeDeleter {
    void operator()(curl_mime* m) const { curl_mime_free(m); }
};
struct SlistDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
using CurlPtr = std::unique_ptr<CURL, CurlDeleter>;
using MimePtr = std::unique_ptr<curl_mime, MimeDeleter>;
using SlistPtr = std::unique_ptr<curl_slist, SlistDeleter>;

// Appends to a list kept in ptr; false when out of memory.
bool Append(SlistPtr& ptr, const std::string& line) {
    curl_slist* grown = curl_slist_append(ptr.get(), line.c_str());
    if (grown == nullptr) {
        return false;
    }
    ptr.release();
    ptr.reset(grown);
    return true;
}

std::string FileNameOf(const std::string& storedPath) {
    std::size_t slash = storedPath.find_last_of("\\/");
    return slash == std::string::npos ? storedPath : storedPath.substr(slash + 1);
}

long LocalUtcOffsetSeconds() {
    time_t now = time(nullptr);
    struct tm local {};
    localtime_r(&now, &local);
    return local.tm_gmtoff;
}

}  // namespace

std::string GetLastMailError() {
    std::lock_guard<std::mutex> lock(g_lastMailErrorMutex);
    return g_sLastMailError;
}

int SendMail(CMailMessage m, const std::atomic<int>* runFlag) {
    if (RunFlagCleared(runFlag)) {
        return Fail(curl_easy_strerror(CURLE_ABORTED_BY_CALLBACK), "the sender is stopping");
    }
    if (!IsHostNameOrIPv4(m.sServer)) {
        return Fail("Invalid mail server", "not a host name or IPv4 address: " + m.sServer);
    }
    const char* why = nullptr;
    std::string from = ExtractMailbox(m.sFrom, &why);
    if (from.empty()) {
        return Fail("Invalid sender address", why);
    }
    std::string to = ExtractMailbox(m.sTo, &why);
    if (to.empty()) {
        return Fail("Invalid recipient address", why);
    }
    if (HasControlBytes(m.sUser) || HasControlBytes(m.sPassword)) {
        return Fail("Invalid login", "the user name or password holds control characters");
    }

    // Every attachment must be readable before anything is sent: a mail
    // never goes out with a part missing.
    const int count = std::min<int>(m.byAttachCount, kMaxMailAttachments);
    std::string nativePaths[kMaxMailAttachments];
    for (int i = 0; i < count; ++i) {
        nativePaths[i] = ToNativePath(m.sAttachment[i]);
        std::FILE* f = nativePaths[i].empty() ? nullptr : std::fopen(nativePaths[i].c_str(), "rb");
        if (f == nullptr) {
            return Fail("Cannot read attachment", m.sAttachment[i]);
        }
        std::fclose(f);
    }

    // Declared so that the handle goes first: what it points to outlives it.
    char errorBuffer[CURL_ERROR_SIZE] = {};
    const unsigned port = m.nPort == 0 ? kDefaultSmtpPort : m.nPort;
    const std::string url = "smtp://" + m.sServer + ":" + std::to_string(port);
    const std::string mailFrom = "<" + from + ">";
    SlistPtr recipients;
    SlistPtr headers;
    MimePtr mime;
    EnsureCurlReady();
    CurlPtr curl(curl_easy_init(), CurlDeleter{runFlag});
    if (!curl) {
        return Fail(curl_easy_strerror(CURLE_FAILED_INIT), "no mail handle");
    }
    CURLcode rc = ApplyCommonCurlOptions(curl.get(), runFlag, errorBuffer);
    mime.reset(curl_mime_init(curl.get()));

    const LocalTime now = GetLocalTimeNow();
    bool built = mime && Append(recipients, "<" + to + ">") &&
                 Append(headers, "From: \"Ostrevanne\" <" + from + ">") &&
                 Append(headers, "To: <" + to + ">") &&
                 Append(headers, "Subject: " + EncodeHeaderText(m.sSubject)) &&
                 Append(headers, "Date: " + FormatMailDate(now, LocalUtcOffsetSeconds())) &&
                 Append(headers, "Message-ID: " + MakeMessageId(now, from)) &&
                 Append(headers, "X-Priority: 3");
    if (built) {
        curl_mimepart* text = curl_mime_addpart(mime.get());
        built = text != nullptr &&
                curl_mime_data(text, m.sBody.data(), m.sBody.size()) == CURLE_OK &&
                curl_mime_type(text, "text/plain; charset=GB2312") == CURLE_OK &&
                curl_mime_encoder(text, "quoted-printable") == CURLE_OK;
    }
    for (int i = 0; built && i < count; ++i) {
        curl_mimepart* part = curl_mime_addpart(mime.get());
        built = part != nullptr && curl_mime_filedata(part, nativePaths[i].c_str()) == CURLE_OK &&
                curl_mime_filename(part, FileNameOf(m.sAttachment[i]).c_str()) == CURLE_OK &&
                curl_mime_type(part, "image/jpeg") == CURLE_OK &&
                curl_mime_encoder(part, "base64") == CURLE_OK;
    }
    if (!built) {
        return Fail(curl_easy_strerror(CURLE_OUT_OF_MEMORY), "the mail could not be built");
    }

    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl.get(), CURLOPT_MAIL_FROM, mailFrom.c_str());
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl.get(), CURLOPT_MAIL_RCPT, recipients.get());
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(curl.get(), CURLOPT_MIMEPOST, mime.get());
    }
    // The login goes through libcurl's own options, never into a URL.
    if (rc == CURLE_OK && !m.sUser.empty()) {
        rc = curl_easy_setopt(curl.get(), CURLOPT_USERNAME, m.sUser.c_str());
        if (rc == CURLE_OK) {
            rc = curl_easy_setopt(curl.get(), CURLOPT_PASSWORD, m.sPassword.c_str());
        }
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_perform(curl.get());
    }
    if (rc != CURLE_OK) {
        return Fail(curl_easy_strerror(rc), errorBuffer);
    }
    return 1;
}
