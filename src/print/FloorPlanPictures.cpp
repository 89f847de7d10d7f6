#include "print/FloorPlanPictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace zarn {

std::shared_ptr<const DecodedPicture> QtPictureDecoder::decode(std::string_view bytes) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Decode straight to the page's size: a huge picture never lands in memory whole.
    reader.setScaledSize(QSize(TTlorisPage::PictureWidth, TTlorisPage::PictureHeight));
    QImage image = reader.read();
    if (image.isNull())
        return nullptr;
    return std::make_shared<QtDecodedPicture>(std::move(image));
}

} // namespace zarn
