#include "platform/ui/url_recorder.h"

#include <QDesktopServices>

namespace {
const char* const kSchemes[] = {"file", "http", "https", "mailto"};
}

UrlRecorder::UrlRecorder() {
    for (const char* scheme : kSchemes) {
        QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
}

UrlRecorder::~UrlRecorder() {
    for (const char* scheme : kSchemes) {
        QDesktopServices::unsetUrlHandler(scheme);
    }
}

void UrlRecorder::Open(const QUrl& url) {
    m_opened.push_back(url.toString().toStdString());
}
