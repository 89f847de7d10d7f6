#include "core/inspection/ProtocolPages.h"

namespace zarn {

namespace {
const std::string kEmpty;
}

TFormPage::TFormPage(int editCount, int checkCount, SharedCaptions labels)
    : edits_(static_cast<size_t>(editCount)), checks_(static_cast<size_t>(checkCount), 0),
      labels_(std::move(labels)) {}

const LabelCaptions& TFormPage::labels() const {
    static const LabelCaptions none;
    return labels_ ? *labels_ : none;
}

const std::string& TFormPage::edit(int n) const {
    return n >= 1 && n <= editCount() ? edits_[static_cast<size_t>(n - 1)] : kEmpty;
}

void TFormPage::setEdit(int n, std::string text) {
    if (n >= 1 && n <= editCount())
        edits_[static_cast<size_t>(n - 1)] = std::move(text);
}

bool TFormPage::check(int n) const {
    return n >= 1 && n <= checkCount() && checks_[static_cast<size_t>(n - 1)] != 0;
}

void TFormPage::setCheck(int n, bool ticked) {
    if (n >= 1 && n <= checkCount())
        checks_[static_cast<size_t>(n - 1)] = ticked ? 1 : 0;
}

std::string TFormPage::checksText() const {
    std::string out;
    out.reserve(checks_.size());
    for (char c : checks_)
        out += c ? '1' : '0';
    return out;
}

void TFormPage::setChecksFromText(std::string_view line) {
    for (size_t i = 0; i < checks_.size(); ++i)
        checks_[i] = i < line.size() && line[i] == '1' ? 1 : 0;
}

} // namespace zarn
