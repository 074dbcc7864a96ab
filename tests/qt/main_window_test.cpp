// The main window: settings kept between runs, menu states, run control with
// the hold count, loading, the reload question, reset and the keyboard.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTest>
#include <filesystem>

#include "core/driver.h"
#include "core/machine.h"
#include "frontend/state_slots.h"
#include "qt/picture_view.h"
#include "tests/qt/qt_test_suites.h"
#include "tests/qt/window_fixture.h"

namespace vt::gui::test {

namespace {

QAction* action(MainWindow& w, const char* name) {
    QAction* a = w.findChild<QAction*>(QString::fromLatin1(name));
    if (!a) qFatal("no action %s", name);
    return a;
}

// Switching away and back starts the frame clock afresh: the next frame is
// due at once.
void make_frame_due(MainWindow& w) {
    w.set_application_active(false);
    w.set_application_active(true);
}

QMenu* menu(MainWindow& w, const char* name) {
    QMenu* m = w.findChild<QMenu*>(QString::fromLatin1(name));
    if (!m) qFatal("no menu %s", name);
    return m;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void settings_survive_a_restart() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(f.copy_rom("smoke.sfc", "Game.sfc")));
        w.settings().brightness = 70;
        w.settings().author = "Ada";
        w.settings().capture_format = 3;
        w.input_devices().bindings[1].device = 2;
        w.input_devices().bindings[0].keys[0] = 'W';
        f.close_window();  // writes the settings

        QSettings stored(f.settings_file(), QSettings::IniFormat);
        QCOMPARE(stored.value("Brightness").toInt(), 70);
        QCOMPARE(stored.value("File0").toString().toStdString(), f.path("Game.sfc"));
        QByteArray joypad1 = stored.value("Joypad1").toByteArray();
        QCOMPARE(joypad1.size(), 13);
        QCOMPARE(int(uint8_t(joypad1[0])), 1);
        QCOMPARE(int(uint8_t(joypad1[1])), int('W'));
        QCOMPARE(stored.value("Joypad2").toByteArray().size(), 13);

        MainWindow& again = f.open();
        QCOMPARE(again.settings().brightness, 70);
        QCOMPARE(again.settings().author, std::string("Ada"));
        QCOMPARE(again.settings().capture_format, 3);
        QCOMPARE(again.settings().recent.entries.size(), size_t(1));
        QCOMPARE(int(again.input_devices().bindings[1].device), 2);
        QCOMPARE(int(again.input_devices().bindings[0].keys[0]), int('W'));
        // The bindings were applied at start: port 2 holds the mouse.
        QCOMPARE(int(again.machine().input.device[1]), int(PortDevice::Mouse));
    }

    void settings_out_of_range_become_defaults() {
        WindowFixture f;
        {
            QSettings stored(f.settings_file(), QSettings::IniFormat);
            stored.setValue("TransferPort", 7);
            stored.setValue("Brightness", 150);
            stored.setValue("CaptureFormat", 9);
            stored.setValue("TransferDevice", 1);
            stored.setValue("SendBackupRAM", false);
            stored.setValue("SearchPath", QString(300, QLatin1Char('x')));
        }
        MainWindow& w = f.open();
        QCOMPARE(w.settings().transfer_port, 0);
        QCOMPARE(w.settings().brightness, 50);
        QCOMPARE(w.settings().capture_format, 0);
        QCOMPARE(w.settings().transfer_device, 1);
        QCOMPARE(w.settings().send_backup_ram, false);
        QCOMPARE(w.settings().search_path.size(), size_t(255));
    }

