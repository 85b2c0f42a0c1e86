#include "platform/ui/shell_open.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>
#include <string>

#include "platform/textcodec/gb2312_codec.h"

namespace {
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
    QDesktopServices::openUrl(url);
}
