// Key mapping from Qt keys to the stored key codes, and the "Configure Input
// Device" dialog.
#include <QKeyEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "qt/input_dialog.h"
#include "qt/key_codes.h"
#include "tests/qt/qt_test_suites.h"

namespace vt::gui::test {

namespace {

InputDialog::Bindings default_bindings() {
    InputDialog::Bindings b;
    for (int i = 0; i < kBindingRecordCount; i++) b[size_t(i)] = default_binding(i);
    return b;
}

QColor text_colour(QWidget* w) { return w->palette().color(QPalette::WindowText); }

}  // namespace

class KeyMappingTest : public QObject {
    Q_OBJECT
private slots:
    void main_keys() {
        QCOMPARE(int(virtual_key_for(Qt::Key_A, false)), 65);
        QCOMPARE(int(virtual_key_for(Qt::Key_Z, false)), 90);
        QCOMPARE(int(virtual_key_for(Qt::Key_0, false)), 48);
        QCOMPARE(int(virtual_key_for(Qt::Key_9, false)), 57);
        QCOMPARE(int(virtual_key_for(Qt::Key_F1, false)), 112);
        QCOMPARE(int(virtual_key_for(Qt::Key_F24, false)), 135);
        QCOMPARE(int(virtual_key_for(Qt::Key_Left, false)), 37);
        QCOMPARE(int(virtual_key_for(Qt::Key_Up, false)), 38);
        QCOMPARE(int(virtual_key_for(Qt::Key_Right, false)), 39);
        QCOMPARE(int(virtual_key_for(Qt::Key_Down, false)), 40);
        QCOMPARE(int(virtual_key_for(Qt::Key_Return, false)), 13);
        QCOMPARE(int(virtual_key_for(Qt::Key_Space, false)), 32);
        QCOMPARE(int(virtual_key_for(Qt::Key_Escape, false)), 27);
        QCOMPARE(int(virtual_key_for(Qt::Key_Pause, false)), 19);
        QCOMPARE(int(virtual_key_for(Qt::Key_PageUp, false)), 33);
        QCOMPARE(int(virtual_key_for(Qt::Key_PageDown, false)), 34);
        QCOMPARE(int(virtual_key_for(Qt::Key_End, false)), 35);
        QCOMPARE(int(virtual_key_for(Qt::Key_Home, false)), 36);
        QCOMPARE(int(virtual_key_for(Qt::Key_Insert, false)), 45);
        QCOMPARE(int(virtual_key_for(Qt::Key_Delete, false)), 46);
        QCOMPARE(int(virtual_key_for(Qt::Key_Shift, false)), 16);
        QCOMPARE(int(virtual_key_for(Qt::Key_Control, false)), 17);
        QCOMPARE(int(virtual_key_for(Qt::Key_Alt, false)), 18);
        QCOMPARE(int(virtual_key_for(Qt::Key_BracketLeft, false)), 219);
        QCOMPARE(int(virtual_key_for(Qt::Key_BracketRight, false)), 221);
        QCOMPARE(int(virtual_key_for(Qt::Key_BraceLeft, false)), 219);  // shifted "["
        QCOMPARE(int(virtual_key_for(Qt::Key_QuoteLeft, false)), 192);  // the scope's turbo key
        QCOMPARE(int(virtual_key_for(Qt::Key_Exclam, false)), 49);      // shifted "1"
        QCOMPARE(int(virtual_key_for(Qt::Key_unknown, false)), 0);
    }

