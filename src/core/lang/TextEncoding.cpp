#include "core/lang/TextEncoding.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

namespace zarn {

bool isValidUtf8(std::string_view bytes) {
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        if (b0 < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        unsigned char low = 0x80; // allowed range of the second byte
        unsigned char high = 0xBF;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            length = 2;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            length = 3;
            if (b0 == 0xE0)
                low = 0xA0; // overlong
            if (b0 == 0xED)
                high = 0x9F; // surrogates
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            length = 4;
            if (b0 == 0xF0)
                low = 0x90;
            if (b0 == 0xF4)
                high = 0x8F; // above U+10FFFF
        } else {
            return false;
        }
        if (n - i < length)
            return false;
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        if (b1 < low || b1 > high)
            return false;
        for (size_t k = 2; k < length; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

int codePageForLcid(int lcid) {
    const int primary = lcid & 0x3FF;
    switch (primary) {
    case 0x19: // Russian
    case 0x2F: // Macedonian
    case 0x02: // Bulgarian
    case 0x22: // Ukrainian
    case 0x23: // Belarusian
        return 1251;
    case 0x1A: // Croatian, Serbian and Bosnian share a primary id; the sub-language decides
        switch (lcid) {
        case 0x0C1A: // Serbian Cyrillic (Serbia and Montenegro)
        case 0x1C1A: // Serbian Cyrillic (Bosnia)
        case 0x201A: // Bosnian Cyrillic
        case 0x281A: // Serbian Cyrillic (Serbia)
        case 0x301A: // Serbian Cyrillic (Montenegro)
            return 1251;
        default:
            return 1250;
        }
    case 0x24: // Slovenian
    case 0x05: // Czech
    case 0x1B: // Slovak
    case 0x15: // Polish
    case 0x0E: // Hungarian
    case 0x18: // Romanian
    case 0x1C: // Albanian
        return 1250;
    default:
        return 1252;
    }
}

namespace {

// One converter per direction and code page, opened on first use. iconv_t keeps state between
// calls, so the converters are used under a lock.
class Converters {
public:
    ~Converters() {
        for (auto& [names, cd] : converters_) {
            if (cd != invalid())
                iconv_close(cd);
        }
    }

    // The text in the code page; nothing when a character has no byte there.
    std::optional<std::string> encode(std::string_view utf8, int codePage) {
        std::lock_guard lock(mutex_);
        iconv_t cd = converter("WINDOWS-" + std::to_string(codePage), "UTF-8");
        if (cd == invalid())
            return std::nullopt;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        std::string in(utf8);
        std::string out(utf8.size(), '\0'); // single-byte output is never longer
        char* inPtr = in.data();
        size_t inLeft = in.size();
        char* outPtr = out.data();
        size_t outLeft = out.size();
        const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (r == static_cast<size_t>(-1) || inLeft != 0)
            return std::nullopt;
        out.resize(out.size() - outLeft);
        return out;
    }

    std::string decode(std::string_view bytes, int codePage) {
        std::lock_guard lock(mutex_);
        iconv_t cd = converter("UTF-8", "WINDOWS-" + std::to_string(codePage));
        std::string out;
        out.reserve(bytes.size() * 2);
        if (cd == invalid()) {
            appendAsReplacement(bytes, out);
            return out;
        }
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[256];
        size_t i = 0;
        while (i < bytes.size()) {
            // Convert one byte at a time: single-byte code pages map each byte on its own,
            // and an unmapped byte then costs exactly one replacement character.
            char in = bytes[i];
            char* inPtr = &in;
            size_t inLeft = 1;
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
            if (r == static_cast<size_t>(-1) || inLeft != 0) {
                out += "\xEF\xBF\xBD";
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
            } else {
                out.append(buffer, static_cast<size_t>(outPtr - buffer));
            }
            ++i;
        }
        return out;
    }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

    static void appendAsReplacement(std::string_view bytes, std::string& out) {
        for (char c : bytes) {
            if (static_cast<unsigned char>(c) < 0x80)
                out += c;
            else
                out += "\xEF\xBF\xBD";
        }
    }

    iconv_t converter(const std::string& to, const std::string& from) {
        auto it = converters_.find({to, from});
        if (it == converters_.end())
            it = converters_.emplace(std::pair{to, from}, iconv_open(to.c_str(), from.c_str()))
                     .first;
        return it->second;
    }

    std::mutex mutex_;
    std::map<std::pair<std::string, std::string>, iconv_t> converters_; // by (to, from)
};

Converters& converters() {
    static Converters instance;
    return instance;
}

} // namespace

std::string displayText(std::string_view bytes, int codePage) {
    if (isValidUtf8(bytes))
        return std::string(bytes);
    return converters().decode(bytes, codePage);
}

std::string storedText(std::string_view typed, int codePage) {
    const bool ascii = std::all_of(typed.begin(), typed.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii || !isValidUtf8(typed))
        return std::string(typed);
    auto encoded = converters().encode(typed, codePage);
    // Code-page bytes that happen to form valid UTF-8 would be shown as other text.
    if (!encoded || displayText(*encoded, codePage) != typed)
        return std::string(typed);
    return std::move(*encoded);
}

std::string storedText(std::string_view typed, std::string_view original, int codePage) {
    if (displayText(original, codePage) == typed)
        return std::string(original);
    return storedText(typed, codePage);
}

} // namespace zarn
