// Replays recorded report pages onto a paint engine that keeps what was drawn: texts with their
// baseline points, filled rectangles with their colours, lines and pictures.
#pragma once

#include "print/PagePrinter.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QTextItem>
#include <vector>

namespace zarn::test {

struct DrawnText {
    QString text;
    QPointF at; // baseline
};

struct DrawnPage {
    std::vector<DrawnText> texts;
    std::vector<std::pair<QRectF, QColor>> fills;
    int lines = 0;
    int images = 0;

    bool has(const QString& text) const { return find(text) != nullptr; }
    const DrawnText* find(const QString& text) const {
        for (const auto& t : texts)
            if (t.text == text)
                return &t;
        return nullptr;
    }
    int count(const QString& text) const {
        int n = 0;
        for (const auto& t : texts)
            n += t.text == text;
        return n;
    }
    int fillsOf(const QColor& colour) const {
        int n = 0;
        for (const auto& f : fills)
            n += f.second == colour;
        return n;
    }
    QStringList textList() const {
        QStringList all;
        for (const auto& t : texts)
            all << t.text;
        return all;
    }
};

class RecordingEngine : public QPaintEngine {
public:
    explicit RecordingEngine(DrawnPage& page) : QPaintEngine(AllFeatures), page_(page) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }
    void updateState(const QPaintEngineState& state) override {
        if (state.state() & DirtyBrush)
            brush_ = state.brush();
        if (state.state() & DirtyTransform)
            transform_ = state.transform();
    }
    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i)
            if (brush_.style() != Qt::NoBrush)
                page_.fills.emplace_back(transform_.mapRect(rects[i]), brush_.color());
    }
    void drawRects(const QRect* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            const QRectF r(rects[i]);
            drawRects(&r, 1);
        }
    }
    void drawLines(const QLineF*, int count) override { page_.lines += count; }
    void drawLines(const QLine*, int count) override { page_.lines += count; }
    // Replayed lines arrive as polylines, replayed fills as paths.
    void drawPolygon(const QPointF*, int, PolygonDrawMode mode) override {
        page_.lines += mode == PolylineMode;
    }
    void drawPolygon(const QPoint*, int, PolygonDrawMode mode) override {
        page_.lines += mode == PolylineMode;
    }
    void drawPath(const QPainterPath& path) override {
        if (brush_.style() != Qt::NoBrush)
            page_.fills.emplace_back(transform_.map(path).boundingRect(), brush_.color());
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        page_.texts.push_back({item.text(), transform_.map(p)});
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { ++page_.images; }
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
        ++page_.images;
    }

private:
    DrawnPage& page_;
    QBrush brush_;
    QTransform transform_;
};

class RecordingDevice : public QPaintDevice {
public:
    explicit RecordingDevice(DrawnPage& page, QSize size) : engine_(page), size_(size) {}
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmNumColors:
            return 256;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(m);
        }
    }

private:
    mutable RecordingEngine engine_;
    QSize size_;
};

// What page n (from 1) of the document draws, in the page's own pixels.
inline DrawnPage drawnPage(const TPagePrinter& printer, int n) {
    DrawnPage page;
    const PageRecording* recording = printer.page(n);
    if (!recording)
        return page;
    RecordingDevice device(page, recording->sizePixels());
    QPainter painter(&device);
    playRecording(painter, *recording);
    painter.end();
    return page;
}

// A4 in device pixels at a resolution, with 6 mm offsets.
inline PrinterGeometry a4At(int dpi) {
    PrinterGeometry g;
    g.dpiX = g.dpiY = dpi;
    g.paperWidth = static_cast<int>(std::lround(210 / 25.4 * dpi));
    g.paperHeight = static_cast<int>(std::lround(297 / 25.4 * dpi));
    g.offsetX = g.offsetY = static_cast<int>(std::lround(6 / 25.4 * dpi));
    return g;
}

} // namespace zarn::test
