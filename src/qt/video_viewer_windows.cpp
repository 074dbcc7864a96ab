#include "qt/video_viewer_windows.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/machine.h"
#include "qt/debug_widgets.h"
#include "state/atomic_file.h"

namespace vt::gui {

QImage viewer_qimage(const ViewerImage& image) {
    if (image.width == 0 || image.height == 0) return QImage();
    return QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height, image.width * 4,
                  QImage::Format_ARGB32)
        .copy();
}

// --- the window every viewer shares ------------------------------------------------

ViewerWindow::ViewerWindow(const Machine& machine, const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Window), m_(machine) {
    setWindowTitle(title);
    controls_ = new QHBoxLayout;
    zoom_ = new QComboBox(this);
    zoom_->setObjectName(QStringLiteral("comboZoom"));
    for (int z = 1; z <= 4; z++) zoom_->addItem(QStringLiteral("%1x").arg(z), z);
    auto* save = new QPushButton(QStringLiteral("Save PNG..."), this);
    save->setObjectName(QStringLiteral("buttonSavePng"));
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("labelPicture"));
    picture_->setMouseTracking(true);
    picture_->installEventFilter(this);
    picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(picture_);
    scroll->setWidgetResizable(false);
    info_ = new QLabel(this);
    info_->setObjectName(QStringLiteral("labelInfo"));
    info_->setFont(debugger_font());

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(info_, 1);
    bottom->addWidget(new QLabel(QStringLiteral("Zoom"), this));
    bottom->addWidget(zoom_);
    bottom->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls_);
    layout->addWidget(scroll, 1);
    layout->addLayout(bottom);
    connect(zoom_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(save, &QPushButton::clicked, this, &ViewerWindow::save_png_asking);
    resize(600, 560);
}

int ViewerWindow::zoom() const { return zoom_->currentData().toInt(); }

void ViewerWindow::refresh() {
    image_ = viewer_qimage(compute());
    const int z = zoom();
    picture_->setPixmap(QPixmap::fromImage(z == 1 || image_.isNull() ? image_ : image_.scaled(image_.size() * z)));
    picture_->adjustSize();
}

bool ViewerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == picture_ && event->type() == QEvent::MouseMove) {
        const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint() / zoom();
        if (p.x() >= 0 && p.y() >= 0 && p.x() < image_.width() && p.y() < image_.height()) {
            info_->setText(describe(p.x(), p.y()));
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool ViewerWindow::save_png(const QString& path, QString* error) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image_.isNull() || !image_.save(&buffer, "PNG")) {
        if (error) *error = QStringLiteral("there is no picture to save");
        return false;
    }
    std::string reason;
    if (write_file_atomically(path.toStdString(), reinterpret_cast<const uint8_t*>(bytes.constData()),
                              size_t(bytes.size()), &reason)) {
        return true;
    }
    if (error) *error = qs(reason);
    return false;
}

void ViewerWindow::save_png_asking() {
    if (!choose_file) return;
    FileRequest request;
    request.save = true;
    request.title = QStringLiteral("Save PNG");
    request.filter = QStringLiteral("PNG Image (*.png)|*.png");
    request.file_name = windowTitle().toLower().replace(QLatin1Char(' '), QLatin1Char('-')) + QStringLiteral(".png");
    const QString path = choose_file(request);
    if (path.isEmpty()) return;
    QString error;
    if (!save_png(path, &error) && tell) tell(windowTitle(), QStringLiteral("Could not save %1: %2").arg(path, error));
}

// --- tiles ------------------------------------------------------------------------

