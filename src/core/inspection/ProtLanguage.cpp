#include "core/inspection/ProtLanguage.h"

#include "core/base/TextRoutines.h"
#include "core/inspection/Protocol.h"

namespace zarn {

namespace {

// Reads keys prefix<first>_0 .. prefix<last>_0 into labels firstLabel, firstLabel + 1, ...
bool readRange(const IniDocument& file, const char* prefix, int first, int last, int firstLabel,
               LabelCaptions& labels, std::string& missing) {
    for (int k = first; k <= last; ++k) {
        const std::string key = prefix + text::toText(k) + "_0";
        auto value = file.find("PROTOCOL", key);
        if (!value || value->empty()) {
            missing = key;
            return false;
        }
        labels[firstLabel + (k - first)] = std::move(*value);
    }
    return true;
}

} // namespace

TProtLanguage::Result TProtLanguage::readTexts(const IniDocument& file,
                                               ProtocolTemplateTexts& texts) {
    ProtocolTemplateTexts t;
    std::string missing;
    const bool ok = readRange(file, "OO_Lab", 1, 21, 1, t.object, missing) &&
                    readRange(file, "BB_Lab", 1, 9, 1, t.block, missing) &&
                    readRange(file, "BB_CBox", 1, 29, 10, t.block, missing) &&
                    readRange(file, "SS_Lab", 1, 33, 1, t.lightningRod, missing) &&
                    readRange(file, "SS_CBox", 1, 9, 34, t.lightningRod, missing) &&
                    readRange(file, "SS_CBox", 19, 24, 43, t.lightningRod, missing) &&
                    readRange(file, "TT_Lab", 1, 2, 1, t.floorPlan, missing);
    if (!ok)
        return {false, missing};
    texts = std::move(t);
    return {};
}

TProtLanguage::Result TProtLanguage::ApplyProtocolTexts(const IniDocument& file,
                                                        TProtocol& protocol) {
    ProtocolTemplateTexts t;
    auto result = readTexts(file, t);
    if (result.ok)
        protocol.setTemplateTexts(std::move(t));
    return result;
}

} // namespace zarn
