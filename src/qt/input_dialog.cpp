#include "qt/input_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "qt/key_codes.h"

namespace vt::gui {

namespace {

constexpr const char* kButtonLabels[kPadButtonCount] = {"Up", "Down", "Left", "Right", "Select", "Start",
                                                         "A",  "B",    "X",    "Y",     "L",      "R"};

}  // namespace

KeyField::KeyField(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::ClickFocus);
    setMinimumWidth(110);
    setAlignment(Qt::AlignCenter);
}

void KeyField::set_capturing(bool on) {
    capturing_ = on;
    if (on) setFocus();
}

void KeyField::mousePressEvent(QMouseEvent*) { emit clicked(); }

void KeyField::keyPressEvent(QKeyEvent* event) {
    if (!capturing_) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat()) return;
    if (uint8_t vk = virtual_key_for(*event)) emit key_captured(vk);
}

bool KeyField::event(QEvent* event) {
    // While capturing, Tab is a key to bind, not a move to the next field.
    if (capturing_ && event->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QLabel::event(event);
}

InputDialog::InputDialog(const Bindings& live, QWidget* parent) : QDialog(parent), working_(live) {
    setWindowTitle(QStringLiteral("Configure Input Device"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabBar(this);
    tabs_->addTab(QStringLiteral(" Device #1 "));
    tabs_->addTab(QStringLiteral(" Device #2 "));
    layout->addWidget(tabs_);

    auto* grid = new QGridLayout;
    for (int b = 0; b < kPadButtonCount; b++) {
        // Two columns: Up to Start on the left, A to R on the right.
        const int row = b % 6, column = (b / 6) * 2;
        grid->addWidget(new QLabel(QString::fromLatin1(kButtonLabels[b]) + QLatin1Char(':'), this), row, column);
        auto* field = new KeyField(this);
        field->setObjectName(QStringLiteral("key%1").arg(kButtonLabels[b]));
        fields_[size_t(b)] = field;
        grid->addWidget(field, row, column + 1);
        connect(field, &KeyField::clicked, this, [this, b] { start_capture(b); });
        connect(field, &KeyField::key_captured, this, [this](uint8_t vk) { finish_capture(vk); });
    }
    layout->addLayout(grid);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("buttonOk"));
    QPushButton* defaults = buttons->addButton(QStringLiteral("Default"), QDialogButtonBox::ResetRole);
    defaults->setObjectName(QStringLiteral("buttonDefault"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("buttonCancel"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(defaults, &QPushButton::clicked, this, [this] { load_defaults(); });
    layout->addWidget(buttons);

    connect(tabs_, &QTabBar::currentChanged, this, [this] { refresh_fields(); });
    refresh_fields();
}

int InputDialog::shown_device() const { return tabs_->currentIndex(); }

void InputDialog::show_device(int index) { tabs_->setCurrentIndex(index); }

QColor InputDialog::field_colour(int button) const {
    const uint8_t vk = working_[size_t(shown_device())].keys[size_t(button)];
    return key_bound_twice(working_.data(), int(working_.size()), vk) ? QColor(Qt::red) : QColor(Qt::blue);
}

void InputDialog::start_capture(int button) {
    if (capture_button_ >= 0) return;
    capture_button_ = button;
    tabs_->setEnabled(false);
    KeyField* f = fields_[size_t(button)];
    QPalette p = f->palette();
    p.setColor(QPalette::Window, Qt::gray);
    p.setColor(QPalette::WindowText, Qt::white);
    f->setPalette(p);
    f->set_capturing(true);
}

void InputDialog::finish_capture(uint8_t vk) {
    if (capture_button_ < 0) return;
    working_[size_t(shown_device())].keys[size_t(capture_button_)] = vk;
    fields_[size_t(capture_button_)]->set_capturing(false);
    capture_button_ = -1;
    tabs_->setEnabled(true);
    refresh_fields();
}

void InputDialog::load_defaults() {
    const int d = shown_device();
    working_[size_t(d)].keys = default_binding(d).keys;
    refresh_fields();
}

void InputDialog::refresh_fields() {
    const BindingRecord& r = working_[size_t(shown_device())];
    for (int b = 0; b < kPadButtonCount; b++) {
        KeyField* f = fields_[size_t(b)];
        if (f->capturing()) continue;
        f->setText(QString::fromStdString(key_name(r.keys[size_t(b)])));
        QPalette p = palette();
        p.setColor(QPalette::Window, palette().color(QPalette::Base));
        p.setColor(QPalette::WindowText, field_colour(b));
        f->setPalette(p);
    }
}

}  // namespace vt::gui
