#include "platform/ui/cstring.h"

#include <cstdarg>
#include <cstdio>

#include "platform/ui/resources.h"

BOOL CString::LoadString(UINT nID) {
    const IResourceProvider* provider = GetResourceProvider();
    m_s = provider != nullptr ? provider->LoadString(nID) : std::string();
    return m_s.empty() ? FALSE : TRUE;
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length < 0) {
        m_s.clear();
        va_end(again);
        return;
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    text.resize(static_cast<size_t>(length));
    m_s = std::move(text);
}
