#include "qt/breakpoints_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "debug/breakpoints.h"
#include "qt/debug_widgets.h"

namespace vt::gui {

namespace {

QString address_text(uint32_t address) { return QStringLiteral("%1").arg(address & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper(); }

}  // namespace

BreakpointsDialog::BreakpointsDialog(Debugger& debugger, MessageSink messages, QWidget* parent)
    : QDialog(parent), debugger_(debugger), messages_(std::move(messages)), saved_(debugger.breakpoints) {
    setWindowTitle(QStringLiteral("Breakpoints"));
    setModal(true);

    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget;
    tabs->addTab(page, QStringLiteral("W65C816S"));

    address_ = new QLineEdit(page);
    address_->setObjectName(QStringLiteral("editAddress"));
    address_->setMaxLength(6);
    address_->setFont(debugger_font());
    address_->installEventFilter(this);
    auto* add = new QPushButton(QStringLiteral("Add"), page);
    add->setObjectName(QStringLiteral("buttonAdd"));
    auto* remove = new QPushButton(QStringLiteral("Remove"), page);
    remove->setObjectName(QStringLiteral("buttonRemove"));
    auto* disable = new QPushButton(QStringLiteral("Disable"), page);
    disable->setObjectName(QStringLiteral("buttonDisable"));
    disable->setToolTip(QStringLiteral("Make all breakpoints non-breaking"));
    list_ = new QListWidget(page);
    list_->setObjectName(QStringLiteral("listBreakpoints"));
    list_->setFont(debugger_font());

    auto* row = new QHBoxLayout;
    row->addWidget(address_);
    row->addWidget(add);
    row->addWidget(remove);
    row->addWidget(disable);
    auto* page_layout = new QVBoxLayout(page);
    page_layout->addLayout(row);
    page_layout->addWidget(list_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("buttonOk"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("buttonCancel"));
    // Enter in the address box adds; it must not close the dialog.
    buttons->button(QDialogButtonBox::Ok)->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Ok)->setDefault(false);
    for (QPushButton* b : {add, remove, disable}) b->setAutoDefault(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);

    connect(add, &QPushButton::clicked, this, &BreakpointsDialog::add);
    connect(remove, &QPushButton::clicked, this, &BreakpointsDialog::remove);
    connect(disable, &QPushButton::clicked, this, &BreakpointsDialog::disable_all);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemChanged, this, &BreakpointsDialog::item_changed);
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        address_->setText(address_text(item->data(Qt::UserRole).toUInt()));
    });
    rebuild();
}

// The address box keeps hexadecimal digits, Backspace and Enter (which
// adds the breakpoint when the box is not empty); every other key is
// dropped.
bool BreakpointsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == address_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (!address_->text().isEmpty()) add();
            return true;
        }
        if (key->key() == Qt::Key_Backspace) return false;
        const QString text = key->text();
        if (text.size() != 1 || !hex_digit(text[0].toLatin1())) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void BreakpointsDialog::ask(const char* caption, const char* text) {
    BoxRequest r{QString::fromLatin1(caption), QString::fromLatin1(text), BoxIcon::Error, BoxButtons::Ok};
    if (messages_) messages_(this, r);
    else show_message_box(this, r);
}

void BreakpointsDialog::add() {
    if (address_->text().isEmpty()) return;
    const uint32_t address = hex_address(address_->text().toStdString());
    if (breakpoint_find(debugger_, address).exists) {
        ask(kAddBreakpointCaption, kBreakpointExists);
        return;
    }
    // A full list takes no more, silently.
    if (breakpoint_add(debugger_, address)) rebuild();
    address_->clear();
}

void BreakpointsDialog::remove() {
    const uint32_t address = hex_address(address_->text().toStdString());
    if (address_->text().isEmpty() || !breakpoint_remove(debugger_, address)) {
        ask(kRemoveBreakpointCaption, kBreakpointMissing);
        return;
    }
    rebuild();
    address_->clear();
}

void BreakpointsDialog::disable_all() {
    breakpoints_disable_all(debugger_);
    rebuild();
}

void BreakpointsDialog::rebuild() {
    rebuilding_ = true;
    list_->clear();
    for (uint32_t entry : debugger_.breakpoints) {
        auto* item = new QListWidgetItem(address_text(breakpoint_address(entry)), list_);
        item->setData(Qt::UserRole, breakpoint_address(entry));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(breakpoint_disabled(entry) ? Qt::Unchecked : Qt::Checked);
    }
    rebuilding_ = false;
}

void BreakpointsDialog::item_changed(QListWidgetItem* item) {
    if (rebuilding_) return;
    breakpoint_set_disabled(debugger_, item->data(Qt::UserRole).toUInt(), item->checkState() != Qt::Checked);
}

void BreakpointsDialog::reject() {
    debugger_.breakpoints = saved_;
    QDialog::reject();
}

}  // namespace vt::gui
