#include "capture/ansi_text.h"

#include <iconv.h>

#include <cstring>

#include "platform/capture/utf16.h"

void Utf16ToAnsi(const std::u16string& text, char* out, size_t size) {
    if (out == nullptr || size == 0) {
        return;
    }
    std::memset(out, 0, size);
    iconv_t cd = iconv_open("GB2312", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return;
    }
    size_t used = 0;
    // One character at a time, so that a missing one becomes '?'.
    for (size_t i = 0; i < text.size(); ++i) {
        std::u16string one(1, text[i]);
        if (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size()) {
            one.push_back(text[++i]);
        }
        std::string utf8 = Utf16ToUtf8(one);
        char encoded[8] = {};
        char* in = utf8.data();
        size_t inLeft = utf8.size();
        char* dst = encoded;
        size_t dstLeft = sizeof(encoded);
        size_t n = 0;
        if (iconv(cd, &in, &inLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            encoded[0] = '?';
            n = 1;
        } else {
            n = sizeof(encoded) - dstLeft;
        }
        if (used + n > size - 1) {
            break;
        }
        std::memcpy(out + used, encoded, n);
        used += n;
    }
    iconv_close(cd);
}
