#include "qt/picture_view.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "qt/video_bridge.h"

namespace vt::gui {

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void PictureView::set_picture(const uint8_t* pixels, int stride) {
    pixels_ = pixels;
    stride_ = stride;
    update();
}

void PictureView::set_origin(QPoint origin) {
    origin_ = origin;
    update();
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!pixels_) return;
    // Wraps the picture without copying it; Qt reads it while painting.
    QImage image(pixels_, kPictureWidth, kPictureHeight, stride_, QImage::Format_BGR888);
    painter.drawImage(origin_, image);
}

void PictureView::mousePressEvent(QMouseEvent* event) {
    if (on_mouse_press) on_mouse_press(event);
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
    if (on_mouse_move) on_mouse_move(event);
}

void PictureView::mouseReleaseEvent(QMouseEvent* event) {
    if (on_mouse_release) on_mouse_release(event);
}

bool PictureView::focusNextPrevChild(bool) { return false; }

}  // namespace vt::gui