    void menus_before_and_after_a_load() {
        WindowFixture f;
        MainWindow& w = f.open();
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltrane"));
        w.update_gamepak_menu();
        w.update_tools_menu();
        QVERIFY(!menu(w, "menuReload")->isEnabled());
        QVERIFY(!action(w, "actionSaveRts")->isEnabled());
        QVERIFY(!action(w, "actionSaveBackupRam")->isEnabled());
        QVERIFY(!action(w, "actionStateManager")->isEnabled());
        QVERIFY(action(w, "actionStateInspector")->isEnabled());  // the inspector opens without a Gamepak
        QVERIFY(!action(w, "actionTransferGamepak")->isEnabled());
        // Fixed states.
        QVERIFY(!action(w, "actionEnableSound")->isVisible());
        QVERIFY(!action(w, "actionEnableSound")->isEnabled());
        QVERIFY(!menu(w, "menuFilters")->menuAction()->isVisible());
        // The Control menu is shown: pause, frame advance, fast forward, quick saves.
        QVERIFY(menu(w, "menuControl")->menuAction()->isVisible());
        QVERIFY(!action(w, "actionStop")->isVisible());
        QVERIFY(!action(w, "actionFrameRateAuto")->isEnabled());
        QVERIFY(action(w, "actionFrameRate4")->isChecked());
        QCOMPARE(action(w, "actionFrameRate4")->text(), QStringLiteral("60 fps"));
        for (const char* m : {"menuDevice3", "menuDevice4", "menuDevice5"}) QVERIFY(!menu(w, m)->isEnabled());
        QCOMPARE(action(w, "actionLoad")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
        QCOMPARE(action(w, "actionSavePng")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
        QCOMPARE(action(w, "actionReset")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
        QCOMPARE(action(w, "actionSaveBackupRam")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(action(w, "actionProperties")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Return));

        QVERIFY(w.load_gamepak_file(f.copy_rom("smoke.sfc", "First.sfc")));
        QVERIFY(w.load_gamepak_file(f.copy_rom("cart_sram.sfc", "Second.sfc")));
        w.update_gamepak_menu();
        w.update_tools_menu();
        QMenu* reload = menu(w, "menuReload");
        QVERIFY(reload->isEnabled());
        QCOMPARE(reload->actions().size(), 4);  // two files, a separator and "Clear List"
        QCOMPARE(reload->actions()[0]->text(), QStringLiteral("Second.sfc"));
        QCOMPARE(reload->actions()[1]->text(), QStringLiteral("First.sfc"));
        // The full path shows as the item's tooltip.
        QVERIFY(reload->toolTipsVisible());
        QCOMPARE(reload->actions()[0]->toolTip().toStdString(), f.path("Second.sfc"));
        QCOMPARE(reload->actions()[3]->text(), QStringLiteral("Clear List"));
        QVERIFY(action(w, "actionSaveRts")->isEnabled());
        QVERIFY(action(w, "actionSaveBackupRam")->isEnabled());  // the second has battery RAM
        QVERIFY(action(w, "actionStateManager")->isEnabled());
        QVERIFY(action(w, "actionTransferGamepak")->isEnabled());

        // A Reload item loads its file.
        reload->actions()[1]->trigger();
        QCOMPARE(w.machine().cart.image_path, f.path("First.sfc"));

        // "Clear List" empties it.
        w.update_gamepak_menu();
        reload->actions().last()->trigger();
        QVERIFY(w.settings().recent.entries.empty());
        QVERIFY(!reload->isEnabled());
    }

    void frame_rate_items_set_frame_skip_and_follow_the_region() {
        WindowFixture f;
        MainWindow& w = f.open();
        action(w, "actionFrameRate3")->trigger();  // "30 fps"
        QCOMPARE(w.host().frame_skip(), 1);
        QVERIFY(action(w, "actionFrameRate3")->isChecked());
        QVERIFY(!action(w, "actionFrameRate4")->isChecked());
        w.machine().ppu.stat78 |= 0x10;  // a PAL console
        w.update_frame_rate_menu();
        QCOMPARE(action(w, "actionFrameRate3")->text(), QStringLiteral("25 fps"));
        QCOMPARE(action(w, "actionFrameRate0")->text(), QStringLiteral("10 fps"));
    }

    void input_menu_sets_device_types() {
        WindowFixture f;
        MainWindow& w = f.open();
        action(w, "actionDevice1_Mouse")->trigger();
        QCOMPARE(int(w.input_devices().bindings[0].device), 2);
        QCOMPARE(int(w.machine().input.device[0]), int(PortDevice::Mouse));
        action(w, "actionDevice2_Scope")->trigger();
        QCOMPARE(int(w.machine().input.device[1]), int(PortDevice::SuperScope));
        QCOMPARE(w.picture_view()->cursor().shape(), Qt::BitmapCursor);  // the aiming cursor
        w.update_input_menu();
        QVERIFY(action(w, "actionDevice2_Scope")->isChecked());
        QVERIFY(!menu(w, "menuDevice2")->icon().isNull());
        action(w, "actionDevice2_None")->trigger();
        QCOMPARE(int(w.machine().input.device[1]), int(PortDevice::None));
        QCOMPARE(w.picture_view()->cursor().shape(), Qt::ArrowCursor);
        w.update_input_menu();
        QVERIFY(menu(w, "menuDevice2")->icon().isNull());
    }

    void frames_run_only_while_active_and_not_held() {
        WindowFixture f;
        MainWindow& w = f.open();
        Machine& m = w.machine();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        // Frames run from the start: no sign of focus is needed.
        w.idle_turn();
        QCOMPARE(m.timing.frame_counter, 1u);
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltrane [Running]"));

        // While the Load dialog is open the machine is held: no frame runs
        // and the title says so.
        uint32_t held_frames = 99;
        uint32_t hold_count = 0;
        f.on_file_dialog = [&](FileRequest& r) {
            hold_count = w.host().hold_count();
            const uint32_t before = m.timing.frame_counter;
            make_frame_due(w);
            w.idle_turn();
            held_frames = m.timing.frame_counter - before;
            return r.title == QStringLiteral("Load") ? QString() : QString();
        };
        action(w, "actionLoad")->trigger();
        QCOMPARE(hold_count, 1u);
        QCOMPARE(held_frames, 0u);
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltrane [Stopped]"));
        QCOMPARE(w.host().hold_count(), 0u);
        make_frame_due(w);
        w.idle_turn();
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltrane [Running]"));

        make_frame_due(w);
        w.set_application_active(false);
        const uint32_t before = m.timing.frame_counter;
        w.idle_turn();
        QCOMPARE(m.timing.frame_counter, before);
    }

    void load_dialog_starts_in_the_gamepak_folder_and_sends_rts_files_to_the_state_loader() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(f.copy_rom("smoke.sfc", "Game.sfc")));
        w.settings().search_path = "/somewhere/roms";
        w.settings().filter_index = 2;
        const std::string rts = f.path("Game.rts");
        QFile::copy(QString::fromStdString(test_rom("cart_sram.sfc")), QString::fromStdString(rts));
        f.on_file_dialog = [&](FileRequest& r) {
            r.filter_index = 1;  // whatever filter the user picked
            return QString::fromStdString(rts);
        };
        action(w, "actionLoad")->trigger();
        QCOMPARE(f.file_requests.size(), size_t(1));
        const FileRequest& r = f.file_requests[0];
        QCOMPARE(r.title, QStringLiteral("Load"));
        QCOMPARE(r.folder, QStringLiteral("/somewhere/roms"));
        QVERIFY(r.file_name.isEmpty());
        QCOMPARE(r.filter_index, 2);
        QCOMPARE(r.filter, QString::fromLatin1(kLoadFilter));
        // Not loaded as a Gamepak: the cartridge and the Reload list stay.
        QCOMPARE(w.machine().cart.image_path, f.path("Game.sfc"));
        QCOMPARE(w.settings().recent.entries.size(), size_t(1));
        QCOMPARE(w.settings().filter_index, 1);
    }

    void a_file_that_cannot_be_loaded_says_so() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(!w.load_gamepak_file(f.path("missing.sfc")));
        QCOMPARE(f.messages.size(), size_t(1));
        QCOMPARE(f.messages[0].caption, QStringLiteral("Load Gamepak"));
        // The fixed text, then the file and the reason.
        QCOMPARE(f.messages[0].text, QString::fromLatin1(kFileCouldNotBeLoaded) + QStringLiteral("\r\r") +
                                         QString::fromStdString(f.path("missing.sfc")) +
                                         QStringLiteral(": No such file or directory"));
        QCOMPARE(int(f.messages[0].icon), int(BoxIcon::Error));
        QVERIFY(w.settings().recent.entries.empty());
    }

