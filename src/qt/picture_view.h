// The main window's client area: black, with the console picture drawn at
// the picture origin. Mouse events go to the window's input devices.
#pragma once

#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace vt::gui {

class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);

    // The picture to draw: 512 x 478 pixels of 3 bytes (blue, green, red).
    void set_picture(const uint8_t* pixels, int stride);
    void set_origin(QPoint origin);
    QPoint origin() const { return origin_; }

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
    const uint8_t* pixels_ = nullptr;
    int stride_ = 0;
    QPoint origin_{0, 0};
};

}  // namespace vt::gui
