#include "widgets/image_widget.h"

#include <QMouseEvent>
#include <QPainter>

namespace korvalen::widgets {

ImageWidget::ImageWidget(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageWidget::setImage(const QImage& image) {
    image_ = image;
    setFixedSize(image_.size());
    // A picture with transparent pixels (the DX marker) lets what lies
    // under it show; an opaque one paints every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent, !image_.hasAlphaChannel());
    imageChanged();
}

void ImageWidget::imageChanged() {
    // Converted at the next paint: a picture never shown (the viewer's
    // template, the map before the viewer opens) is never converted, and
    // changes in a row before a paint cost one conversion.
    stale_ = true;
    update();
}

void ImageWidget::paintEvent(QPaintEvent* event) {
    if (stale_) {
        shown_ = image_.convertToFormat(image_.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                 : QImage::Format_RGB32);
        stale_ = false;
    }
    QPainter p(this);
    p.drawImage(event->rect(), shown_, event->rect());
}

namespace {
int PixelX(const QMouseEvent* e) { return static_cast<int>(e->position().x()); }
int PixelY(const QMouseEvent* e) { return static_cast<int>(e->position().y()); }
}  // namespace

void ImageWidget::mouseMoveEvent(QMouseEvent* event) {
    const int x = PixelX(event), y = PixelY(event);
    // A drag can carry the pointer beyond the picture; only its pixels count.
    if (x >= 0 && y >= 0 && x < image_.width() && y < image_.height()) emit pointerMoved(x, y);
}

void ImageWidget::mousePressEvent(QMouseEvent* event) { pressed_ = event->button(); }

void ImageWidget::mouseReleaseEvent(QMouseEvent* event) {
    const int x = PixelX(event), y = PixelY(event);
    const bool inside = x >= 0 && y >= 0 && x < image_.width() && y < image_.height();
    const bool wasPressed = pressed_ == event->button();
    pressed_ = Qt::NoButton;
    if (!inside) return;
    emit buttonReleased(event->button(), x, y);
    if (wasPressed) emit clicked(event->button(), x, y);
}

QImage PictureWithout(const char* path, QRgb background) {
    QImage picture = QImage(QString::fromLatin1(path)).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) == background) picture.setPixel(x, y, qRgba(0, 0, 0, 0));
    return picture;
}

}  // namespace korvalen::widgets
