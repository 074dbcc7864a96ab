// The main window's start-up messages, dropped files, the mouse and the
// Super Scope, the input dialog behind the menu, the over-dump question and
// closing with battery RAM that cannot be written.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/machine.h"
#include "qt/input_dialog.h"
#include "qt/picture_view.h"
#include "qt/sdl_audio.h"
#include "tests/qt/qt_test_suites.h"
#include "tests/qt/window_fixture.h"

namespace vt::gui::test {

class MainWindowEventsTest : public QObject {
    Q_OBJECT
private slots:
    void start_up_failures_are_reported_once_and_the_program_runs_on() {
        WindowFixture f;
        double now = 0.0;
        f.adjust_options = [&](MainWindowOptions& o) {
            o.trace_log_path = f.dir.filePath(QStringLiteral("missing/trace.log"));
            o.open_sound = true;
            o.audio_driver = QStringLiteral("no-such-driver");  // as on a machine without a sound card
            o.clock = [&] { return now; };
        };
        MainWindow& w = f.open();
        QCOMPARE(f.messages.size(), size_t(2));
        QCOMPARE(f.messages[0].caption, QStringLiteral("Veltrane"));
        QCOMPARE(f.messages[0].text,
                 QStringLiteral("Could not create log file. CPU Tracing will be disabled for this session.  "));
        QCOMPARE(int(f.messages[0].icon), int(BoxIcon::Warning));
        // One plain message that there is no sound device, with SDL's reason.
        QCOMPARE(f.messages[1].caption, QStringLiteral("Sound"));
        QVERIFY(f.messages[1].text.startsWith(QString::fromLatin1(kNoSoundText) + QStringLiteral("\r\rReason: ")));
        QVERIFY(!f.messages[1].text.contains(QStringLiteral("Direct Sound")));
        QCOMPARE(int(f.messages[1].buttons), int(BoxButtons::Ok));
        QVERIFY(!w.audio());

        // The demo runs from the window's own run loop at once: no sign of
        // focus, no call from the test, no second message.
        QVERIFY(w.load_demo(f.path("demo-data")));
        Machine& m = w.machine();
        QTRY_COMPARE(m.timing.frame_counter, 1u);
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltrane [Running]"));
        // Paced by the clock: no frame while it stands still, one per
        // sixtieth of a second as it moves.
        QTest::qWait(60);
        QCOMPARE(m.timing.frame_counter, 1u);
        for (uint32_t frame = 2; frame <= 5; frame++) {
            now += 1.0 / 60.0;
            QTRY_COMPARE(m.timing.frame_counter, frame);
        }
        QTest::qWait(60);
        QCOMPARE(m.timing.frame_counter, 5u);
        QCOMPARE(f.messages.size(), size_t(2));
    }

