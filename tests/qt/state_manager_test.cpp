// The State Manager's slot listing, its details and its messages.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "frontend/state_file_writer.h"
#include "core/driver.h"
#include "core/machine.h"
#include "qt/state_manager.h"
#include "tests/qt/qt_test_suites.h"
#include "tests/qt/window_fixture.h"

namespace vt::gui::test {

namespace {

QString cell(QTableWidget* t, int row, int column) {
    QTableWidgetItem* item = t->item(row, column);
    return item ? item->text() : QString();
}

}  // namespace

class StateManagerTest : public QObject {
    Q_OBJECT
private slots:
    void lists_a_hundred_slots() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(f.copy_rom("smoke.sfc", "Game.sfc")));
        StateManager manager(w.host(), w.settings());
        QCOMPARE(manager.windowTitle(), QStringLiteral("State Manager"));
        QCOMPARE(manager.slot_grid()->rowCount(), 100);
        QCOMPARE(cell(manager.slot_grid(), 0, 0), QStringLiteral("S00"));
        QCOMPARE(cell(manager.slot_grid(), 99, 0), QStringLiteral("S99"));
        QCOMPARE(manager.selected_slot(), 0);
        QCOMPARE(manager.info_grid()->verticalHeaderItem(0)->text(), QStringLiteral("Author"));
        QCOMPARE(manager.info_grid()->verticalHeaderItem(3)->text(), QStringLiteral("Version"));
        QCOMPARE(manager.slot_list()[5].path, f.path("Game.S05"));
    }

    void slots_show_descriptions_details_and_thumbnails() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(f.copy_rom("smoke.sfc", "Game.sfc")));
        const uint32_t stamp = ((44u << 9 | 3u << 5 | 5u) << 16) | (13u << 11 | 45u << 5 | 15u);
        vt::test::write_state_file(f.path("Game.S02"), "Before the boss", "Ada", "Veltrane", stamp, true);
        StateManager manager(w.host(), w.settings());
        QCOMPARE(cell(manager.slot_grid(), 2, 1), QStringLiteral("Before the boss"));
        QCOMPARE(cell(manager.slot_grid(), 3, 1), QString());
        manager.select_slot(2);
        QCOMPARE(cell(manager.info_grid(), 0, 0), QStringLiteral("Ada"));
        QCOMPARE(cell(manager.info_grid(), 1, 0), QStringLiteral("2024-03-05 13:45:30"));
        QCOMPARE(cell(manager.info_grid(), 2, 0), QStringLiteral("Veltrane"));
        QCOMPARE(cell(manager.info_grid(), 3, 0), QStringLiteral("1.02"));
        QImage thumb = manager.thumbnail()->pixmap().toImage();
        QCOMPARE(thumb.size(), QSize(128, 120));
        // Stored bytes (x, y, x ^ y) are blue, green, red.
        QCOMPARE(thumb.pixelColor(10, 20), QColor(10 ^ 20, 20, 10));

        // Without the preview option no thumbnail shows.
        w.settings().thumb_preview = false;
        manager.select_slot(3);
        manager.select_slot(2);
        QVERIFY(manager.thumbnail()->pixmap().isNull());
    }

    void save_offers_quick_save_and_remembers_the_author() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(f.copy_rom("smoke.sfc", "Game.sfc")));
        w.settings().breakpoint_path = f.path("no-such-folder");  // the save cannot succeed
        StateManager manager(w.host(), w.settings());
        std::vector<BoxRequest> messages;
        manager.set_message_sink([&](QWidget*, const BoxRequest& r) {
            messages.push_back(r);
            return BoxAnswer::Ok;
        });
        QString offered;
        manager.set_properties_prompt([&](QString& description, QString& author) {
            offered = description;
            author = QStringLiteral("Grace");
            return true;
        });
        manager.select_slot(4);
        manager.save_selected();
        QCOMPARE(offered, QStringLiteral("Quick Save"));
        QCOMPARE(w.settings().author, std::string("Grace"));
        QCOMPARE(messages.size(), size_t(1));
        QCOMPARE(messages[0].caption, QStringLiteral("State Manager"));
        QVERIFY(messages[0].text.startsWith(
            QStringLiteral("The specified file could not be written to disk.  \rMake sure the specified path exists.\r\r")));
        QVERIFY(messages[0].text.contains(QStringLiteral("Game.S04: ")));
        QCOMPARE(manager.selected_slot(), 4);
    }

    void a_saved_slot_lists_and_loads_back() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(f.copy_rom("smoke.sfc", "Game.sfc")));
        Machine& m = w.machine();
        for (int i = 0; i < 5; i++) run_frame(m);
        const uint8_t counter_at_save = m.mem.wram[0x10];  // the cartridge counts NMIs here
        {
            StateManager manager(w.host(), w.settings());
            manager.set_properties_prompt([](QString& description, QString&) {
                description = QStringLiteral("Level 1");
                return true;
            });
            manager.select_slot(1);
            manager.save_selected();
            QVERIFY(QFile::exists(QString::fromStdString(f.path("Game.S01"))));
            QCOMPARE(cell(manager.slot_grid(), 1, 1), QStringLiteral("Level 1"));
            QCOMPARE(cell(manager.info_grid(), 3, 0), QStringLiteral("1.02"));
            QVERIFY(!manager.thumbnail()->pixmap().isNull());  // thumbnails are written by default
        }
        for (int i = 0; i < 5; i++) run_frame(m);
        QVERIFY(m.mem.wram[0x10] != counter_at_save);

        StateManager manager(w.host(), w.settings());
        manager.select_slot(1);
        manager.load_selected();
        QCOMPARE(manager.result(), int(QDialog::Accepted));  // a good load closes the window
        QCOMPARE(m.mem.wram[0x10], counter_at_save);
    }

    void an_empty_slot_offers_no_load_and_a_save_confirms() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(f.copy_rom("smoke.sfc", "Game.sfc")));
        StateManager manager(w.host(), w.settings());
        std::vector<BoxRequest> messages;
        manager.set_message_sink([&](QWidget*, const BoxRequest& r) {
            messages.push_back(r);
            return BoxAnswer::Ok;
        });
        manager.set_properties_prompt([](QString&, QString&) { return true; });
        QVERIFY(!manager.load_button()->isEnabled());  // slot S00 is empty
        manager.load_selected();
        QVERIFY(messages.empty());
        QCOMPARE(manager.result(), int(QDialog::Rejected));

        manager.select_slot(2);
        manager.save_selected();
        QVERIFY(manager.load_button()->isEnabled());
        QCOMPARE(manager.status_text(), QStringLiteral("Saved state Game.S02"));
        manager.select_slot(3);
        QVERIFY(!manager.load_button()->isEnabled());
        QVERIFY(messages.empty());
    }

    void state_options_store_the_three_choices() {
        Settings s;
        StateOptionsDialog d(s);
        QCOMPARE(d.windowTitle(), QStringLiteral("State Options"));
        QCOMPARE(d.sram_transfer()->text(), QStringLiteral("Enable SRAM Transfer"));
        QCOMPARE(d.bitmap_transfer()->text(), QStringLiteral("Enable Screen Capture Transfer"));
        QCOMPARE(d.thumbnail_preview()->text(), QStringLiteral("Display Thumbnail Preview"));
        QVERIFY(!d.sram_transfer()->isChecked());
        QVERIFY(d.bitmap_transfer()->isChecked());
        d.sram_transfer()->setChecked(true);
        d.thumbnail_preview()->setChecked(false);
        d.store(s);
        QVERIFY(s.sram_transfer);
        QVERIFY(s.bitmap_transfer);
        QVERIFY(!s.thumb_preview);
    }

    void state_properties_limit_the_author() {
        StatePropertiesDialog d(QStringLiteral("Quick Save"), QStringLiteral("Ada"));
        QCOMPARE(d.windowTitle(), QStringLiteral("State Properties"));
        QCOMPARE(d.description(), QStringLiteral("Quick Save"));
        QTest::keyClicks(d.author_field(), QString(40, QLatin1Char('z')));
        QCOMPARE(d.author().size(), 32);
    }
};

static RegisterSuite<StateManagerTest> register_state_manager_test;

}  // namespace vt::gui::test

#include "state_manager_test.moc"
