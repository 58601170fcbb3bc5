#pragma once
// A picture shown 1:1 that reports the pointer in image pixels, as the old
// image components did: moves (with or without a button held), button
// releases and clicks.
#include <QImage>
#include <QWidget>

namespace korvalen::widgets {

class ImageWidget : public QWidget {
    Q_OBJECT
public:
    explicit ImageWidget(QWidget* parent = nullptr);

    /// The picture itself; change it through image() then call update().
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    void setImage(const QImage& image);
    /// Call after drawing into image() so the screen follows.
    void imageChanged();

    QSize sizeHint() const override { return image_.size(); }

signals:
    void pointerMoved(int x, int y);
    void buttonReleased(Qt::MouseButton button, int x, int y);
    void clicked(Qt::MouseButton button, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage image_;
    QImage shown_;  // the indexed picture converted at most once per change, not per paint
    bool stale_ = true;  // shown_ still to be converted from image_
    Qt::MouseButton pressed_ = Qt::NoButton;
};

/// The built-in picture at @p path with every pixel of colour @p background
/// made transparent, so that what lies under it shows around its shape.
QImage PictureWithout(const char* path, QRgb background);

}  // namespace korvalen::widgets
