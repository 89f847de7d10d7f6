// INI files with the semantics of Windows private-profile files.
//
//  - Section and key names compare case-insensitively (ASCII); the first match wins.
//  - Values are trimmed of spaces and tabs; a key that is absent reads as the default.
//  - Lines end in CR LF or LF; a UTF-8 byte-order mark at the start is ignored.
//  - Lines beginning with ';' are comments. A line without '=' inside a section is no key.
//  - A write changes one key in place and keeps every other line byte for byte; it creates
//    the section (at the end) or the key (after the section's last entry) when needed.
//
// Bytes stay bytes: nothing is decoded, so values keep their exact content.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarn {

class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string bytes);

    // Reads the file; a missing or unreadable file gives nothing.
    static std::optional<IniDocument> load(const std::string& path);

    // Value of the first `key` in the first `section`, or `defaultValue` when absent.
    std::string read(std::string_view section, std::string_view key,
                     std::string_view defaultValue = {}) const;
    std::optional<std::string> find(std::string_view section, std::string_view key) const;

    bool hasSection(std::string_view section) const;
    // Key names of the first matching section, in file order.
    std::vector<std::string> keys(std::string_view section) const;
    // The entry lines of the section ("key=value", untrimmed as in the file), in file order.
    std::vector<std::string> entries(std::string_view section) const;
    // Section names in file order.
    std::vector<std::string> sections() const;

    // Sets one key; the rest of the text stays as it was.
    void write(std::string_view section, std::string_view key, std::string_view value);

    // The whole file as bytes.
    std::string bytes() const;
    // Writes the file (through a temporary file in the same folder). False on failure.
    bool save(const std::string& path) const;

private:
    struct Line {
        std::string text; // without its line end
        std::string end;  // "\r\n", "\n" or "" for the last line
    };
    struct SectionRange {
        size_t header; // index of the header line
        size_t end;    // one past the last line of the section
    };
    std::optional<SectionRange> findSection(std::string_view section) const;
    static std::optional<std::string_view> sectionName(std::string_view line);
    static std::optional<std::pair<std::string_view, std::string_view>>
    keyValue(std::string_view line);
    std::string newLineEnd() const;

    std::string bom_;
    std::vector<Line> lines_;
};

// Settings access as the program uses it: each call opens the file, reads or writes one
// string and closes it again. A failed write is ignored; the program goes on.
class PrivateProfile {
public:
    explicit PrivateProfile(std::string path) : path_(std::move(path)) {}

    std::string read(std::string_view section, std::string_view key,
                     std::string_view defaultValue = {}) const;
    void write(std::string_view section, std::string_view key, std::string_view value) const;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

} // namespace zarn
