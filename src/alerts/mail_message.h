#pragma once
// One outgoing mail, passed by value. Texts are GB2312 bytes, as the settings
// hold them; attachment paths are stored (Windows-style) paths.

#include <cstdint>
#include <string>

constexpr int kMaxMailAttachments = 10;
constexpr std::uint16_t kDefaultSmtpPort = 25;

struct CMailMessage {
    std::string sServer;                     // host name or dotted IPv4 address
    std::uint16_t nPort = kDefaultSmtpPort;  // SMTP port; 0 means 25
    std::string sUser;                       // empty: no login
    std::string sPassword;
    std::string sFrom;  // "a@b.c" or "Name <a@b.c>"
    std::string sTo;    // one recipient, same forms
    std::string sSubject;
    std::string sBody;
    std::string sAttachment[kMaxMailAttachments];
    std::uint8_t byAttachCount = 0;  // how many of sAttachment, from the first, go along
};
