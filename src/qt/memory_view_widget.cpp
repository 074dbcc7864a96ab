#include "qt/memory_view_widget.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "debug/breakpoints.h"
#include "qt/debug_widgets.h"

namespace vt::gui {

MemoryViewWidget::MemoryViewWidget(Machine& machine, QWidget* parent) : QWidget(parent), machine_(machine) {
    table_ = make_grid(kMemoryViewRows, kMemoryViewColumns + 1, this);
    table_->setObjectName(QStringLiteral("gridMemory"));
    table_->horizontalHeader()->setStretchLastSection(false);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setToolTip(QStringLiteral("Hold Ctrl to increment/decrement the bank "));
    table_->installEventFilter(this);

    jump_ = new QLineEdit(this);
    jump_->setObjectName(QStringLiteral("editJumpTo"));
    jump_->setMaxLength(6);
    jump_->setFont(debugger_font());
    jump_->installEventFilter(this);
    auto* hex = new QRadioButton(QStringLiteral("Hex"), this);
    hex->setObjectName(QStringLiteral("radioHex"));
    hex->setChecked(true);
    character_ = new QRadioButton(QStringLiteral("Character"), this);
    character_->setObjectName(QStringLiteral("radioCharacter"));

    memory_ = new QComboBox(this);
    memory_->setObjectName(QStringLiteral("comboMemory"));
    for (int i = 0; i < kMemorySpaceCount; i++) memory_->addItem(QString::fromLatin1(memory_space_name(MemorySpace(i))));

    auto* row = new QHBoxLayout;
    row->addWidget(memory_);
    row->addWidget(new QLabel(QStringLiteral("Jump to"), this));
    row->addWidget(jump_);
    row->addStretch();
    row->addWidget(hex);
    row->addWidget(character_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addLayout(row);
    layout->addWidget(new QLabel(QStringLiteral("Hold Ctrl to increment/decrement the bank "), this));

    connect(jump_, &QLineEdit::textChanged, this, [this](const QString& text) {
        memory_view_jump(view_, text.toStdString());
        refresh();
    });
    connect(character_, &QRadioButton::toggled, this, [this](bool on) {
        view_.character_mode = on;
        refresh();
    });
    connect(memory_, &QComboBox::currentIndexChanged, this, [this](int index) {
        memory_view_set_space(view_, MemorySpace(index));
        jump_->clear();
        refresh();
    });
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        // Watches are on the CPU's address space.
        if (column < 1 || !on_watch || view_.space != MemorySpace::CpuBus) return;
        on_watch(memory_view_row_address(view_, row) + uint32_t(column - 1));
    });
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (placing_ || row < 0 || column < 1) return;
        view_.cursor_row = row;
        view_.cursor_column = column - 1;
    });
    refresh();
}

void MemoryViewWidget::refresh() {
    for (int row = 0; row < kMemoryViewRows; row++) {
        const uint32_t address = memory_view_row_address(view_, row);
        set_cell(table_, row, 0, qs(memory_view_row_label(address, view_.space)));
        for (int column = 0; column < kMemoryViewColumns; column++) {
            set_cell(table_, row, column + 1,
                     qs(memory_view_cell(machine_, address + uint32_t(column), view_.character_mode, view_.space)));
        }
    }
    place_cursor();
}

void MemoryViewWidget::place_cursor() {
    placing_ = true;
    table_->setCurrentCell(view_.cursor_row, view_.cursor_column + 1);
    placing_ = false;
}

bool MemoryViewWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == jump_) {
        // Hexadecimal digits and Backspace only.
        if (key->key() == Qt::Key_Backspace) return false;
        const QString text = key->text();
        return text.size() != 1 || !hex_digit(text[0].toLatin1());
    }
    if (watched != table_) return QWidget::eventFilter(watched, event);
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    MemoryViewKey k;
    switch (key->key()) {
        case Qt::Key_PageUp: k = MemoryViewKey::PageUp; break;
        case Qt::Key_PageDown: k = MemoryViewKey::PageDown; break;
        case Qt::Key_Home: k = MemoryViewKey::Home; break;
        case Qt::Key_End: k = MemoryViewKey::End; break;
        case Qt::Key_Left: k = MemoryViewKey::Left; break;
        case Qt::Key_Right: k = MemoryViewKey::Right; break;
        case Qt::Key_Up: k = MemoryViewKey::Up; break;
        case Qt::Key_Down: k = MemoryViewKey::Down; break;
        default: return QWidget::eventFilter(watched, event);
    }
    memory_view_key(view_, k, ctrl);
    refresh();
    return true;
}

}  // namespace vt::gui