    void the_demo_runs_without_a_file_and_keeps_its_record_in_the_data_folder() {
        WindowFixture f;
        MainWindow& w = f.open();
        const std::string data = f.path("demo-data");
        QVERIFY(w.load_demo(data));
        QVERIFY(f.messages.empty());
        QVERIFY(w.machine().timing.gamepak_loaded);
        QVERIFY(w.machine().cart.has_battery);
        QVERIFY(w.settings().recent.entries.empty());  // not a file of the user's
        make_frame_due(w);
        w.idle_turn();
        QVERIFY(w.machine().timing.frame_counter > 0);
        QVERIFY(w.close());  // closing writes the battery RAM
        QVERIFY(std::filesystem::exists(data + "/veltrane-demo.srm"));
    }

    void reload_question_after_the_file_changed() {
        WindowFixture f;
        MainWindow& w = f.open();
        const std::string rom = f.copy_rom("smoke.sfc", "Game.sfc");
        QVERIFY(w.load_gamepak_file(rom));
        w.set_application_active(true);
        QVERIFY(f.messages.empty());  // unchanged: no question
        w.set_application_active(false);

        namespace fs = std::filesystem;
        fs::last_write_time(rom, fs::last_write_time(rom) + std::chrono::hours(1));
        f.answers.push_back(BoxAnswer::Yes);
        w.set_application_active(true);
        QCOMPARE(f.messages.size(), size_t(1));
        QCOMPARE(f.messages[0].caption, QStringLiteral("Gamepak Properties"));
        QCOMPARE(f.messages[0].text, QStringLiteral("Veltrane has detected changes to the gamepak. Reload?  "));
        QCOMPARE(int(f.messages[0].buttons), int(BoxButtons::YesNo));
        QCOMPARE(int(f.messages[0].icon), int(BoxIcon::Information));
        QVERIFY(w.application_active());

        // The new date was stored: switching back again asks nothing.
        w.set_application_active(false);
        w.set_application_active(true);
        QCOMPARE(f.messages.size(), size_t(1));
    }

