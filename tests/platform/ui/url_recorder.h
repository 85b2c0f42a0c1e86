#pragma once
// Records what the program asks the desktop to open instead of opening
// it: the desktop services' own handlers for the file, web and mail
// schemes, set for the recorder's life.

#include <QObject>
#include <QUrl>
#include <string>
#include <vector>

class UrlRecorder : public QObject {
    Q_OBJECT

public:
    UrlRecorder();
    ~UrlRecorder() override;

    const std::vector<std::string>& Opened() const { return m_opened; }

public slots:
    void Open(const QUrl& url);

private:
    std::vector<std::string> m_opened;
};
