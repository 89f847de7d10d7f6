#include "core/base/IniFile.h"

#include "core/base/AtomicFile.h"
#include "core/base/TextRoutines.h"

#include <fstream>
#include <iterator>

namespace zarn {

IniDocument::IniDocument(std::string bytes) {
    std::string_view rest(bytes);
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") {
        bom_ = rest.substr(0, 3);
        rest.remove_prefix(3);
    }
    while (!rest.empty()) {
        const auto lf = rest.find('\n');
        if (lf == std::string_view::npos) {
            lines_.push_back({std::string(rest), {}});
            break;
        }
        std::string_view text = rest.substr(0, lf);
        if (!text.empty() && text.back() == '\r') {
            text.remove_suffix(1);
            lines_.push_back({std::string(text), "\r\n"});
        } else {
            lines_.push_back({std::string(text), "\n"});
        }
        rest.remove_prefix(lf + 1);
    }
}

std::optional<IniDocument> IniDocument::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return std::nullopt;
    return IniDocument(std::move(bytes));
}

std::optional<std::string_view> IniDocument::sectionName(std::string_view line) {
    const auto t = text::trim(line);
    if (t.size() < 2 || t.front() != '[')
        return std::nullopt;
    const auto close = t.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return text::trim(t.substr(1, close - 1));
}

std::optional<std::pair<std::string_view, std::string_view>>
IniDocument::keyValue(std::string_view line) {
    const auto t = text::trim(line);
    if (t.empty() || t.front() == ';')
        return std::nullopt;
    const auto eq = t.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return std::pair{text::trim(t.substr(0, eq)), text::trim(t.substr(eq + 1))};
}

std::optional<IniDocument::SectionRange> IniDocument::findSection(std::string_view section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        const auto name = sectionName(lines_[i].text);
        if (!name || !text::equalsIgnoreCase(*name, section))
            continue;
        size_t end = i + 1;
        while (end < lines_.size() && !sectionName(lines_[end].text))
            ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::find(std::string_view section, std::string_view key) const {
    const auto range = findSection(section);
    if (!range)
        return std::nullopt;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        const auto kv = keyValue(lines_[i].text);
        if (kv && text::equalsIgnoreCase(kv->first, key))
            return std::string(kv->second);
    }
    return std::nullopt;
}

std::string IniDocument::read(std::string_view section, std::string_view key,
                              std::string_view defaultValue) const {
    auto value = find(section, key);
    return value ? std::move(*value) : std::string(defaultValue);
}

bool IniDocument::hasSection(std::string_view section) const {
    return findSection(section).has_value();
}

std::vector<std::string> IniDocument::keys(std::string_view section) const {
    std::vector<std::string> out;
    const auto range = findSection(section);
    if (!range)
        return out;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        if (const auto kv = keyValue(lines_[i].text))
            out.emplace_back(kv->first);
    }
    return out;
}

std::vector<std::string> IniDocument::entries(std::string_view section) const {
    std::vector<std::string> out;
    const auto range = findSection(section);
    if (!range)
        return out;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        if (keyValue(lines_[i].text))
            out.emplace_back(text::trim(lines_[i].text));
    }
    return out;
}

std::vector<std::string> IniDocument::sections() const {
    std::vector<std::string> out;
    for (const auto& line : lines_) {
        if (const auto name = sectionName(line.text))
            out.emplace_back(*name);
    }
    return out;
}

std::string IniDocument::newLineEnd() const {
    for (const auto& line : lines_) {
        if (!line.end.empty())
            return line.end;
    }
    return "\n";
}

void IniDocument::write(std::string_view section, std::string_view key, std::string_view value) {
    const std::string entry = std::string(key) + "=" + std::string(value);
    const std::string eol = newLineEnd();
    // The last line may lack its line end; give it one before anything follows it.
    auto terminateLast = [&] {
        if (!lines_.empty() && lines_.back().end.empty())
            lines_.back().end = eol;
    };
    const auto range = findSection(section);
    if (!range) {
        terminateLast();
        lines_.push_back({"[" + std::string(section) + "]", eol});
        lines_.push_back({entry, eol});
        return;
    }
    size_t lastEntry = range->header;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        const auto kv = keyValue(lines_[i].text);
        if (!kv)
            continue;
        if (text::equalsIgnoreCase(kv->first, key)) {
            lines_[i].text = entry;
            return;
        }
        lastEntry = i;
    }
    if (lastEntry + 1 == lines_.size())
        terminateLast();
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastEntry + 1), Line{entry, eol});
}

std::string IniDocument::bytes() const {
    std::string out = bom_;
    for (const auto& line : lines_) {
        out += line.text;
        out += line.end;
    }
    return out;
}

bool IniDocument::save(const std::string& path) const {
    return writeFileAtomically(path, bytes()).ok;
}

std::string PrivateProfile::read(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    const auto doc = IniDocument::load(path_);
    if (!doc)
        return std::string(defaultValue);
    return doc->read(section, key, defaultValue);
}

void PrivateProfile::write(std::string_view section, std::string_view key,
                           std::string_view value) const {
    IniDocument doc = IniDocument::load(path_).value_or(IniDocument{});
    doc.write(section, key, value);
    (void)doc.save(path_); // a failed settings write is ignored
}

} // namespace zarn
