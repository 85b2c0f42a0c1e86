#include "alerts/net_text_checks.h"

#include <algorithm>
#include <vector>

namespace {

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

bool IsLabelChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

bool AllDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ')) {
        s.remove_suffix(1);
    }
    return s;
}

}  // namespace

bool HasControlBytes(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return IsControl(static_cast<unsigned char>(c)); });
}

bool IsHostNameOrIPv4(std::string_view text) {
    if (text.empty() || text.size() > 253) {
        return false;
    }
    std::vector<std::string_view> labels;
    std::size_t start = 0;
    while (true) {
        std::size_t dot = text.find('.', start);
        std::string_view label = text.substr(
            start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-' ||
            !std::all_of(label.begin(), label.end(), IsLabelChar)) {
            return false;
        }
        labels.push_back(label);
        if (dot == std::string_view::npos) {
            break;
        }
        start = dot + 1;
    }
    // All-numeric names are addresses: exactly four parts of 0..255.
    if (std::all_of(labels.begin(), labels.end(), AllDigits)) {
        if (labels.size() != 4) {
            return false;
        }
        for (std::string_view part : labels) {
            if (part.size() > 3 || std::stoi(std::string(part)) > 255) {
                return false;
            }
        }
    }
    return true;
}

std::string ExtractMailbox(std::string_view stored, const char** why) {
    const char* dummy = nullptr;
    const char** reason = why ? why : &dummy;
    if (HasControlBytes(stored)) {
        *reason = "the address holds control characters";
        return "";
    }
    std::string_view box = Trim(stored);
    std::size_t open = box.find('<');
    if (open != std::string_view::npos) {
        std::size_t close = box.find('>', open);
        if (close == std::string_view::npos || !Trim(box.substr(close + 1)).empty()) {
            *reason = "the address has no closing bracket";
            return "";
        }
        box = Trim(box.substr(open + 1, close - open - 1));
    }
    if (box.empty()) {
        *reason = "the address is empty";
        return "";
    }
    if (box.size() > 254) {
        *reason = "the address is too long";
        return "";
    }
    for (char c : box) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x80 || c == ' ' || c == '<' || c == '>' || c == ',' || c == ';' || c == '"') {
            *reason = "the address is not a plain mail address";
            return "";
        }
    }
    std::size_t at = box.find('@');
    if (at == 0 || at == std::string_view::npos || at + 1 == box.size() ||
        box.find('@', at + 1) != std::string_view::npos) {
        *reason = "the address is not of the form name@domain";
        return "";
    }
    return std::string(box);
}

void CopyBoundedText(char* dst, std::size_t size, std::string_view text) {
    std::size_t n = std::min(text.size(), size - 1);
    for (std::size_t i = 0; i < n; ++i) {
        dst[i] = IsControl(static_cast<unsigned char>(text[i])) ? '?' : text[i];
    }
    dst[n] = '\0';
}

std::string BoundedText(std::string_view text, std::size_t maxChars) {
    std::string out(text.substr(0, maxChars));
    for (char& c : out) {
        if (IsControl(static_cast<unsigned char>(c))) {
            c = '?';
        }
    }
    return out;
}
