#include "core/inspection/PrintoutHeading.h"

#include "core/base/SettingsBatch.h"
#include "core/base/TextRoutines.h"

namespace zarn {

void PrintoutHeading::load(const PrivateProfile& settings) {
    const auto doc = IniDocument::load(settings.path()).value_or(IniDocument{});
    for (int i = 0; i < TextCount; ++i)
        texts_[i] = doc.read(Keys[i].section, Keys[i].key, "");
    logoMode_ = text::digitsToInt(doc.read("OPERATOR", "LogoText", "0"));
}

void PrintoutHeading::save(const PrivateProfile& settings) const {
    SettingsBatch batch(settings);
    for (int i = 0; i < TextCount; ++i)
        batch.write(Keys[i].section, Keys[i].key, texts_[i]);
    batch.write("OPERATOR", "LogoText", text::toText(logoMode_));
    batch.commit();
}

} // namespace zarn
