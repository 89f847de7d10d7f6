#include "core/instrument/CommandErrors.h"

#include "core/base/TextRoutines.h"

namespace zarn {

std::string reasonOf(const std::exception& e) {
    std::string reason = e.what();
    if (const auto* comm = dynamic_cast<const EVaCommError*>(&e); comm && !comm->hint().empty())
        reason += text::CR + comm->hint();
    return reason;
}

void ErrorReporter::show(std::string_view number, const std::exception& e) {
    const std::string message = std::string(number) + text::CR + reasonOf(e);
    if (first_.empty())
        first_ = message;
    ui_.messageDlg(message, DialogType::Error, {DialogButton::Ok});
}

void ErrorReporter::show(std::string_view number) {
    if (first_.empty())
        first_ = std::string(number);
    ui_.messageDlg(number, DialogType::Error, {DialogButton::Ok});
}

} // namespace zarn
