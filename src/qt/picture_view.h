// The main window's client area: black, with the console picture scaled
// into it (whole multiples or fit, sharp or smooth), short notices and the
// run indicator (paused, rewinding, fast forward) drawn over it. Mouse
// events go to the window's input devices.
#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "frontend/picture_scaling.h"

namespace vt::gui {

class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);

    // The picture to draw: 512 x 478 pixels of 3 bytes (blue, green, red).
    void set_picture(const uint8_t* pixels, int stride);
    void set_scaling(ScaleMode mode, bool smooth);
    ScaleMode scale_mode() const { return mode_; }
    bool smooth() const { return smooth_; }
    // Where the picture is drawn now, in the view's pixels.
    PictureRect picture_rect() const;
    // A point of the view in the picture's own pixels (512 x 476).
    PicturePoint to_picture(QPoint view_point) const;

    // A notice shown over the picture for a few seconds.
    void show_notice(const QString& text);
    QString notice() const;  // empty once it has gone
    // The indicator in the picture's corner; empty for none.
    void set_indicator(const QString& text);
    QString indicator() const { return indicator_; }

    QSize sizeHint() const override;

    std::function<void(QMouseEvent*)> on_mouse_press;
    std::function<void(QMouseEvent*)> on_mouse_move;
    std::function<void(QMouseEvent*)> on_mouse_release;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Tab is a key like any other here, not a focus change.
    bool focusNextPrevChild(bool next) override;

private:
    void draw_label(QPainter& painter, const QString& text, bool top_right);

    const uint8_t* pixels_ = nullptr;
    int stride_ = 0;
    ScaleMode mode_ = ScaleMode::Integer;
    bool smooth_ = false;
    QString notice_;
    QTimer notice_timer_;
    QString indicator_;
};

}  // namespace vt::gui