    void reset_asks_first() {
        WindowFixture f;
        MainWindow& w = f.open();
        action(w, "actionReset")->trigger();
        QVERIFY(f.messages.empty());  // nothing loaded: nothing to reset

        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        Machine& m = w.machine();
        const uint16_t reset_pc = m.cpu.pc;
        w.set_application_active(true);
        for (int i = 0; i < 3; i++) w.host().run_frame();
        QVERIFY(m.cpu.pc != reset_pc);

        // No frame runs while the question is open, and the title stays.
        uint32_t frames_during_question = 99;
        f.on_message = [&](const BoxRequest&) {
            const uint32_t before = m.timing.frame_counter;
            make_frame_due(w);
            w.idle_turn();
            frames_during_question = m.timing.frame_counter - before;
        };
        action(w, "actionReset")->trigger();  // answered No
        QCOMPARE(frames_during_question, 0u);
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltrane [Running]"));
        f.on_message = nullptr;
        QCOMPARE(f.messages.size(), size_t(1));
        QCOMPARE(f.messages[0].caption, QStringLiteral("System Reset"));
        QCOMPARE(f.messages[0].text, QStringLiteral("Are you sure you want to reset the system?  "));
        QCOMPARE(int(f.messages[0].icon), int(BoxIcon::Warning));
        QCOMPARE(int(f.messages[0].buttons), int(BoxButtons::YesNo));
        QVERIFY(m.cpu.pc != reset_pc);

        f.answers.push_back(BoxAnswer::Yes);
        action(w, "actionReset")->trigger();
        QCOMPARE(m.cpu.pc, reset_pc);
    }

    void keys_drive_the_joypad_with_opposite_directions() {
        WindowFixture f;
        MainWindow& w = f.open();
        const uint32_t& pad = w.machine().input.record[0];
        QTest::keyPress(&w, Qt::Key_Left);
        QCOMPARE(pad & (kPadLeft | kPadRight), kPadLeft);
        QTest::keyPress(&w, Qt::Key_Right);
        QCOMPARE(pad & (kPadLeft | kPadRight), kPadRight);  // Right only
        QTest::keyRelease(&w, Qt::Key_Right);
        QCOMPARE(pad & (kPadLeft | kPadRight), 0u);  // neither, though Left is held
        QTest::keyPress(&w, Qt::Key_A);
        QTest::keyPress(&w, Qt::Key_Return);
        QCOMPARE(pad & (kPadA | kPadStart), kPadA | kPadStart);
        QTest::keyRelease(&w, Qt::Key_A);
        QCOMPARE(pad & kPadA, 0u);

        // Losing the keyboard lets every button go.
        w.set_application_active(true);
        w.set_application_active(false);
        QCOMPARE(pad & 0xFFFF0000u, 0u);
    }

