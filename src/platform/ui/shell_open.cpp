#include "platform/ui/shell_open.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include "platform/textcodec/gb2312_codec.h"

namespace {
std::function<void(const std::string&)> g_handler;

bool LooksLikeAddress(const std::string& target) {
    return target.rfind("mailto:", 0) == 0 || target.find("://") != std::string::npos;
}
}  // namespace

void ShellOpen(const char* target, int /*nShowCmd*/) {
    if (target == nullptr || target[0] == '\0') {
        return;
    }
    std::string text = Gb2312ToUtf8(target);
    QString s = QString::fromStdString(text);
    QUrl url =
        LooksLikeAddress(text) ? QUrl(s) : QUrl::fromLocalFile(QDir::current().absoluteFilePath(s));
    if (g_handler) {
        g_handler(url.toString().toStdString());
        return;
    }
    QDesktopServices::openUrl(url);
}

void SetShellOpenHandlerForTesting(std::function<void(const std::string&)> handler) {
    g_handler = std::move(handler);
}
