#include "core/comm/InstrumentFrames.h"

#include <stdexcept>

namespace zarn::frames {

namespace {

bool startsWith(std::string_view bytes, std::string_view header) {
    return bytes.size() >= header.size() && bytes.substr(0, header.size()) == header;
}

int byteAt(std::string_view bytes, size_t i) {
    return static_cast<uint8_t>(bytes[i]);
}

} // namespace

int ackResult(std::string_view bytes) {
    if (!startsWith(bytes, AckHeader))
        return AckWrongHeader;
    if (bytes.size() < static_cast<size_t>(AckSize))
        return AckIncomplete;
    return byteAt(bytes, 4);
}

int countFromFrame(std::string_view bytes) {
    if (bytes.size() < static_cast<size_t>(CountSize) || !startsWith(bytes, CountHeader))
        return 0;
    return byteAt(bytes, 4) * 256 + byteAt(bytes, 5);
}

std::optional<int> identificationLength(std::string_view header) {
    if (header.size() < static_cast<size_t>(IdentificationHeaderSize) ||
        !startsWith(header, IdentificationHeader))
        return std::nullopt;
    return byteAt(header, 3) * 256 + byteAt(header, 4);
}

std::optional<int> recordLength(std::string_view header) {
    if (header.size() < static_cast<size_t>(RecordHeaderSize) || !startsWith(header, RecordHeader))
        return std::nullopt;
    return byteAt(header, 3);
}

std::string ackFrame(uint8_t status) {
    std::string f(AckHeader);
    f += '\0';
    f += static_cast<char>(status);
    return f;
}

std::string countFrame(uint16_t count) {
    std::string f(CountHeader);
    f += '\0';
    f += static_cast<char>(count >> 8);
    f += static_cast<char>(count & 0xFF);
    return f;
}

std::string identificationFrame(std::string_view payload) {
    if (payload.size() > 0xFFFF)
        throw std::length_error("identification payload longer than 65535 bytes");
    std::string f(IdentificationHeader);
    f += static_cast<char>(payload.size() >> 8);
    f += static_cast<char>(payload.size() & 0xFF);
    f += payload;
    return f;
}

std::string recordFrame(std::string_view payload) {
    if (payload.size() > 0xFF)
        throw std::length_error("record payload longer than 255 bytes");
    std::string f(RecordHeader);
    f += static_cast<char>(payload.size());
    f += payload;
    return f;
}

std::string hexDump(std::string_view bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i)
            out += ' ';
        const auto b = static_cast<uint8_t>(bytes[i]);
        out += digits[b >> 4];
        out += digits[b & 0xF];
    }
    return out;
}

} // namespace zarn::frames
