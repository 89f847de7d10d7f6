#include "ui/DisplayText.h"

namespace zarn {

namespace {
int codePage_ = 1252;
}

void setDisplayCodePage(int codePage) {
    codePage_ = codePage;
}
int displayCodePage() {
    return codePage_;
}

QString toDisplay(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string fromDisplay(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace zarn
