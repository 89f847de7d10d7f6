#include "Fixture.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace zarnsim {

namespace {

using nlohmann::json;

std::string fromHex(const std::string& hex) {
    std::string bytes;
    int high = -1;
    for (char c : hex) {
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else if (c == ' ' || c == ':')
            continue;
        else
            throw std::runtime_error("not a hex digit in \"" + hex + "\"");
        if (high < 0) {
            high = v;
        } else {
            bytes += static_cast<char>(high * 16 + v);
            high = -1;
        }
    }
    if (high >= 0)
        throw std::runtime_error("odd number of hex digits in \"" + hex + "\"");
    return bytes;
}

template <typename T>
T number(const json& j, const char* key, long min, long max, T fallback) {
    if (!j.contains(key))
        return fallback;
    const long v = j.at(key).get<long>();
    if (v < min || v > max)
        throw std::runtime_error(std::string(key) + " out of range: " + std::to_string(v));
    return static_cast<T>(v);
}

std::string record(const json& r) {
    if (r.contains("payload_hex")) {
        auto bytes = fromHex(r.at("payload_hex").get<std::string>());
        if (bytes.size() > 255)
            throw std::runtime_error("a record payload holds at most 255 bytes");
        return bytes;
    }
    std::vector<zarn::SimulatedItem> items;
    for (const auto& i : r.value("items", json::array())) {
        zarn::SimulatedItem item;
        const auto letter = i.at("letter").get<std::string>();
        if (letter.size() != 1)
            throw std::runtime_error("an item letter is one character: \"" + letter + "\"");
        item.letter = letter[0];
        item.quantity = number<uint8_t>(i, "quantity", 0, 255, 0);
        item.unit = number<uint8_t>(i, "unit", 0, 255, 0);
        item.text = i.value("text", "");
        items.push_back(std::move(item));
    }
    auto payload = zarn::recordPayload(number<uint16_t>(r, "block", 0, 65535, 1),
                                       number<uint16_t>(r, "element", 0, 65535, 1),
                                       number<uint8_t>(r, "function", 0, 255, 0), items);
    if (payload.size() > 255)
        throw std::runtime_error("a record payload holds at most 255 bytes");
    return payload;
}

} // namespace

zarn::SimulatorData parseFixture(const std::string& text) {
    try {
        const json j = json::parse(text);
        zarn::SimulatorData data;
        if (j.contains("identification_hex")) {
            data.identification = fromHex(j.at("identification_hex").get<std::string>());
        } else if (j.contains("strings") || j.contains("type_code")) {
            const auto strings = j.value("strings", std::vector<std::string>{});
            if (strings.size() > 10)
                throw std::runtime_error("an instrument has at most 10 identification strings");
            data.identification = zarn::identificationPayload(
                number<uint16_t>(j, "type_code", 0, 65535, 16), strings);
        } else {
            data.identification = zarn::defaultIdentificationPayload();
        }
        if (data.identification.size() > 65535)
            throw std::runtime_error("the identification holds at most 65535 bytes");
        for (const auto& r : j.value("records", json::array()))
            data.records.push_back(record(r));
        return data;
    } catch (const json::exception& e) {
        throw std::runtime_error(std::string("fixture: ") + e.what());
    }
}

} // namespace zarnsim