    void keypad_keys_whatever_num_lock() {
        QCOMPARE(int(virtual_key_for(Qt::Key_8, true)), 104);
        QCOMPARE(int(virtual_key_for(Qt::Key_Up, true)), 104);  // Num Lock off
        QCOMPARE(int(virtual_key_for(Qt::Key_2, true)), 98);
        QCOMPARE(int(virtual_key_for(Qt::Key_4, true)), 100);
        QCOMPARE(int(virtual_key_for(Qt::Key_6, true)), 102);
        QCOMPARE(int(virtual_key_for(Qt::Key_0, true)), 96);
        QCOMPARE(int(virtual_key_for(Qt::Key_Asterisk, true)), 106);
        QCOMPARE(int(virtual_key_for(Qt::Key_Plus, true)), 107);
        QCOMPARE(int(virtual_key_for(Qt::Key_Minus, true)), 109);
        QCOMPARE(int(virtual_key_for(Qt::Key_Period, true)), 110);
        QCOMPARE(int(virtual_key_for(Qt::Key_Slash, true)), 111);
        QCOMPARE(int(virtual_key_for(Qt::Key_Enter, true)), 13);
        // The same keys on the main keyboard.
        QCOMPARE(int(virtual_key_for(Qt::Key_Minus, false)), 189);
        QCOMPARE(int(virtual_key_for(Qt::Key_Slash, false)), 191);
        QKeyEvent keypad(QEvent::KeyPress, Qt::Key_6, Qt::KeypadModifier);
        QCOMPARE(int(virtual_key_for(keypad)), 102);
    }
};

class InputDialogTest : public QObject {
    Q_OBJECT
private slots:
    void shows_key_names_of_the_chosen_device() {
        InputDialog d(default_bindings());
        QCOMPARE(d.windowTitle(), QStringLiteral("Configure Input Device"));
        QCOMPARE(d.tab_bar()->tabText(0), QStringLiteral(" Device #1 "));
        QCOMPARE(d.tab_bar()->tabText(1), QStringLiteral(" Device #2 "));
        QCOMPARE(d.key_field(int(PadButton::Up))->text(), QStringLiteral("Up"));
        QCOMPARE(d.key_field(int(PadButton::Start))->text(), QStringLiteral("Enter"));
        QCOMPARE(d.key_field(int(PadButton::A))->text(), QStringLiteral("A"));
        d.show_device(1);
        QCOMPARE(d.key_field(int(PadButton::Up))->text(), QStringLiteral("Numpad 8"));
        QCOMPARE(d.key_field(int(PadButton::Select))->text(), QStringLiteral("["));
        QCOMPARE(d.key_field(int(PadButton::Start))->text(), QStringLiteral("]"));
        QCOMPARE(d.key_field(int(PadButton::R))->text(), QStringLiteral("Delete"));
        // The defaults bind every key once: all blue.
        for (int b = 0; b < kPadButtonCount; b++) QCOMPARE(text_colour(d.key_field(b)), QColor(Qt::blue));
    }

    void a_click_captures_the_next_key() {
        InputDialog d(default_bindings());
        d.show();
        KeyField* up = d.key_field(int(PadButton::Up));
        QTest::mouseClick(up, Qt::LeftButton);
        QVERIFY(up->capturing());
        QVERIFY(!d.tab_bar()->isEnabled());
        QCOMPARE(up->palette().color(QPalette::Window), QColor(Qt::gray));
        QCOMPARE(text_colour(up), QColor(Qt::white));

        QTest::keyClick(up, Qt::Key_W);
        QVERIFY(!up->capturing());
        QVERIFY(d.tab_bar()->isEnabled());
        QCOMPARE(up->text(), QStringLiteral("W"));
        QCOMPARE(int(d.bindings()[0].keys[size_t(PadButton::Up)]), int('W'));

        // Tab is a key like any other while capturing.
        KeyField* select = d.key_field(int(PadButton::Select));
        QTest::mouseClick(select, Qt::LeftButton);
        QTest::keyClick(select, Qt::Key_Tab);
        QCOMPARE(select->text(), QStringLiteral("Tab"));
        QCOMPARE(int(d.bindings()[0].keys[size_t(PadButton::Select)]), 9);
    }

    void keys_bound_twice_show_red_across_both_devices() {
        InputDialog d(default_bindings());
        d.show();
        // Device #1's Up takes "B", which its B button already uses.
        KeyField* up = d.key_field(int(PadButton::Up));
        QTest::mouseClick(up, Qt::LeftButton);
        QTest::keyClick(up, Qt::Key_B);
        QCOMPARE(text_colour(up), QColor(Qt::red));
        QCOMPARE(text_colour(d.key_field(int(PadButton::B))), QColor(Qt::red));
        QCOMPARE(text_colour(d.key_field(int(PadButton::A))), QColor(Qt::blue));

        // Device #1's Down takes keypad 8, device #2's Up: red on both tabs.
        KeyField* down = d.key_field(int(PadButton::Down));
        QTest::mouseClick(down, Qt::LeftButton);
        QTest::keyClick(down, Qt::Key_8, Qt::KeypadModifier);
        QCOMPARE(down->text(), QStringLiteral("Numpad 8"));
        QCOMPARE(text_colour(down), QColor(Qt::red));
        d.show_device(1);
        QCOMPARE(text_colour(d.key_field(int(PadButton::Up))), QColor(Qt::red));
        QCOMPARE(text_colour(d.key_field(int(PadButton::Down))), QColor(Qt::blue));
    }

