#include "print/DisplayText.h"

#include "core/lang/TextEncoding.h"

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
    // Plain ASCII and UTF-8 need no conversion through the code page.
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const std::string utf8 = displayText(bytes, codePage_);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string toStored(const QString& typed) {
    return storedText(typed.toUtf8().toStdString(), codePage_);
}

std::string toStored(const QString& typed, std::string_view original) {
    return storedText(typed.toUtf8().toStdString(), original, codePage_);
}

std::string fromDisplay(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace zarn
