// Display Options, Folder Preferences, Transfer Options and the Gamepak
// Properties window.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "qt/display_dialog.h"
#include "qt/folders_dialog.h"
#include "qt/properties_window.h"
#include "qt/transfer_options_dialog.h"
#include "tests/qt/qt_test_suites.h"
#include "tests/qt/window_fixture.h"

namespace vt::gui::test {

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void display_options_move_live_and_cancel_back() {
        DisplayDialog d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Display Options"));
        d.start(40);
        QSignalSpy changed(&d, &DisplayDialog::brightness_changed);
        QSignalSpy chosen(&d, &DisplayDialog::brightness_chosen);
        d.slider()->setValue(80);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.last().at(0).toInt(), 80);
        QCOMPARE(d.value_label()->text(), QStringLiteral("80"));
        d.findChild<QPushButton*>(QStringLiteral("buttonDefault"))->click();
        QCOMPARE(d.slider()->value(), 50);
        QCOMPARE(changed.last().at(0).toInt(), 50);
        d.findChild<QPushButton*>(QStringLiteral("buttonCancel"))->click();
        QCOMPARE(changed.last().at(0).toInt(), 40);  // the stored setting again
        QCOMPARE(chosen.size(), 0);

        d.start(40);
        d.slider()->setValue(65);
        d.findChild<QPushButton*>(QStringLiteral("buttonOk"))->click();
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.last().at(0).toInt(), 65);
    }

    void display_options_rebuild_the_brightness_table() {
        WindowFixture f;
        MainWindow& w = f.open();
        // The table row of full brightness maps component 31 to 248 at the
        // neutral setting and 248 + 128 clamped at 100.
        QCOMPARE(int(w.machine().ppu.display.rows[15][31]), 248);
        w.findChild<QAction*>(QStringLiteral("actionDisplayOptions"))->trigger();
        auto* d = w.findChild<DisplayDialog*>();
        QVERIFY(d);
        d->slider()->setValue(100);
        QCOMPARE(int(w.machine().ppu.display.rows[15][31]), 255);
        QCOMPARE(int(w.machine().ppu.display.rows[15][16]), 255);
        d->findChild<QPushButton*>(QStringLiteral("buttonCancel"))->click();
        QCOMPARE(int(w.machine().ppu.display.rows[15][31]), 248);
        QCOMPARE(w.settings().brightness, 50);

        w.findChild<QAction*>(QStringLiteral("actionDisplayOptions"))->trigger();
        d->slider()->setValue(0);
        d->findChild<QPushButton*>(QStringLiteral("buttonOk"))->click();
        QCOMPARE(w.settings().brightness, 0);
        QCOMPARE(int(w.machine().ppu.display.rows[15][31]), 120);
    }

    void folder_preferences_store_four_folders() {
        Settings s;
        s.backup_path = "/saves";
        FoldersDialog d(s);
        QCOMPARE(d.windowTitle(), QStringLiteral("Folder Preferences"));
        QCOMPARE(d.field(1)->text(), QStringLiteral("/saves"));
        d.field(0)->setText(QStringLiteral("/roms"));
        d.field(2)->setText(QStringLiteral("/states"));
        d.field(3)->setText(QStringLiteral("/shots"));
        QCOMPARE(d.field(0)->maxLength(), 255);
        d.store(s);
        QCOMPARE(s.search_path, std::string("/roms"));
        QCOMPARE(s.backup_path, std::string("/saves"));
        QCOMPARE(s.breakpoint_path, std::string("/states"));
        QCOMPARE(s.capture_path, std::string("/shots"));
    }

    void transfer_options_game_doctor_takes_only_disks() {
        Settings s;
        s.transfer_port = 2;
        TransferOptionsDialog d(s);
        QCOMPARE(d.windowTitle(), QStringLiteral("Transfer Options"));
        QCOMPARE(d.port_list()->currentText(), QStringLiteral("LPT3: (Send to Parallel Port)"));
        QCOMPARE(d.send_backup()->text(), QStringLiteral("Send BackupRAM "));
        d.device_list()->setCurrentIndex(1);
        QCOMPARE(d.device_list()->currentText(), QStringLiteral("Game Doctor SF III"));
        QCOMPARE(d.port_list()->currentText(), QStringLiteral("DISK: (Send to Disk)"));
        QVERIFY(!d.port_list()->isEnabled());
        d.send_backup()->setChecked(false);
        d.store(s);
        QCOMPARE(s.transfer_device, 1);
        QCOMPARE(s.transfer_port, 4);
        QVERIFY(!s.send_backup_ram);
    }

    void properties_window_shows_the_cartridge_and_its_header() {
        WindowFixture f;
        MainWindow& w = f.open();
        // The test cartridge behind a 512-byte copier header of zeros but
        // for one marker byte.
        QFile rom(QString::fromStdString(test_rom("smoke.sfc")));
        QVERIFY(rom.open(QIODevice::ReadOnly));
        QByteArray header(512, '\0');
        header[0] = char(0x4B);
        header[1] = 'G';
        QFile out(QString::fromStdString(f.path("Headered.smc")));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(header + rom.readAll());
        out.close();
        QVERIFY(w.load_gamepak_file(f.path("Headered.smc")));

        PropertiesWindow p(w.machine(), w.settings());
        p.refresh();
        QCOMPARE(p.windowTitle(), QStringLiteral("Gamepak Properties"));
        QCOMPARE(p.tabs()->tabText(0), QStringLiteral(" General "));
        QCOMPARE(p.tabs()->tabText(1), QStringLiteral(" Save Options "));
        QCOMPARE(p.tabs()->count(), 3);
        QCOMPARE(p.tabs()->tabText(2), QStringLiteral(" Header "));
        QCOMPARE(p.value_label(1)->text().left(5), QStringLiteral("LOROM"));
        QCOMPARE(p.value_label(7)->text().size(), 8);  // CRC32
        // Not in the database: the CRC32 shows red.
        QCOMPARE(p.value_label(7)->palette().color(QPalette::WindowText), QColor(Qt::red));
        const QString checksum = p.value_label(6)->text();
        QCOMPARE(p.value_label(6)->palette().color(QPalette::WindowText),
                 checksum == QStringLiteral("BAD") ? QColor(Qt::red) : QColor(Qt::blue));

        QCOMPARE(p.header_grid()->rowCount(), 16);
        QCOMPARE(p.header_grid()->columnCount(), 32);
        QCOMPARE(p.header_grid()->item(0, 0)->text(), QStringLiteral("4B"));
        QCOMPARE(p.header_grid()->item(0, 1)->text(), QStringLiteral("47"));
        QTest::keyClick(p.header_grid(), Qt::Key_Space);
        QCOMPARE(p.header_grid()->item(0, 0)->text(), QStringLiteral("K"));
        QCOMPARE(p.header_grid()->item(0, 2)->text(), QStringLiteral("."));

        // An image without a copier header has no header tab.
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        p.refresh();
        QCOMPARE(p.tabs()->count(), 2);
    }

    void properties_window_save_options_change_the_settings() {
        WindowFixture f;
        MainWindow& w = f.open();
        PropertiesWindow p(w.machine(), w.settings());
        p.refresh();
        auto combos = p.findChildren<QComboBox*>();
        QCOMPARE(combos.size(), 2);
        QCOMPARE(combos[0]->itemText(1), QStringLiteral("Super Wildcard (*.bbd)"));
        QCOMPARE(combos[1]->itemText(3), QStringLiteral("ACM 512 x 478"));
        combos[0]->setCurrentIndex(2);
        combos[1]->setCurrentIndex(1);
        p.findChild<QCheckBox*>()->setChecked(false);
        QCOMPARE(w.settings().backup_format, 2);
        QCOMPARE(w.settings().capture_format, 1);
        QVERIFY(!w.settings().auto_create_header);
    }

    void properties_command_shows_and_hides_the_window() {
        WindowFixture f;
        MainWindow& w = f.open();
        QAction* a = w.findChild<QAction*>(QStringLiteral("actionProperties"));
        a->trigger();
        auto* p = w.findChild<PropertiesWindow*>();
        QVERIFY(p && p->isVisible());
        w.update_gamepak_menu();
        QVERIFY(a->isChecked());
        a->trigger();
        QVERIFY(!p->isVisible());
        w.update_gamepak_menu();
        QVERIFY(!a->isChecked());
    }
};

static RegisterSuite<DialogsTest> register_dialogs_test;

}  // namespace vt::gui::test

#include "dialogs_test.moc"