    void escape_in_a_window_reaches_the_key_tables() {
        WindowFixture f;
        MainWindow& w = f.open();
        w.input_devices().bindings[0].keys[size_t(PadButton::B)] = 27;  // Escape
        action(w, "actionDevice1_Joypad")->trigger();  // applies the bindings
        const QSize size = w.size();
        QTest::keyPress(&w, Qt::Key_Escape);
        QVERIFY(!w.full_screen());
        QCOMPARE(w.size(), size);
        QVERIFY(w.machine().input.record[0] & kPadB);
    }

    void full_screen_and_back() {
        WindowFixture f;
        MainWindow& w = f.open();
        w.show();
        w.enter_full_screen();
        QVERIFY(w.full_screen());
        QVERIFY(w.menuBar()->isHidden());
        QTest::keyPress(&w, Qt::Key_Escape);
        QVERIFY(!w.full_screen());
        QVERIFY(!w.menuBar()->isHidden());
        // Back to the window's picture at twice the console's size.
        QCOMPARE(w.picture_view()->picture_rect(), (PictureRect{0, 0, 512, 476}));
    }

    void save_png_names_the_capture_after_the_image() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(f.copy_rom("smoke.sfc", "game.smc")));
        action(w, "actionSavePng")->trigger();
        action(w, "actionSavePng")->trigger();
        QVERIFY(QFile::exists(QString::fromStdString(f.path("game.png"))));
        QVERIFY(QFile::exists(QString::fromStdString(f.path("game (2).png"))));
        QVERIFY(f.messages.empty());

        w.settings().capture_path = f.path("no-such-folder");
        action(w, "actionSavePng")->trigger();
        QCOMPARE(f.messages.size(), size_t(1));
        QCOMPARE(f.messages[0].caption, QStringLiteral("Save PNG Capture"));
        // The message names the file and the reason.
        QCOMPARE(f.messages[0].text,
                 QStringLiteral("The specified file could not be written to disk.  \rMake sure the specified path exists.") +
                     QStringLiteral("\r\r") + QString::fromStdString(f.path("no-such-folder/game.png")) +
                     QStringLiteral(": No such file or directory"));
        QCOMPARE(int(f.messages[0].icon), int(BoxIcon::Error));
    }

    void save_rts_suggests_the_image_name() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(f.copy_rom("smoke.sfc", "Game.sfc")));
        w.update_gamepak_menu();
        action(w, "actionSaveRts")->trigger();
        QCOMPARE(f.file_requests.size(), size_t(1));
        QVERIFY(f.file_requests[0].save);
        QCOMPARE(f.file_requests[0].file_name.toStdString(), f.path("Game.rts"));
        QCOMPARE(f.file_requests[0].filter, QStringLiteral("Real-time Save (*.rts)|*.rts"));
    }

    void a_real_time_save_written_from_the_menu_loads_back() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(f.copy_rom("smoke.sfc", "Game.sfc")));
        Machine& m = w.machine();
        for (int i = 0; i < 4; i++) run_frame(m);
        const uint8_t counter_at_save = m.mem.wram[0x10];  // the cartridge counts NMIs here
        f.on_file_dialog = [](FileRequest& r) { return r.file_name; };
        w.update_gamepak_menu();
        action(w, "actionSaveRts")->trigger();
        QVERIFY(f.messages.empty());
        QVERIFY(QFile::exists(QString::fromStdString(f.path("Game.rts"))));
        for (int i = 0; i < 4; i++) run_frame(m);
        QVERIFY(m.mem.wram[0x10] != counter_at_save);
        w.open_file(f.path("Game.rts"));
        QCOMPARE(m.mem.wram[0x10], counter_at_save);
        QCOMPARE(m.cart.image_path, f.path("Game.sfc"));  // still the same Gamepak
    }
};

static RegisterSuite<MainWindowTest> register_main_window_test;

}  // namespace vt::gui::test

#include "main_window_test.moc"
