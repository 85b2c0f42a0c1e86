#include "platform/profile/profile_text.h"

#include <strings.h>

namespace {

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The name of a "[name]" line, or nothing when the line is no section header.
std::optional<std::string_view> SectionName(std::string_view line) {
    std::string_view text = TrimProfileText(line);
    if (text.empty() || text.front() != '[') {
        return std::nullopt;
    }
    size_t close = text.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return TrimProfileText(text.substr(1, close - 1));
}

}  // namespace

std::string_view TrimProfileText(std::string_view text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) {
        return {};
    }
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

ProfileText::ProfileText(std::string_view bytes) {
    bool lineEndSeen = false;
    while (!bytes.empty()) {
        size_t newline = bytes.find('\n');
        std::string_view line = bytes.substr(0, newline);
        bool hasNewline = newline != std::string_view::npos;
        bool hasCr = !line.empty() && line.back() == '\r';
        if (hasCr) {
            line.remove_suffix(1);
        }
        if (hasNewline && !lineEndSeen) {
            lineEnd_ = hasCr ? "\r\n" : "\n";
            lineEndSeen = true;
        }
        lines_.emplace_back(line);
        bytes.remove_prefix(hasNewline ? newline + 1 : bytes.size());
    }
}

size_t ProfileText::FindSection(std::string_view section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        std::optional<std::string_view> name = SectionName(lines_[i]);
        if (name && SameName(*name, section)) {
            return i;
        }
    }
    return lines_.size();
}

size_t ProfileText::SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines_.size() && !SectionName(lines_[i])) {
        ++i;
    }
    return i;
}

size_t ProfileText::FindKey(size_t header, size_t end, std::string_view key) const {
    for (size_t i = header + 1; i < end; ++i) {
        std::string_view line = TrimProfileText(lines_[i]);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        size_t equals = line.find('=');
        if (equals != std::string_view::npos &&
            SameName(TrimProfileText(line.substr(0, equals)), key)) {
            return i;
        }
    }
    return end;
}

std::optional<std::string> ProfileText::Find(std::string_view section, std::string_view key) const {
    size_t header = FindSection(section);
    if (header == lines_.size()) {
        return std::nullopt;
    }
    size_t end = SectionEnd(header);
    size_t line = FindKey(header, end, key);
    if (line == end) {
        return std::nullopt;
    }
    std::string_view text = lines_[line];
    return std::string(TrimProfileText(text.substr(text.find('=') + 1)));
}

void ProfileText::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string keyLine = std::string(key) + "=" + std::string(value);
    size_t header = FindSection(section);
    if (header == lines_.size()) {
        std::string headerLine = "[";
        headerLine.append(section);
        headerLine += ']';
        lines_.push_back(std::move(headerLine));
        lines_.push_back(std::move(keyLine));
        return;
    }
    size_t end = SectionEnd(header);
    size_t line = FindKey(header, end, key);
    if (line != end) {
        lines_[line] = std::move(keyLine);
        return;
    }
    // After the section's last non-blank line, so blank lines between
    // sections stay between them.
    size_t insertAt = end;
    while (insertAt > header + 1 && TrimProfileText(lines_[insertAt - 1]).empty()) {
        --insertAt;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(keyLine));
}

std::string ProfileText::Serialize() const {
    std::string bytes;
    for (const std::string& line : lines_) {
        bytes += line;
        bytes += lineEnd_;
    }
    return bytes;
}
