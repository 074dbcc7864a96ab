#include "qt/properties_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "cart/rom_info.h"
#include "core/machine.h"
#include "frontend/gamepak_properties.h"

namespace vt::gui {

namespace {

constexpr const char* kRowNames[8] = {"Title:", "Type:", "Size:", "Country:", "License:", "Version:", "Checksum:",
                                      "CRC32:"};
constexpr int kChecksumRow = 6;
constexpr int kCrcRow = 7;
constexpr int kHeaderColumns = 32;
constexpr int kHeaderRows = 16;

void set_text_colour(QLabel* label, const QColor& colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

}  // namespace

PropertiesWindow::PropertiesWindow(const Machine& m, Settings& settings, QWidget* parent)
    : QWidget(parent, Qt::Tool), m_(m), settings_(settings) {
    setWindowTitle(QStringLiteral("Gamepak Properties"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    layout->addWidget(tabs_);

    auto* general = new QWidget;
    auto* form = new QFormLayout(general);
    for (int i = 0; i < 8; i++) {
        values_[i] = new QLabel(general);
        values_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(QString::fromLatin1(kRowNames[i]), values_[i]);
    }
    tabs_->addTab(general, QStringLiteral(" General "));

    auto* options = new QWidget;
    auto* options_layout = new QVBoxLayout(options);
    options_layout->addWidget(new QLabel(QStringLiteral("BackupRAM File Format:"), options));
    backup_format_ = new QComboBox(options);
    for (const char* item : kBackupFormatItems) backup_format_->addItem(QString::fromLatin1(item));
    options_layout->addWidget(backup_format_);
    auto_header_ = new QCheckBox(QStringLiteral("AutoCreate Backup Header"), options);
    options_layout->addWidget(auto_header_);
    options_layout->addWidget(new QLabel(QStringLiteral("Screen Capture Format:"), options));
    capture_format_ = new QComboBox(options);
    for (const char* item : kCaptureFormatItems) capture_format_->addItem(QString::fromLatin1(item));
    options_layout->addWidget(capture_format_);
    options_layout->addStretch();
    tabs_->addTab(options, QStringLiteral(" Save Options "));
    connect(backup_format_, &QComboBox::currentIndexChanged, this, [this](int i) { settings_.backup_format = i; });
    connect(auto_header_, &QCheckBox::toggled, this, [this](bool on) { settings_.auto_create_header = on; });
    connect(capture_format_, &QComboBox::currentIndexChanged, this, [this](int i) { settings_.capture_format = i; });

    // The header page is a tab only while the Gamepak had a copier header;
    // it belongs to the window either way, so it goes away with it.
    header_page_ = new QWidget(this);
    header_page_->hide();
    auto* header_layout = new QVBoxLayout(header_page_);
    header_grid_ = new QTableWidget(kHeaderRows, kHeaderColumns, header_page_);
    header_grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    header_grid_->horizontalHeader()->setDefaultSectionSize(22);
    header_grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    header_grid_->verticalHeader()->setDefaultSectionSize(18);
    header_grid_->installEventFilter(this);
    header_layout->addWidget(header_grid_);
    header_layout->addWidget(new QLabel(QStringLiteral("Space: hexadecimal / characters"), header_page_));
    resize(480, 300);
}

void PropertiesWindow::refresh() {
    const Cartridge& c = m_.cart;
    const bool loaded = m_.timing.gamepak_loaded;
    const RomInformation info = loaded ? rom_information(c) : RomInformation{};
    const std::string texts[8] = {info.title,   info.type,    info.size,     info.country,
                                  info.license, info.version, info.checksum, info.crc32};
    for (int i = 0; i < 8; i++) values_[i]->setText(QString::fromStdString(texts[i]));
    set_text_colour(values_[kChecksumRow], checksum_status_good(info.checksum) ? Qt::blue : Qt::red);
    set_text_colour(values_[kCrcRow], loaded && crc_in_database(c) ? Qt::blue : Qt::red);

    backup_format_->setCurrentIndex(settings_.backup_format >= 0 && settings_.backup_format <= 2 ? settings_.backup_format : 0);
    auto_header_->setChecked(settings_.auto_create_header);
    capture_format_->setCurrentIndex(settings_.capture_format);

    const int at = tabs_->indexOf(header_page_);
    const std::string caption = loaded ? header_tab_caption(c.copier_header) : "";
    if (caption.empty() || c.copier_header_bytes.size() < kCopierHeaderSize) {
        if (at >= 0) tabs_->removeTab(at);
        return;
    }
    if (at < 0) tabs_->addTab(header_page_, QString::fromStdString(caption));
    else tabs_->setTabText(at, QString::fromStdString(caption));
    fill_header_grid();
}

void PropertiesWindow::toggle_header_view() {
    header_chars_ = !header_chars_;
    fill_header_grid();
}

void PropertiesWindow::fill_header_grid() {
    const std::vector<uint8_t>& bytes = m_.cart.copier_header_bytes;
    for (int row = 0; row < kHeaderRows; row++) {
        for (int column = 0; column < kHeaderColumns; column++) {
            const size_t i = size_t(row * kHeaderColumns + column);
            const uint8_t b = i < bytes.size() ? bytes[i] : 0;
            auto* item = new QTableWidgetItem(QString::fromStdString(header_cell_text(b, header_chars_)));
            item->setTextAlignment(Qt::AlignCenter);
            header_grid_->setItem(row, column, item);
        }
    }
}

bool PropertiesWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == header_grid_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        toggle_header_view();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vt::gui
