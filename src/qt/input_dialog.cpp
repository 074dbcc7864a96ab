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
constexpr uint8_t kEscapeKey = 27;

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
    event->accept();  // nothing reaches the dialog (Escape would close it)
    if (event->isAutoRepeat()) return;
    const uint8_t vk = virtual_key_for(*event);
    if (vk == kEscapeKey) emit capture_cancelled();
    else if (vk != 0 && !controller_field_) emit key_captured(vk);
}

bool KeyField::event(QEvent* event) {
    // While capturing, Tab is a key to bind, not a move to the next field.
    if (capturing_ && event->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QLabel::event(event);
}

InputDialog::Pads InputDialog::default_pads() {
    Pads p;
    p.fill(default_pad_mapping());
    return p;
}

InputDialog::InputDialog(const Bindings& live, const Pads& pads, QWidget* parent)
    : QDialog(parent), working_(live), pads_(pads) {
    setWindowTitle(QStringLiteral("Configure Input Device"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabBar(this);
    tabs_->addTab(QStringLiteral(" Device #1 "));
    tabs_->addTab(QStringLiteral(" Device #2 "));
    layout->addWidget(tabs_);

    auto* grid = new QGridLayout;
    // Two halves (Up to Start, A to R), each: label, key, controller button.
    for (int half = 0; half < 2; half++) {
        grid->addWidget(new QLabel(QStringLiteral("Key"), this), 0, half * 3 + 1, Qt::AlignHCenter);
        grid->addWidget(new QLabel(QStringLiteral("Controller"), this), 0, half * 3 + 2, Qt::AlignHCenter);
    }
    for (int b = 0; b < kPadButtonCount; b++) {
        const int row = b % 6 + 1, column = (b / 6) * 3;
        grid->addWidget(new QLabel(QString::fromLatin1(kButtonLabels[b]) + QLatin1Char(':'), this), row, column);
        auto* field = new KeyField(this);
        field->setObjectName(QStringLiteral("key%1").arg(kButtonLabels[b]));
        fields_[size_t(b)] = field;
        grid->addWidget(field, row, column + 1);
        connect(field, &KeyField::clicked, this, [this, b] { start_capture(b, false); });
        connect(field, &KeyField::key_captured, this, [this](uint8_t vk) { finish_capture(vk); });
        connect(field, &KeyField::capture_cancelled, this, [this] { cancel_capture(); });

        auto* pad = new KeyField(this);
        pad->set_controller_field(true);
        pad->setObjectName(QStringLiteral("pad%1").arg(kButtonLabels[b]));
        pad_fields_[size_t(b)] = pad;
        grid->addWidget(pad, row, column + 2);
        connect(pad, &KeyField::clicked, this, [this, b] { start_capture(b, true); });
        connect(pad, &KeyField::capture_cancelled, this, [this] { cancel_capture(); });
    }
    layout->addLayout(grid);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("buttonOk"));
    QPushButton* defaults = buttons->addButton(QStringLiteral("Default"), QDialogButtonBox::ResetRole);
    defaults->setObjectName(QStringLiteral("buttonDefault"));
    clear_ = buttons->addButton(QStringLiteral("Clear"), QDialogButtonBox::ActionRole);
    clear_->setObjectName(QStringLiteral("buttonClear"));
    clear_->setEnabled(false);
    clear_->setFocusPolicy(Qt::NoFocus);  // a click leaves the field capturing until it acts
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("buttonCancel"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(defaults, &QPushButton::clicked, this, [this] { load_defaults(); });
    connect(clear_, &QPushButton::clicked, this,
            [this] { finish_capture(capture_controller_ ? kControllerUnbound : uint8_t(0)); });
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

void InputDialog::start_capture(int button, bool controller) {
    if (capture_button_ >= 0) return;
    capture_button_ = button;
    capture_controller_ = controller;
    tabs_->setEnabled(false);
    clear_->setEnabled(true);
    KeyField* f = controller ? pad_fields_[size_t(button)] : fields_[size_t(button)];
    QPalette p = f->palette();
    p.setColor(QPalette::Window, Qt::gray);
    p.setColor(QPalette::WindowText, Qt::white);
    f->setPalette(p);
    f->set_capturing(true);
}

void InputDialog::finish_capture(uint8_t code) {
    if (capture_button_ < 0) return;
    const size_t device = size_t(shown_device());
    if (capture_controller_) pads_[device].buttons[size_t(capture_button_)] = code;
    else working_[device].keys[size_t(capture_button_)] = code;
    end_capture();
}

void InputDialog::cancel_capture() { end_capture(); }

void InputDialog::end_capture() {
    if (capture_button_ < 0) return;
    (capture_controller_ ? pad_fields_ : fields_)[size_t(capture_button_)]->set_capturing(false);
    capture_button_ = -1;
    tabs_->setEnabled(true);
    clear_->setEnabled(false);
    refresh_fields();
}

void InputDialog::controller_button_pressed(uint8_t button) {
    if (capture_button_ >= 0 && capture_controller_ && button < kControllerButtonCount) finish_capture(button);
}

void InputDialog::load_defaults() {
    const int d = shown_device();
    working_[size_t(d)].keys = default_binding(d).keys;
    pads_[size_t(d)] = default_pad_mapping();
    refresh_fields();
}

void InputDialog::refresh_fields() {
    const BindingRecord& r = working_[size_t(shown_device())];
    const PadMapping& pad = pads_[size_t(shown_device())];
    for (int b = 0; b < kPadButtonCount; b++) {
        KeyField* f = fields_[size_t(b)];
        if (!f->capturing()) {
            f->setText(QString::fromStdString(key_name(r.keys[size_t(b)])));
            QPalette p = palette();
            p.setColor(QPalette::Window, palette().color(QPalette::Base));
            p.setColor(QPalette::WindowText, field_colour(b));
            f->setPalette(p);
        }
        KeyField* g = pad_fields_[size_t(b)];
        if (!g->capturing()) {
            g->setText(QString::fromStdString(controller_button_name(pad.buttons[size_t(b)])));
            QPalette p = palette();
            p.setColor(QPalette::Window, palette().color(QPalette::Base));
            p.setColor(QPalette::WindowText, QColor(Qt::blue));
            g->setPalette(p);
        }
    }
}

}  // namespace vt::gui