    void default_restores_only_the_shown_device() {
        InputDialog::Bindings b = default_bindings();
        b[0].keys.fill(0);
        b[1].keys.fill(0);
        b[1].device = 2;
        InputDialog d(b);
        QCOMPARE(d.key_field(0)->text(), QStringLiteral("Not Defined"));
        d.findChild<QPushButton*>(QStringLiteral("buttonDefault"))->click();
        QCOMPARE(d.key_field(0)->text(), QStringLiteral("Up"));
        QCOMPARE(d.bindings()[0].keys, default_binding(0).keys);
        QCOMPARE(int(d.bindings()[1].keys[0]), 0);
        QCOMPARE(int(d.bindings()[1].device), 2);  // device types are not the dialog's
    }

    void escape_cancels_a_capture_and_clear_empties_the_field() {
        InputDialog d(default_bindings());
        d.show();
        KeyField* up = d.key_field(int(PadButton::Up));
        QVERIFY(!d.clear_button()->isEnabled());
        QTest::mouseClick(up, Qt::LeftButton);
        QVERIFY(d.clear_button()->isEnabled());
        QTest::keyClick(up, Qt::Key_Escape);
        // Not bound to Escape, the dialog still open, the field as it was.
        QVERIFY(!up->capturing());
        QVERIFY(d.isVisible());
        QCOMPARE(up->text(), QStringLiteral("Up"));
        QCOMPARE(int(d.bindings()[0].keys[size_t(PadButton::Up)]), 38);
        QVERIFY(d.tab_bar()->isEnabled());

        QTest::mouseClick(up, Qt::LeftButton);
        d.clear_button()->click();
        QVERIFY(!up->capturing());
        QCOMPARE(up->text(), QStringLiteral("Not Defined"));
        QCOMPARE(int(d.bindings()[0].keys[size_t(PadButton::Up)]), 0);
        QVERIFY(!d.clear_button()->isEnabled());
    }

    void controller_fields_capture_controller_buttons_only() {
        InputDialog d(default_bindings());
        d.show();
        KeyField* a = d.pad_field(int(PadButton::A));
        QCOMPARE(a->text(), QStringLiteral("B (right)"));  // the console's A on the right
        QCOMPARE(d.pad_field(int(PadButton::B))->text(), QStringLiteral("A (bottom)"));
        d.controller_button_pressed(uint8_t(ControllerButton::North));  // not capturing: nothing
        QCOMPARE(d.pads()[0].buttons[size_t(PadButton::A)], uint8_t(ControllerButton::East));

        QTest::mouseClick(a, Qt::LeftButton);
        QTest::keyClick(a, Qt::Key_W);  // keys do not bind a controller field
        QVERIFY(a->capturing());
        d.controller_button_pressed(uint8_t(ControllerButton::North));
        QVERIFY(!a->capturing());
        QCOMPARE(a->text(), QStringLiteral("Y (top)"));
        QCOMPARE(d.pads()[0].buttons[size_t(PadButton::A)], uint8_t(ControllerButton::North));
        QCOMPARE(int(d.bindings()[0].keys[size_t(PadButton::A)]), int('A'));  // the key stays

        // Clear unbinds; Default brings the layout back for the shown device.
        QTest::mouseClick(a, Qt::LeftButton);
        d.clear_button()->click();
        QCOMPARE(a->text(), QStringLiteral("Not Defined"));
        d.show_device(1);
        d.findChild<QPushButton*>(QStringLiteral("buttonDefault"))->click();
        QCOMPARE(d.pads()[0].buttons[size_t(PadButton::A)], kControllerUnbound);
        d.show_device(0);
        d.findChild<QPushButton*>(QStringLiteral("buttonDefault"))->click();
        QCOMPARE(d.pads()[0].buttons, default_pad_mapping().buttons);
    }

    void ok_and_cancel() {
        InputDialog ok_dialog(default_bindings());
        ok_dialog.show();
        QTest::mouseClick(ok_dialog.key_field(0), Qt::LeftButton);
        QTest::keyClick(ok_dialog.key_field(0), Qt::Key_I);
        ok_dialog.findChild<QPushButton*>(QStringLiteral("buttonOk"))->click();
        QCOMPARE(ok_dialog.result(), int(QDialog::Accepted));
        QCOMPARE(int(ok_dialog.bindings()[0].keys[0]), int('I'));

        InputDialog cancel_dialog(default_bindings());
        cancel_dialog.findChild<QPushButton*>(QStringLiteral("buttonCancel"))->click();
        QCOMPARE(cancel_dialog.result(), int(QDialog::Rejected));
    }
};

static RegisterSuite<KeyMappingTest> register_key_mapping_test;
static RegisterSuite<InputDialogTest> register_input_dialog_test;

}  // namespace vt::gui::test

#include "input_dialog_test.moc"
