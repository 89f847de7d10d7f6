#include "core/inspection/PrintoutComments.h"

#include "core/base/SettingsBatch.h"
#include "core/base/TextRoutines.h"

namespace zarn {

namespace {
const std::string kEmpty;
}

const std::string& PrintoutComments::line(int n) const {
    return n >= 1 && n <= LineCount ? lines_[n - 1] : kEmpty;
}

void PrintoutComments::setLine(int n, std::string text) {
    if (n >= 1 && n <= LineCount)
        lines_[n - 1] = std::move(text);
}

const std::string& PrintoutComments::autotestLine(int n) const {
    return n >= 1 && n <= AutotestLineCount ? autotest_[n - 1] : kEmpty;
}

void PrintoutComments::setAutotestLine(int n, std::string text) {
    if (n >= 1 && n <= AutotestLineCount)
        autotest_[n - 1] = std::move(text);
}

void PrintoutComments::clearLines() {
    for (auto& l : lines_)
        l.clear();
    for (auto& l : autotest_)
        l.clear();
}

const std::string& PrintoutComments::switches() {
    if (switches_.size() < 3)
        switches_ = DefaultSwitches;
    return switches_;
}

void PrintoutComments::load(const PrivateProfile& settings) {
    const auto doc = IniDocument::load(settings.path()).value_or(IniDocument{});
    for (int n = 1; n <= LineCount; ++n)
        lines_[n - 1] = doc.read("COMMENTS", "comm" + text::toText(n), "");
    for (int n = 1; n <= AutotestLineCount; ++n)
        autotest_[n - 1] = doc.read("COMMENTS", "scomm" + text::toText(n), "");
    switches_ = doc.read("COMMENTS", "checks", DefaultSwitches);
}

void PrintoutComments::save(const PrivateProfile& settings) const {
    SettingsBatch batch(settings);
    for (int n = 1; n <= LineCount; ++n)
        batch.write("COMMENTS", "comm" + text::toText(n), lines_[n - 1]);
    for (int n = 1; n <= AutotestLineCount; ++n)
        batch.write("COMMENTS", "scomm" + text::toText(n), autotest_[n - 1]);
    batch.write("COMMENTS", "checks", switches_);
    batch.commit();
}

} // namespace zarn
