#pragma once
// The dialogs' text type: GB2312 bytes, so a length is a count of stored
// bytes (a Chinese character counts two), as the settings fields measure it.

#include <string>
#include <string_view>

#include "platform/ui/win_types.h"

class CString {
public:
    CString() = default;
    CString(const char* text) : m_s(text != nullptr ? text : "") {}
    CString(std::string text) : m_s(std::move(text)) {}
    CString(std::string_view text) : m_s(text) {}

    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    const char* GetString() const { return m_s.c_str(); }
    operator const char*() const { return m_s.c_str(); }
    const std::string& Str() const { return m_s; }

    // The string nID of the installed resources; FALSE (and empty) when
    // there is none.
    BOOL LoadString(UINT nID);

    // printf into the string.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

    CString& operator=(const char* text) {
        m_s = text != nullptr ? text : "";
        return *this;
    }
    CString& operator+=(const CString& other) {
        m_s += other.m_s;
        return *this;
    }
    friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CString& a, const char* b) { return a.m_s == (b ? b : ""); }

private:
    std::string m_s;
};
