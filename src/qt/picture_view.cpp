#include "qt/picture_view.h"

#include <QFontMetrics>
#include <algorithm>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "frontend/notices.h"
#include "qt/video_bridge.h"

namespace vt::gui {

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(kShownPictureWidth / 2, kShownPictureHeight / 2);
    notice_timer_.setSingleShot(true);
    connect(&notice_timer_, &QTimer::timeout, this, [this] {
        notice_.clear();
        update();
    });
}

QSize PictureView::sizeHint() const { return QSize(kNormalAreaWidth, kNormalAreaHeight); }

void PictureView::set_picture(const uint8_t* pixels, int stride) {
    pixels_ = pixels;
    stride_ = stride;
    update();
}

void PictureView::set_scaling(ScaleMode mode, bool smooth) {
    mode_ = mode;
    smooth_ = smooth;
    update();
}

PictureRect PictureView::picture_rect() const { return vt::picture_rect(width(), height(), mode_); }

PicturePoint PictureView::to_picture(QPoint p) const { return window_to_picture(picture_rect(), p.x(), p.y()); }

void PictureView::show_notice(const QString& text) {
    notice_ = text;
    notice_timer_.start(int(kNoticeSeconds * 1000));
    update();
}

QString PictureView::notice() const { return notice_; }

void PictureView::set_indicator(const QString& text) {
    if (text == indicator_) return;
    indicator_ = text;
    update();
}

void PictureView::draw_label(QPainter& painter, const QString& text, bool top_right) {
    QFont font = painter.font();
    font.setPixelSize(std::max(12, height() / 30));
    font.setBold(true);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int pad = metrics.height() / 3;
    QRect box = metrics.boundingRect(text).adjusted(-pad, -pad, pad, pad);
    const PictureRect r = picture_rect();
    const int margin = pad * 2;
    if (top_right) box.moveTopRight(QPoint(r.x + r.width - margin, r.y + margin));
    else box.moveBottomLeft(QPoint(r.x + margin, r.y + r.height - margin));
    painter.fillRect(box, QColor(0, 0, 0, 170));
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text);
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (pixels_) {
        // Wraps the picture without copying it; Qt reads it while painting.
        const QImage image(pixels_, kPictureWidth, kShownPictureHeight, stride_, QImage::Format_BGR888);
        const PictureRect r = picture_rect();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth_);
        painter.drawImage(QRect(r.x, r.y, r.width, r.height), image);
    }
    if (!indicator_.isEmpty()) draw_label(painter, indicator_, true);
    if (!notice_.isEmpty()) draw_label(painter, notice_, false);
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
