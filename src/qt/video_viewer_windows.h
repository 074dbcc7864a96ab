// The video viewers: tiles, the tilemap of a background layer, the sprite
// plane and the palette, each a window with its picture, what lies under
// the pointer, and "Save PNG...". They show VRAM, OAM and CGRAM as they
// stand, read without side effects; the program refreshes them once per
// frame while the machine runs and after every step while it is stopped.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "debug/video_viewers.h"
#include "qt/main_window.h"  // FileRequest

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QSpinBox;

namespace vt::gui {

class ViewerWindow : public QWidget {
    Q_OBJECT
public:
    ViewerWindow(const Machine& machine, const QString& title, QWidget* parent = nullptr);

    // Computes the picture again and shows it.
    void refresh();
    const QImage& image() const { return image_; }
    QLabel* picture() const { return picture_; }
    QLabel* info() const { return info_; }
    // What lies at a point of the picture (in its own pixels).
    virtual QString describe(int x, int y) const = 0;
    // Asks for a file name and writes the picture; false with the reason
    // in `error` when it cannot be written.
    bool save_png(const QString& path, QString* error = nullptr) const;
    void save_png_asking();

    // The file dialog to ask through (the main window's).
    std::function<QString(FileRequest&)> choose_file;
    std::function<void(const QString& caption, const QString& text)> tell;

protected:
    virtual ViewerImage compute() const = 0;
    QHBoxLayout* controls() const { return controls_; }
    bool eventFilter(QObject* watched, QEvent* event) override;

    const Machine& m_;

private:
    int zoom() const;

    QHBoxLayout* controls_ = nullptr;
    QLabel* picture_ = nullptr;
    QLabel* info_ = nullptr;
    QComboBox* zoom_ = nullptr;
    QImage image_;
};

class TileViewer : public ViewerWindow {
    Q_OBJECT
public:
    explicit TileViewer(const Machine& machine, QWidget* parent = nullptr);
    QComboBox* format_box() const { return format_; }
    QSpinBox* palette_box() const { return palette_; }
    TileFormat format() const;
    QString describe(int x, int y) const override;

protected:
    ViewerImage compute() const override;

private:
    QComboBox* format_ = nullptr;
    QSpinBox* palette_ = nullptr;
};

class TilemapViewer : public ViewerWindow {
    Q_OBJECT
public:
    explicit TilemapViewer(const Machine& machine, QWidget* parent = nullptr);
    QComboBox* layer_box() const { return layer_; }
    QCheckBox* outline_box() const { return outline_; }
    QString describe(int x, int y) const override;

protected:
    ViewerImage compute() const override;

private:
    QComboBox* layer_ = nullptr;
    QCheckBox* outline_ = nullptr;
};

class SpriteViewer : public ViewerWindow {
    Q_OBJECT
public:
    explicit SpriteViewer(const Machine& machine, QWidget* parent = nullptr);
    QString describe(int x, int y) const override;

protected:
    ViewerImage compute() const override;
};

class PaletteViewer : public ViewerWindow {
    Q_OBJECT
public:
    explicit PaletteViewer(const Machine& machine, QWidget* parent = nullptr);
    QString describe(int x, int y) const override;

protected:
    ViewerImage compute() const override;
};

// The picture as a Qt image.
QImage viewer_qimage(const ViewerImage& image);

}  // namespace vt::gui
