#include "platform/textcodec/gb2312_codec.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts input; skipLength says how many bytes of bad input to skip
    // for one replacement.
    template <typename SkipLength>
    std::string Run(std::string_view input, std::string_view replacement, SkipLength skipLength) {
        std::string output;
        if (!ok()) {
            // No converter on this system: keep the ASCII, replace the rest.
            for (unsigned char c : input) {
                if (c < 0x80) {
                    output += static_cast<char>(c);
                } else {
                    output += replacement;
                }
            }
            return output;
        }
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char buffer[1024];
        while (inLeft > 0) {
            char* out = buffer;
            size_t outLeft = sizeof buffer;
            size_t result = iconv(cd_, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<size_t>(out - buffer));
            if (result != static_cast<size_t>(-1)) {
                continue;
            }
            if (errno == E2BIG) {
                continue;  // the buffer is full; go on with the rest
            }
            // EILSEQ (bad sequence) or EINVAL (cut off at the end).
            output += replacement;
            size_t skip = errno == EINVAL ? inLeft : skipLength(in, inLeft);
            in += skip;
            inLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &out, &outLeft);
        output.append(buffer, static_cast<size_t>(out - buffer));
        return output;
    }

private:
    iconv_t cd_;
};

// Length of the UTF-8 character that starts at text, at least 1, at most left.
size_t Utf8Length(const char* text, size_t left) {
    unsigned char lead = static_cast<unsigned char>(text[0]);
    size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    size_t n = 1;
    while (n < length && n < left && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) {
        ++n;
    }
    return n;
}

}  // namespace

std::string Gb2312ToUtf8(std::string_view gb2312) {
    Converter converter("UTF-8", "GBK");
    return converter.Run(gb2312, "\xEF\xBF\xBD", [](const char*, size_t) { return size_t{1}; });
}

std::string Utf8ToGb2312(std::string_view utf8) {
    Converter converter("GB2312", "UTF-8");
    return converter.Run(utf8, "?", Utf8Length);
}

std::string_view FixedFieldText(const char* field, size_t size) {
    if (field == nullptr) {
        return {};
    }
    const void* zero = std::memchr(field, '\0', size);
    return std::string_view(
        field, zero ? static_cast<size_t>(static_cast<const char*>(zero) - field) : size);
}
