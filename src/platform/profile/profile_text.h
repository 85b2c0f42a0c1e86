#pragma once
// The lines of a profile file and the look-ups on them, apart from any file
// access so that reading and rewriting share one parser.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ProfileText {
public:
    explicit ProfileText(std::string_view bytes);

    // The trimmed value of section/key, or nothing when either is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    // Replaces or adds the key line as the profile functions describe.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // The whole file, every line ended with the file's line end.
    std::string Serialize() const;

private:
    // Index of the first "[section]" line, or lines_.size().
    size_t FindSection(std::string_view section) const;
    // One past the last line that belongs to the section starting at header.
    size_t SectionEnd(size_t header) const;
    // Index of the key line inside [header + 1, end), or end.
    size_t FindKey(size_t header, size_t end, std::string_view key) const;

    std::vector<std::string> lines_;  // without line ends
    std::string lineEnd_ = "\r\n";
};

std::string_view TrimProfileText(std::string_view text);
