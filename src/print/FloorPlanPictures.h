// Floor-plan pictures of protocol pages, decoded with Qt's image readers (BMP, JPEG, PNG).
// A picture is kept at the page's picture size (stretched), so that many large pictures
// cannot exhaust memory.
#pragma once

#include "core/inspection/ProtocolPages.h"

#include <QImage>

namespace zarn {

class QtDecodedPicture : public DecodedPicture {
public:
    explicit QtDecodedPicture(QImage image) : image_(std::move(image)) {}
    int width() const override { return image_.width(); }
    int height() const override { return image_.height(); }
    const QImage& image() const { return image_; }

private:
    QImage image_;
};

class QtPictureDecoder : public PictureDecoder {
public:
    // Nothing when the bytes are no picture Qt can read.
    std::shared_ptr<const DecodedPicture> decode(std::string_view bytes) override;
};

} // namespace zarn