    void a_dropped_file_is_loaded() {
        WindowFixture f;
        MainWindow& w = f.open();
        const std::string first = f.copy_rom("smoke.sfc", "Dropped.sfc");
        const std::string second = f.copy_rom("cart_sram.sfc", "Ignored.sfc");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(first)), QUrl::fromLocalFile(QString::fromStdString(second))});
        // A drop reaches the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        QCOMPARE(QString::fromStdString(w.machine().cart.image_path), QString::fromStdString(first));  // only the first file
        QCOMPARE(w.settings().recent.entries.size(), size_t(1));
    }

    void super_scope_follows_clicks_in_the_picture() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        w.findChild<QAction*>(QStringLiteral("actionDevice2_Scope"))->trigger();
        PictureView* view = w.picture_view();
        // Window (100, 60) is console pixel (50, 30).
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 60));
        const ScopeState& scope = w.input_devices().scope;
        QCOMPARE(int(scope.x), 50);
        QCOMPARE(int(scope.y), 30);
        QCOMPARE(int(scope.flags), int(kScopeFire));  // on screen, turbo off
        w.set_application_active(true);
        w.idle_turn();
        QCOMPARE(int(w.machine().input.record[1] >> 24), int(kScopeFire));
        // Without turbo Fire lasts one frame even while the button is held.
        QCOMPARE(int(scope.flags), 0);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 60));

        // A right click below the picture is off screen.
        QTest::mousePress(view, Qt::RightButton, Qt::NoModifier, QPoint(100, 2 * 224));
        QCOMPARE(int(scope.flags), int(kScopeCursor | kScopeOffscreen));
        QCOMPARE(int(scope.y), 30);
    }

    void the_console_mouse_moves_with_the_host_mouse() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        w.findChild<QAction*>(QStringLiteral("actionDevice1_Mouse"))->trigger();
        PictureView* view = w.picture_view();
        QMouseEvent first(QEvent::MouseMove, QPointF(10, 10), QPointF(10, 10), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view, &first);
        QMouseEvent second(QEvent::MouseMove, QPointF(30, 4), QPointF(30, 4), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view, &second);
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(30, 4));
        w.set_application_active(true);
        w.idle_turn();
        const uint32_t record = w.machine().input.record[0];
        // Speed 0: +20 right gives 10, -6 up gives -3 (sign and magnitude).
        QCOMPARE(int(record & 0xFF), 10);
        QCOMPARE(int((record >> 8) & 0xFF), 0x83);
        QCOMPARE(int((record >> 16) & 0xFF), 0x41);  // left button, signature bit
    }

    void configure_input_holds_the_machine_and_applies_on_ok() {
        WindowFixture f;
        MainWindow& w = f.open();
        uint32_t hold = 0;
        QTimer::singleShot(0, &w, [&] {
            auto* d = qobject_cast<InputDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            hold = w.host().hold_count();
            QTest::mouseClick(d->key_field(int(PadButton::A)), Qt::LeftButton);
            QTest::keyClick(d->key_field(int(PadButton::A)), Qt::Key_J);
            d->findChild<QPushButton*>(QStringLiteral("buttonOk"))->click();
        });
        w.findChild<QAction*>(QStringLiteral("actionConfigureInput"))->trigger();
        QCOMPARE(hold, 1u);
        QCOMPARE(w.host().hold_count(), 0u);
        QCOMPARE(int(w.input_devices().bindings[0].keys[size_t(PadButton::A)]), int('J'));
        QTest::keyPress(&w, Qt::Key_J);
        QVERIFY(w.machine().input.record[0] & kPadA);
    }

    void an_overdumped_image_can_be_saved_corrected() {
        WindowFixture f;
        MainWindow& w = f.open();
        // The 32 KiB cartridge twice over: the second half repeats the first.
        QFile rom(QString::fromStdString(test_rom("smoke.sfc")));
        QVERIFY(rom.open(QIODevice::ReadOnly));
        const QByteArray image = rom.readAll();
        QFile doubled(QString::fromStdString(f.path("Doubled.sfc")));
        QVERIFY(doubled.open(QIODevice::WriteOnly));
        doubled.write(image + image);
        doubled.close();

        const QString fixed = QString::fromStdString(f.path("Fixed.sfc"));
        f.answers.push_back(BoxAnswer::Ok);
        f.on_file_dialog = [&](FileRequest&) { return fixed; };
        QVERIFY(w.load_gamepak_file(f.path("Doubled.sfc")));
        QCOMPARE(f.messages.size(), size_t(1));
        QCOMPARE(f.messages[0].caption, QStringLiteral("Gamepak Properties"));
        QCOMPARE(f.messages[0].text, QStringLiteral("Veltrane has detected that the ROM has been overdumped.  \rClick "
                                                    "the OK button to correct the problem.\r"));
        QCOMPARE(int(f.messages[0].buttons), int(BoxButtons::OkCancel));
        QCOMPARE(f.file_requests.size(), size_t(1));
        QVERIFY(f.file_requests[0].save);
        // Offered beside the original under a new name, never over it.
        QCOMPARE(f.file_requests[0].file_name.toStdString(), f.path("Doubled (trimmed).sfc"));
        QFile out(fixed);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), image);
        QCOMPARE(w.picture_view()->notice(), QStringLiteral("Saved corrected image Fixed.sfc"));
    }

    void a_declined_overdump_correction_is_not_asked_again() {
        WindowFixture f;
        MainWindow& w = f.open();
        QFile rom(QString::fromStdString(test_rom("smoke.sfc")));
        QVERIFY(rom.open(QIODevice::ReadOnly));
        const QByteArray image = rom.readAll();
        QFile doubled(QString::fromStdString(f.path("Padded.sfc")));
        QVERIFY(doubled.open(QIODevice::WriteOnly));
        doubled.write(image + image);
        doubled.close();

        QVERIFY(w.load_gamepak_file(f.path("Padded.sfc")));
        QCOMPARE(f.messages.size(), size_t(1));  // asked, and declined (Cancel)
        QVERIFY(f.file_requests.empty());
        QVERIFY(w.load_gamepak_file(f.path("Padded.sfc")));
        QCOMPARE(f.messages.size(), size_t(1));  // not again
        // Remembered by the image's CRC-32 across runs.
        f.close_window();
        MainWindow& again = f.open();
        QVERIFY(again.load_gamepak_file(f.path("Padded.sfc")));
        QCOMPARE(f.messages.size(), size_t(1));
        // Another over-dumped image is still asked about.
        QFile other(QString::fromStdString(f.path("Other.sfc")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        QFile second(QString::fromStdString(test_rom("cart_sram.sfc")));
        QVERIFY(second.open(QIODevice::ReadOnly));
        const QByteArray second_image = second.readAll();
        other.write(second_image + second_image);
        other.close();
        QVERIFY(again.load_gamepak_file(f.path("Other.sfc")));
        QCOMPARE(f.messages.size(), size_t(2));
    }

    void closing_with_unwritable_battery_ram_asks() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(f.copy_rom("cart_sram.sfc", "Saver.sfc")));
        w.settings().backup_path = f.path("no-such-folder");

        f.answers.push_back(BoxAnswer::Ok);  // OK: stay
        QCloseEvent stay;
        QApplication::sendEvent(&w, &stay);
        QVERIFY(!stay.isAccepted());
        QCOMPARE(f.messages.size(), size_t(1));
        QCOMPARE(f.messages[0].caption, QStringLiteral("Save BackupRAM"));
        QCOMPARE(int(f.messages[0].buttons), int(BoxButtons::OkCancel));

        f.answers.push_back(BoxAnswer::Cancel);  // Cancel: close without writing
        QCloseEvent leave;
        QApplication::sendEvent(&w, &leave);
        QVERIFY(leave.isAccepted());

        // With a folder that exists the file is written and nothing is asked.
        w.settings().backup_path.clear();
        QCloseEvent fine;
        QApplication::sendEvent(&w, &fine);
        QVERIFY(fine.isAccepted());
        QCOMPARE(f.messages.size(), size_t(2));
        QVERIFY(QFile::exists(QString::fromStdString(f.path("Saver.srm"))));
    }
};

static RegisterSuite<MainWindowEventsTest> register_main_window_events_test;

}  // namespace vt::gui::test

#include "main_window_events_test.moc"