TileViewer::TileViewer(const Machine& machine, QWidget* parent)
    : ViewerWindow(machine, QStringLiteral("Tile Viewer"), parent) {
    format_ = new QComboBox(this);
    format_->setObjectName(QStringLiteral("comboFormat"));
    format_->addItem(QStringLiteral("2 bits per pixel"), int(TileFormat::Bpp2));
    format_->addItem(QStringLiteral("4 bits per pixel"), int(TileFormat::Bpp4));
    format_->addItem(QStringLiteral("8 bits per pixel"), int(TileFormat::Bpp8));
    format_->addItem(QStringLiteral("Mode 7"), int(TileFormat::Mode7));
    format_->setCurrentIndex(1);
    palette_ = new QSpinBox(this);
    palette_->setObjectName(QStringLiteral("spinPalette"));
    palette_->setRange(0, 15);
    controls()->addWidget(new QLabel(QStringLiteral("Format"), this));
    controls()->addWidget(format_);
    controls()->addWidget(new QLabel(QStringLiteral("Palette"), this));
    controls()->addWidget(palette_);
    controls()->addStretch();
    connect(format_, &QComboBox::currentIndexChanged, this, [this] {
        // 64 palettes of 4 colours, 16 of 16; 8-bit tiles use all 256.
        const TileFormat f = format();
        palette_->setEnabled(f == TileFormat::Bpp2 || f == TileFormat::Bpp4);
        palette_->setMaximum(f == TileFormat::Bpp2 ? 63 : 15);
        refresh();
    });
    connect(palette_, &QSpinBox::valueChanged, this, [this] { refresh(); });
    refresh();
}

TileFormat TileViewer::format() const { return TileFormat(format_->currentData().toInt()); }

ViewerImage TileViewer::compute() const { return tile_image(m_, format(), palette_->value()); }

QString TileViewer::describe(int x, int y) const {
    const int tile = (y / 8) * kTilesPerRow + x / 8;
    if (format() == TileFormat::Mode7) return QStringLiteral("Character %1").arg(tile);
    const int words = tile_words(format());
    return QStringLiteral("Tile %1 at VRAM word $%2").arg(tile).arg(tile * words, 4, 16, QLatin1Char('0')).toUpper();
}

// --- tilemaps ----------------------------------------------------------------------

TilemapViewer::TilemapViewer(const Machine& machine, QWidget* parent)
    : ViewerWindow(machine, QStringLiteral("Tilemap Viewer"), parent) {
    layer_ = new QComboBox(this);
    layer_->setObjectName(QStringLiteral("comboLayer"));
    for (int bg = 1; bg <= 4; bg++) layer_->addItem(QStringLiteral("BG%1").arg(bg));
    outline_ = new QCheckBox(QStringLiteral("Show the screen"), this);
    outline_->setObjectName(QStringLiteral("checkOutline"));
    outline_->setChecked(true);
    controls()->addWidget(new QLabel(QStringLiteral("Layer"), this));
    controls()->addWidget(layer_);
    controls()->addWidget(outline_);
    controls()->addStretch();
    connect(layer_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(outline_, &QCheckBox::toggled, this, [this] { refresh(); });
    refresh();
}

ViewerImage TilemapViewer::compute() const { return tilemap_image(m_, layer_->currentIndex(), outline_->isChecked()); }

QString TilemapViewer::describe(int x, int y) const {
    const TilemapLayout l = tilemap_layout(m_, layer_->currentIndex());
    if (!l.used) return {};
    return QStringLiteral("Map entry %1, %2 (pixel %3, %4)").arg(x / l.tile_width).arg(y / l.tile_height).arg(x).arg(y);
}

// --- sprites ------------------------------------------------------------------------

SpriteViewer::SpriteViewer(const Machine& machine, QWidget* parent)
    : ViewerWindow(machine, QStringLiteral("Sprite Viewer"), parent) {
    controls()->addWidget(new QLabel(QStringLiteral("The 512 x 256 sprite plane; the screen is its top left "
                                                    "256 x 224. Point at a sprite to see it."),
                                     this));
    refresh();
}

ViewerImage SpriteViewer::compute() const { return sprite_image(m_); }

QString SpriteViewer::describe(int x, int y) const {
    const int index = sprite_at(m_, x, y);
    return index < 0 ? QString() : qs(sprite_description(sprite_info(m_, index)));
}

// --- palette --------------------------------------------------------------------------

PaletteViewer::PaletteViewer(const Machine& machine, QWidget* parent)
    : ViewerWindow(machine, QStringLiteral("Palette"), parent) {
    refresh();
}

ViewerImage PaletteViewer::compute() const { return palette_image(m_); }

QString PaletteViewer::describe(int x, int y) const {
    return qs(palette_description(m_, (y / kPaletteCell) * 16 + x / kPaletteCell));
}

}  // namespace vt::gui
