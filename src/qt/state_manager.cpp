#include "qt/state_manager.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/machine.h"
#include "frontend/emulator_host.h"
#include "frontend/notices.h"

namespace vt::gui {

namespace {

constexpr const char* kInfoRows[4] = {"Author", "Date", "Product", "Version"};
constexpr int kDescriptionLength = 63;  // 64 bytes with the terminating zero

}  // namespace

// --- State Options --------------------------------------------------------------

StateOptionsDialog::StateOptionsDialog(const Settings& s, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("State Options"));
    auto* layout = new QVBoxLayout(this);
    sram_ = new QCheckBox(QStringLiteral("Enable SRAM Transfer"), this);
    bitmap_ = new QCheckBox(QStringLiteral("Enable Screen Capture Transfer"), this);
    preview_ = new QCheckBox(QStringLiteral("Display Thumbnail Preview"), this);
    sram_->setChecked(s.sram_transfer);
    bitmap_->setChecked(s.bitmap_transfer);
    preview_->setChecked(s.thumb_preview);
    layout->addWidget(sram_);
    layout->addWidget(bitmap_);
    layout->addWidget(preview_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void StateOptionsDialog::store(Settings& s) const {
    s.sram_transfer = sram_->isChecked();
    s.bitmap_transfer = bitmap_->isChecked();
    s.thumb_preview = preview_->isChecked();
}

// --- State Properties -----------------------------------------------------------

StatePropertiesDialog::StatePropertiesDialog(const QString& description, const QString& author, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("State Properties"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    description_ = new QLineEdit(description, this);
    description_->setMaxLength(kDescriptionLength);
    description_->setMinimumWidth(260);
    author_ = new QLineEdit(author, this);
    author_->setMaxLength(int(kMaxAuthorLength));
    form->addRow(QStringLiteral("Description:"), description_);
    form->addRow(QStringLiteral("Author:"), author_);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString StatePropertiesDialog::description() const { return description_->text(); }
QString StatePropertiesDialog::author() const { return author_->text(); }

// --- State Manager ----------------------------------------------------------------

StateManager::StateManager(EmulatorHost& host, Settings& settings, QWidget* parent)
    : QDialog(parent), host_(host), settings_(settings) {
    setWindowTitle(QStringLiteral("State Manager"));
    auto* layout = new QHBoxLayout(this);

    slot_grid_ = new QTableWidget(kStateSlots, 2, this);
    slot_grid_->setHorizontalHeaderLabels({QStringLiteral("Slot"), QStringLiteral("Description")});
    slot_grid_->verticalHeader()->hide();
    slot_grid_->verticalHeader()->setDefaultSectionSize(20);
    slot_grid_->horizontalHeader()->setStretchLastSection(true);
    slot_grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    slot_grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    slot_grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    slot_grid_->setColumnWidth(0, 44);
    slot_grid_->setMinimumWidth(300);
    layout->addWidget(slot_grid_);

    auto* side = new QVBoxLayout;
    info_grid_ = new QTableWidget(4, 1, this);
    info_grid_->horizontalHeader()->hide();
    info_grid_->horizontalHeader()->setStretchLastSection(true);
    info_grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < 4; r++) info_grid_->setVerticalHeaderItem(r, new QTableWidgetItem(QString::fromLatin1(kInfoRows[r])));
    info_grid_->verticalHeader()->setDefaultSectionSize(22);
    info_grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    info_grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    info_grid_->setFixedHeight(info_grid_->verticalHeader()->length() + 2 * info_grid_->frameWidth());
    info_grid_->setMinimumWidth(220);
    side->addWidget(info_grid_);
    thumbnail_ = new QLabel(this);
    thumbnail_->setFixedSize(kThumbnailWidth, kThumbnailHeight);
    thumbnail_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    side->addWidget(thumbnail_, 0, Qt::AlignHCenter);
    side->addStretch();

    auto* load = new QPushButton(QStringLiteral("Load"), this);
    load->setObjectName(QStringLiteral("buttonLoad"));
    load_ = load;
    auto* save = new QPushButton(QStringLiteral("Save"), this);
    save->setObjectName(QStringLiteral("buttonSave"));
    auto* options = new QPushButton(QStringLiteral("Options"), this);
    options->setObjectName(QStringLiteral("buttonOptions"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("buttonClose"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {load, save, options, close}) buttons->addWidget(b);
    side->addLayout(buttons);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("labelStatus"));
    side->addWidget(status_);
    layout->addLayout(side);

    connect(load, &QPushButton::clicked, this, [this] { load_selected(); });
    connect(save, &QPushButton::clicked, this, [this] { save_selected(); });
    connect(options, &QPushButton::clicked, this, [this] { show_options(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(slot_grid_, &QTableWidget::itemSelectionChanged, this, [this] { show_slot_details(); });

    reload_slots();
    select_slot(0);
    resize(620, 420);
}

void StateManager::reload_slots() {
    slots_ = list_state_slots(host_.machine().cart.image_path, settings_.breakpoint_path);
    for (int n = 0; n < kStateSlots; n++) {
        const StateSlot& s = slots_[size_t(n)];
        slot_grid_->setItem(n, 0, new QTableWidgetItem(QString::fromStdString(s.name)));
        slot_grid_->setItem(n, 1, new QTableWidgetItem(QString::fromStdString(s.used ? s.metadata.description : "")));
    }
    show_slot_details();
}

void StateManager::select_slot(int slot) {
    slot_grid_->selectRow(slot);
    show_slot_details();
}

int StateManager::selected_slot() const {
    const int row = slot_grid_->currentRow();
    return row >= 0 && row < kStateSlots ? row : 0;
}

void StateManager::show_slot_details() {
    const StateSlot& s = slots_[size_t(selected_slot())];
    load_->setEnabled(s.used);  // an empty slot has nothing to load
    const StateInfoRows rows = state_info_rows(s);
    const std::string values[4] = {rows.author, rows.date, rows.product, rows.version};
    for (int r = 0; r < 4; r++) info_grid_->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(values[r])));

    thumbnail_->clear();
    std::vector<uint8_t> pixels;
    if (settings_.thumb_preview && s.used && read_state_thumbnail(s.path, pixels) &&
        pixels.size() >= size_t(kThumbnailWidth * kThumbnailHeight * 3)) {
        QImage image(pixels.data(), kThumbnailWidth, kThumbnailHeight, kThumbnailWidth * 3, QImage::Format_BGR888);
        thumbnail_->setPixmap(QPixmap::fromImage(image.copy()));
    }
}

// The State Manager's message, with the file and the reason below it.
BoxAnswer StateManager::tell(const char* text, const std::string& problem) {
    std::string full = text;
    if (!problem.empty()) full += "\r\r" + problem;
    BoxRequest r{QString::fromLatin1(kStateManagerCaption), QString::fromStdString(full), BoxIcon::Error, BoxButtons::Ok};
    return messages_ ? messages_(this, r) : show_message_box(this, r);
}

QString StateManager::status_text() const { return status_->text(); }

void StateManager::load_selected() {
    const StateSlot& s = slots_[size_t(selected_slot())];
    if (!s.used) return;
    OpenResult r = host_.load_state_file(s.path);
    if (r.status == OpenStatus::OtherCartridge) {
        BoxRequest q{QString::fromLatin1(kStateManagerCaption), QString::fromLatin1(kOtherCartridgeQuestion),
                     BoxIcon::Warning, BoxButtons::YesNo};
        if ((messages_ ? messages_(this, q) : show_message_box(this, q)) != BoxAnswer::Yes) return;
        r = host_.load_state_file(s.path, OpenFlags{.accept_other_cartridge = true});
    }
    if (r.opened()) {
        loaded_path_ = s.path;
        accept();
        return;
    }
    tell(kStateLoadFailed, r.message.problem);
}

void StateManager::save_selected() {
    const int slot = selected_slot();
    QString description = QString::fromStdString(save_description_for(slots_[size_t(slot)]));
    QString author = QString::fromStdString(settings_.author);
    bool ok;
    if (prompt_) {
        ok = prompt_(description, author);
    } else {
        StatePropertiesDialog dialog(description, author, this);
        ok = dialog.exec() == QDialog::Accepted;
        description = dialog.description();
        author = dialog.author();
    }
    if (!ok) return;
    settings_.author = author.toStdString().substr(0, kMaxAuthorLength);
    std::string problem;
    const std::string path = slots_[size_t(slot)].path;
    if (host_.save_state_file(path, description.toStdString(), settings_.author, &problem))
        status_->setText(QString::fromStdString(state_saved_notice(path)));
    else
        tell(kStateWriteFailed, problem);
    reload_slots();
    select_slot(slot);
}

void StateManager::show_options() {
    StateOptionsDialog dialog(settings_, this);
    if (dialog.exec() == QDialog::Accepted) {
        dialog.store(settings_);
        show_slot_details();
    }
}

}  // namespace vt::gui
