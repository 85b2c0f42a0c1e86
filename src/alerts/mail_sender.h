#pragma once
// Sends one mail over SMTP: From with the display name "Ostrevanne", one To,
// the subject, Date, Message-ID, priority 3, charset GB2312, the body as a
// text part and each attachment as an "image/jpeg" part in base64 named by
// its file name.

#include <atomic>
#include <string>

#include "alerts/mail_message.h"

// 1 when the server accepted the mail, 0 otherwise; the reason is then kept
// for GetLastMailError as "Error info: %s\r\n details: %s". A bad address or
// server text, or an attachment that cannot be read, sends nothing. The call
// gives up within seconds when the server stops answering and soon after
// *runFlag is cleared (nullptr: never aborted).
int SendMail(CMailMessage message, const std::atomic<int>* runFlag = nullptr);

// The error text of the last failed send (empty before any failure; a
// successful send leaves it). At most kMaxMailErrorChars characters.
std::string GetLastMailError();

constexpr std::size_t kMaxMailErrorChars = 200;
