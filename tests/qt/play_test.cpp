// Playing in the main window: the run state in the title, pause and frame
// advance, quick saves, rewind, fast forward, full screen and scaling, the
// window's place, the pointer captured for mouse games, game controllers
// (through SDL's virtual controllers), the demo after a bad start file,
// confirmations over the picture and the play settings.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "core/driver.h"
#include "core/machine.h"
#include "frontend/picture_scaling.h"
#include "nes/nes_side.h"
#include "qt/input_dialog.h"
#include "qt/picture_view.h"
#include "qt/play_settings_dialogs.h"
#include "qt/properties_window.h"
#include "qt/sdl_audio.h"
#include "qt/sdl_gamepads.h"
#include "state/state_file.h"
#include "tests/qt/qt_test_suites.h"
#include "tests/qt/window_fixture.h"

namespace vt::gui::test {

namespace {

QAction* action(MainWindow& w, const char* name) {
    QAction* a = w.findChild<QAction*>(QString::fromLatin1(name));
    if (!a) qFatal("no action %s", name);
    return a;
}

// A window on a clock the test moves.
struct ClockedWindow {
    WindowFixture f;
    double now = 0.0;
    MainWindow* w = nullptr;

    explicit ClockedWindow(bool gamepads = false) {
        f.adjust_options = [this, gamepads](MainWindowOptions& o) {
            o.clock = [this] { return now; };
            o.open_gamepads = gamepads;
        };
        w = &f.open();
    }
    // One turn a frame period later: one frame at normal speed.
    void next_frame() {
        now += 1.0 / 60.0;
        w->idle_turn();
    }
};

// The demo's ship: the sprite with its tile (64, or 66 while the flame
// flickers) and its attributes.
int ship_x(const Machine& m) {
    for (int i = 0; i < 128; i++) {
        const uint8_t* s = &m.ppu.oam[size_t(i) * 4];
        if ((s[2] == 64 || s[2] == 66) && s[3] == 0x32) return s[0];
    }
    return -1;
}

bool parallax_shown(const Machine& m) { return m.ppu.bgmode == 0x01 && m.ppu.inidisp == 0x0F; }

}  // namespace

class PlayTest : public QObject {
    Q_OBJECT
private slots:
    void the_title_says_stopped_in_the_background_and_running_again_after() {
        WindowFixture f;
        MainWindow& w = f.open();
        Machine& m = w.machine();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        w.idle_turn();
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltrane [Running]"));
        w.set_application_active(false);
        const uint32_t frames = m.timing.frame_counter;
        w.idle_turn();
        QCOMPARE(m.timing.frame_counter, frames);
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltrane [Stopped]"));
        w.set_application_active(true);
        w.idle_turn();
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltrane [Running]"));
        QCOMPARE(w.host().hold_count(), 0u);

        // With the setting off the game plays on in the background.
        w.settings().pause_when_inactive = false;
        w.set_application_active(false);
        QTRY_VERIFY(m.timing.frame_counter > frames + 2);  // the window's own run loop
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltrane [Running]"));
    }

    void pause_and_frame_advance() {
        ClockedWindow c;
        MainWindow& w = *c.w;
        Machine& m = w.machine();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        c.next_frame();
        QTest::keyClick(&w, Qt::Key_Pause);
        QVERIFY(w.paused());
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltrane [Paused]"));
        QCOMPARE(w.picture_view()->indicator(), QStringLiteral("Paused"));
        const uint32_t frames = m.timing.frame_counter;
        c.next_frame();
        c.next_frame();
        QCOMPARE(m.timing.frame_counter, frames);
        // Frame advance: exactly one frame per press, still paused.
        QTest::keyClick(&w, Qt::Key_Backslash);
        QCOMPARE(m.timing.frame_counter, frames + 1);
        action(w, "actionFrameAdvance")->trigger();
        QCOMPARE(m.timing.frame_counter, frames + 2);
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltrane [Paused]"));
        w.findChild<QMenu*>(QStringLiteral("menuControl"))->aboutToShow();
        QVERIFY(action(w, "actionPause")->isChecked());
        QVERIFY(action(w, "actionFrameAdvance")->isEnabled());
        // The Pause key again resumes.
        QTest::keyClick(&w, Qt::Key_Pause);
        QVERIFY(!w.paused());
        c.next_frame();
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltrane [Running]"));
        QCOMPARE(w.picture_view()->indicator(), QString());
        // With the Super Scope in port 2 the Pause key is the scope's.
        action(w, "actionDevice2_Scope")->trigger();
        QTest::keyClick(&w, Qt::Key_Pause);
        QVERIFY(!w.paused());
        QVERIFY(w.input_devices().scope.flags & kScopePause);
    }

    void quick_saves_on_the_function_keys() {
        WindowFixture f;
        MainWindow& w = f.open();
        Machine& m = w.machine();
        QVERIFY(w.load_gamepak_file(f.copy_rom("smoke.sfc", "Game.sfc")));
        for (int i = 0; i < 4; i++) run_frame(m);
        const uint8_t counter_at_save = m.mem.wram[0x10];  // the cartridge counts NMIs here
        QTest::keyClick(&w, Qt::Key_F3, Qt::ShiftModifier);
        QVERIFY(QFile::exists(QString::fromStdString(f.path("Game.S03"))));
        QCOMPARE(w.picture_view()->notice(), QStringLiteral("Saved slot 3: Game.S03"));
        QCOMPARE(w.quick_slot(), 3);
        for (int i = 0; i < 4; i++) run_frame(m);
        QVERIFY(m.mem.wram[0x10] != counter_at_save);
        QTest::keyClick(&w, Qt::Key_F3);
        QCOMPARE(m.mem.wram[0x10], counter_at_save);
        QCOMPARE(w.picture_view()->notice(), QStringLiteral("Loaded slot 3: Game.S03"));
        // An empty slot says so and changes nothing.
        QTest::keyClick(&w, Qt::Key_F4);
        QCOMPARE(w.picture_view()->notice(), QStringLiteral("Slot 4 is empty"));
        QCOMPARE(m.mem.wram[0x10], counter_at_save);
        QVERIFY(f.messages.empty());
        // The menu shows the slot in use and offers no load of an empty one.
        w.findChild<QMenu*>(QStringLiteral("menuControl"))->aboutToShow();
        QVERIFY(action(w, "actionQuickLoad3")->isEnabled());
        QVERIFY(!action(w, "actionQuickLoad4")->isEnabled());
        QVERIFY(action(w, "actionQuickSave4")->isChecked());  // F4 was the last slot named
        action(w, "actionQuickSave10")->trigger();
        QVERIFY(QFile::exists(QString::fromStdString(f.path("Game.S10"))));
        // The State Manager lists them with their descriptions.
        StateMetadata meta;
        QVERIFY(read_state_metadata(f.path("Game.S10"), meta));
        QCOMPARE(meta.description, std::string("Quick Save 10"));
    }

    // A homebrew NES game as a new player meets it: chosen in the Load
    // dialog, played from the keyboard, heard, saved and loaded again.
    void an_nes_game_loads_plays_sounds_and_keeps_its_state() {
        WindowFixture f;
        MainWindow& w = f.open();
        Machine& m = w.machine();
        const std::string game = f.copy_rom("nes/state_motion.nes", "Homebrew.nes");
        f.on_file_dialog = [&](FileRequest&) { return QString::fromStdString(game); };
        action(w, "actionLoad")->trigger();
        QVERIFY(f.messages.empty());
        QVERIFY(m.cart.nes);
        QCOMPARE(m.cart.image_path, game);
        for (int i = 0; i < 30; i++) run_frame(m);

        // The picture: the striped background and the sprite give more than
        // one colour.
        const uint8_t* picture = video_picture(m);
        bool varied = false;
        for (int i = 3; i < kPictureStride * kPictureHeight && !varied; i += 3) varied = picture[i] != picture[0];
        QVERIFY(varied);
        // The sound: the pulse tone is heard.
        const DspSamples sound = dsp_finished_samples(m);
        QVERIFY(sound.frames > 700);
        int peak = 0;
        for (uint32_t i = 0; i < sound.frames * 2; i++) peak = std::max(peak, std::abs(int(sound.samples[i])));
        QVERIFY(peak > 1000);

        // The keyboard reaches the NES controller (A is on the A key by
        // default): a strobe, then the first bit read from $4016 is button A.
        QTest::keyPress(&w, Qt::Key_A);
        QVERIFY(m.input.record[0] & kPadA);
        nes_write(m.nes, 0x4016, 1);
        nes_write(m.nes, 0x4016, 0);
        QCOMPARE(nes_read(m.nes, 0x4016) & 1, 1);
        QTest::keyRelease(&w, Qt::Key_A);
        nes_write(m.nes, 0x4016, 1);
        nes_write(m.nes, 0x4016, 0);
        QCOMPARE(nes_read(m.nes, 0x4016) & 1, 0);

        // A quick save and its load bring the game back to the saved frame.
        run_frame(m);
        const auto ram_at_save = m.nes.ram;
        QTest::keyClick(&w, Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(w.picture_view()->notice(), QStringLiteral("Saved slot 2: Homebrew.S02"));
        QVERIFY(QFile::exists(QString::fromStdString(f.path("Homebrew.S02"))));
        for (int i = 0; i < 5; i++) run_frame(m);
        QVERIFY(m.nes.ram != ram_at_save);
        QTest::keyClick(&w, Qt::Key_F2);
        QCOMPARE(w.picture_view()->notice(), QStringLiteral("Loaded slot 2: Homebrew.S02"));
        QVERIFY(m.nes.ram == ram_at_save);
        QVERIFY(f.messages.empty());
    }

    void holding_backspace_runs_the_game_backwards() {
        ClockedWindow c;
        MainWindow& w = *c.w;
        Machine& m = w.machine();
        QVERIFY(w.load_demo(c.f.path("demo-data")));
        QVERIFY(w.host().rewind_enabled());  // on by default
        for (int i = 0; i < 120; i++) c.next_frame();
        const size_t kept = w.host().rewind_history().steps_back();
        QVERIFY(kept >= 119);
        QTest::keyPress(&w, Qt::Key_Backspace);
        QVERIFY(w.rewinding());
        QCOMPARE(w.picture_view()->indicator(), QStringLiteral("Rewind"));
        // One step back per frame period: 60 steps a second of wall time.
        for (int i = 0; i < 30; i++) c.next_frame();
        QCOMPARE(w.host().rewind_history().steps_back(), kept - 30);
        QTest::keyRelease(&w, Qt::Key_Backspace);
        QVERIFY(!w.rewinding());
        const uint32_t frames = m.timing.frame_counter;
        c.next_frame();
        QVERIFY(m.timing.frame_counter != frames);  // playing forwards again
        // The key reaches no controller.
        QCOMPARE(m.input.record[0] & 0xFFFF0000u, 0u);

        // With the history turned off, the key only says so.
        w.settings().rewind = false;
        w.apply_play_settings();
        QTest::keyPress(&w, Qt::Key_Backspace);
        QVERIFY(!w.rewinding());
        QCOMPARE(w.picture_view()->notice(), QStringLiteral("Rewind is off (Options / Emulation Settings)"));
        QTest::keyRelease(&w, Qt::Key_Backspace);
    }

    void fast_forward_held_toggled_and_limited() {
        ClockedWindow c;
        MainWindow& w = *c.w;
        Machine& m = w.machine();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        c.next_frame();
        w.settings().fast_forward_speed = 2;
        // Turns every 1/120 s, half-way between the frames' due times.
        auto turns = [&](int n) {
            const uint32_t before = m.timing.frame_counter;
            c.now += 1.0 / 240.0;
            for (int i = 0; i < n; i++) {
                w.idle_turn();
                c.now += 1.0 / 120.0;
            }
            c.now -= 1.0 / 240.0;
            return m.timing.frame_counter - before;
        };
        QTest::keyPress(&w, Qt::Key_Tab);
        QVERIFY(w.fast_forward());
        QCOMPARE(w.picture_view()->indicator(), QStringLiteral("Fast Forward 2x"));
        // Twice as many frames in the same time: one every 1/120 s.
        QCOMPARE(turns(10), 10u);
        QTest::keyRelease(&w, Qt::Key_Tab);
        QVERIFY(!w.fast_forward());
        QCOMPARE(turns(10), 5u);  // normal speed again

        // Shift+Tab toggles, and the Control menu shows it.
        QTest::keyClick(&w, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(w.fast_forward());
        w.findChild<QMenu*>(QStringLiteral("menuControl"))->aboutToShow();
        QVERIFY(action(w, "actionFastForward")->isChecked());
        action(w, "actionFastForward")->trigger();
        QVERIFY(!w.fast_forward());

        // Unlimited: every turn runs a frame, whatever the clock.
        w.settings().fast_forward_speed = 0;
        QTest::keyPress(&w, Qt::Key_Tab);
        const uint32_t before = m.timing.frame_counter;
        for (int i = 0; i < 7; i++) w.idle_turn();
        QCOMPARE(m.timing.frame_counter - before, 7u);
        QTest::keyRelease(&w, Qt::Key_Tab);
    }

    void full_screen_keys_scaling_and_quitting() {
        WindowFixture f;
        MainWindow& w = f.open();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClick(&w, Qt::Key_F11);
        QVERIFY(w.full_screen());
        QVERIFY(w.menuBar()->isHidden());
        QTest::keyClick(&w, Qt::Key_F11);
        QVERIFY(!w.full_screen());
        QTest::keyClick(&w, Qt::Key_Return, Qt::AltModifier);
        QVERIFY(w.full_screen());
        QCOMPARE(w.input_devices().ports.record[0] & kPadStart, 0u);  // Alt+Enter is not Start
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.full_screen());
        QCOMPARE(action(w, "actionExit")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

        // A resizable window keeps the picture's shape: whole multiples by
        // default, or as large as fits.
        w.resize(1100, 1100);
        QTRY_COMPARE(w.picture_view()->width(), 1100);
        PictureRect r = w.picture_view()->picture_rect();
        QCOMPARE(r.width, 1024);  // four times the console's 256 pixels
        QCOMPARE(r.height, 952);
        action(w, "actionScaleFit")->trigger();
        r = w.picture_view()->picture_rect();
        QCOMPARE(r.width, 1100);
        QCOMPARE(w.settings().scale_mode, 1);
        QVERIFY(!w.picture_view()->smooth());
        action(w, "actionSmoothPicture")->trigger();
        QVERIFY(w.picture_view()->smooth());
        QVERIFY(w.settings().smooth_picture);
    }

    void the_window_comes_back_where_it_was() {
        WindowFixture f;
        {
            MainWindow& w = f.open();
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.setGeometry(40, 50, 600, 560);
            QTRY_COMPARE(w.settings().window_width, 600);
            QCOMPARE(w.settings().window_left, 40);
            QCOMPARE(w.settings().window_top, 50);
            QCOMPARE(w.settings().window_height, 560);
        }
        MainWindow& again = f.open();
        again.restore_window_place();
        QCOMPARE(again.geometry(), QRect(40, 50, 600, 560));
        // A place off every screen is not used: centred at the normal size.
        again.settings().window_left = 100000;
        again.restore_window_place();
        QVERIFY(again.geometry().x() < 10000);
    }

    void the_pointer_is_captured_for_the_console_mouse_and_escape_lets_it_go() {
        ClockedWindow c;
        MainWindow& w = *c.w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        c.next_frame();
        QVERIFY(!w.mouse_captured());  // a joypad game: the pointer is the user's
        action(w, "actionDevice1_Mouse")->trigger();
        c.next_frame();
        QVERIFY(w.mouse_captured());
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltrane [Running] - Escape releases the mouse"));

        // Motion counts from the middle of the picture area.
        PictureView* view = w.picture_view();
        const QPoint middle = view->rect().center();
        const QPointF moved(middle + QPoint(10, -4));
        QMouseEvent move(QEvent::MouseMove, moved, view->mapToGlobal(moved), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        c.next_frame();
        const uint32_t record = w.machine().input.record[0];
        QCOMPARE(int(record & 0xFF), 5);             // +10 at speed 0
        QCOMPARE(int((record >> 8) & 0xFF), 0x82);   // -4: up 2

        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.mouse_captured());
        QCOMPARE(w.windowTitle(), QStringLiteral("Veltrane [Running]"));
        c.next_frame();
        QVERIFY(!w.mouse_captured());  // stays free until the picture is clicked
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, middle);
        c.next_frame();
        QVERIFY(w.mouse_captured());
        // Pausing gives the pointer back.
        w.set_paused(true);
        c.next_frame();
        QVERIFY(!w.mouse_captured());
    }

    void a_controller_plays_the_demo_and_comes_and_goes() {
        ClockedWindow c(true);
        MainWindow& w = *c.w;
        QVERIFY(w.gamepads() && w.gamepads()->available());
        QVERIFY(w.load_demo(c.f.path("demo-data")));
        Machine& m = w.machine();
        auto pad = std::make_unique<VirtualController>();
        QVERIFY(pad->attached());
        w.idle_turn();
        QCOMPARE(w.gamepads()->count(), 1);
        QVERIFY(w.picture_view()->notice().startsWith(QStringLiteral("Controller connected: ")));

        // Start on the controller skips the title.
        for (int i = 0; i < 60; i++) c.next_frame();
        pad->set_button(ControllerButton::Start, true);
        c.next_frame();
        QVERIFY(m.input.record[0] & kPadStart);
        c.next_frame();
        pad->set_button(ControllerButton::Start, false);
        c.next_frame();
        QCOMPARE(m.input.record[0] & kPadStart, 0u);
        for (int i = 0; i < 80 && !parallax_shown(m); i++) c.next_frame();
        QVERIFY(parallax_shown(m));
        c.next_frame();

        // The D-pad steers the ship.
        const int start = ship_x(m);
        QVERIFY(start >= 0);
        pad->set_button(ControllerButton::DpadRight, true);
        for (int i = 0; i < 20; i++) c.next_frame();
        QVERIFY(m.input.record[0] & kPadRight);
        const int right = ship_x(m);
        QVERIFY2(right >= start + 20, qPrintable(QStringLiteral("%1 -> %2").arg(start).arg(right)));
        pad->set_button(ControllerButton::DpadRight, false);
        // So does the left stick.
        pad->set_left_stick(-32000, 0);
        for (int i = 0; i < 10; i++) c.next_frame();
        QVERIFY(m.input.record[0] & kPadLeft);
        QVERIFY(ship_x(m) < right);
        pad->set_left_stick(0, 0);
        c.next_frame();
        QCOMPARE(m.input.record[0] & (kPadLeft | kPadRight), 0u);

        // Unplugged while a button is held: the button is let go.
        pad->set_button(ControllerButton::East, true);
        c.next_frame();
        QVERIFY(m.input.record[0] & kPadA);
        pad.reset();
        c.next_frame();
        QCOMPARE(w.gamepads()->count(), 0);
        QCOMPARE(m.input.record[0] & kPadA, 0u);
        QVERIFY(w.picture_view()->notice().startsWith(QStringLiteral("Controller removed: ")));
    }

    void configure_input_captures_controller_buttons() {
        ClockedWindow c(true);
        MainWindow& w = *c.w;
        VirtualController pad;
        w.idle_turn();
        bool captured = false;
        QTimer::singleShot(0, &w, [&] {
            auto* d = qobject_cast<InputDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            QTest::mouseClick(d->pad_field(int(PadButton::A)), Qt::LeftButton);
            QVERIFY(d->capturing());
            pad.set_button(ControllerButton::North, true);
            // The window's run loop reads the controller while the dialog is open.
            QTRY_VERIFY(!d->capturing());
            captured = true;
            QCOMPARE(d->pad_field(int(PadButton::A))->text(), QStringLiteral("Y (top)"));
            d->findChild<QPushButton*>(QStringLiteral("buttonOk"))->click();
        });
        action(w, "actionConfigureInput")->trigger();
        QVERIFY(captured);
        QCOMPARE(int(w.settings().pads[0].buttons[size_t(PadButton::A)]), int(ControllerButton::North));
        pad.set_button(ControllerButton::North, false);
        // Kept with the settings.
        c.f.close_window();
        MainWindow& again = c.f.open();
        QCOMPARE(int(again.settings().pads[0].buttons[size_t(PadButton::A)]), int(ControllerButton::North));
    }

    void a_start_file_that_cannot_be_loaded_leaves_the_demo_running() {
        WindowFixture f;
        MainWindow& w = f.open();
        bool demo_under_the_message = false;
        f.on_message = [&](const BoxRequest&) { demo_under_the_message = w.machine().timing.gamepak_loaded; };
        w.open_start_file(f.path("missing.sfc"), f.path("demo-data"));
        f.on_message = nullptr;
        QVERIFY(demo_under_the_message);
        QCOMPARE(f.messages.size(), size_t(1));
        QVERIFY(f.messages[0].text.contains(QString::fromStdString(f.path("missing.sfc"))));
        QVERIFY(w.machine().timing.gamepak_loaded);
        QCOMPARE(w.machine().cart.image_path, f.path("demo-data/veltrane-demo.sfc"));
        w.idle_turn();
        QVERIFY(w.machine().timing.frame_counter > 0);

        // A start file that loads is all that loads: no demo first.
        WindowFixture g;
        MainWindow& direct = g.open();
        direct.open_start_file(test_rom("smoke.sfc"), g.path("demo-data"));
        QCOMPARE(direct.machine().cart.image_path, test_rom("smoke.sfc"));
        QVERIFY(!std::filesystem::exists(g.path("demo-data")));
        QVERIFY(g.messages.empty());

        // "Load Demo" brings the demo back after another Gamepak.
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        action(w, "actionLoadDemo")->trigger();
        QCOMPARE(w.machine().cart.image_path, f.path("demo-data/veltrane-demo.sfc"));
    }

    void load_errors_name_the_file_and_the_reason() {
        WindowFixture f;
        MainWindow& w = f.open();
        const struct {
            const char* name;
            QByteArray content;
            const char* reason;
        } cases[] = {
            {"tiny.sfc", QByteArray(100, 'x'), ": too small to be a Gamepak (100 bytes)"},
            {"noise.sfc", QByteArray(65536, '\x5A'), ": no valid Gamepak header found"},
            {"game.nes", QByteArray("NES\x1A", 4) + QByteArray(40000, '\0'), ": its header gives no PRG ROM"},
            {"mmc5.nes", QByteArray("NES\x1A\x02\x01\x50", 7) + QByteArray(40000, '\0'),
             ": mapper 5 is not supported"},
        };
        for (const auto& c : cases) {
            QFile file(QString::fromStdString(f.path(c.name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(c.content);
            file.close();
            f.messages.clear();
            QVERIFY(!w.load_gamepak_file(f.path(c.name)));
            QCOMPARE(f.messages.size(), size_t(1));
            QVERIFY2(f.messages[0].text.endsWith(QString::fromStdString(f.path(c.name)) + QLatin1String(c.reason)),
                     qPrintable(f.messages[0].text));
        }
        // A folder is not a file that can be read.
        f.messages.clear();
        QVERIFY(!w.load_gamepak_file(f.path("")));
        QVERIFY(f.messages[0].text.endsWith(QStringLiteral(": Is a directory")));
    }

    void saves_confirm_over_the_picture() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(f.copy_rom("cart_sram.sfc", "Saver.sfc")));
        action(w, "actionSavePng")->trigger();
        QCOMPARE(w.picture_view()->notice(), QStringLiteral("Saved picture Saver.png"));
        w.update_gamepak_menu();
        action(w, "actionSaveBackupRam")->trigger();
        QCOMPARE(w.picture_view()->notice(), QStringLiteral("Saved BackupRAM Saver.srm"));
        f.on_file_dialog = [](FileRequest& r) { return r.file_name; };
        action(w, "actionSaveRts")->trigger();
        QCOMPARE(w.picture_view()->notice(), QStringLiteral("Saved real-time save Saver.rts"));
        w.open_file(f.path("Saver.rts"));
        QCOMPARE(w.picture_view()->notice(), QStringLiteral("Loaded state Saver.rts"));
        QVERIFY(f.messages.empty());
    }

    void the_properties_window_opens_on_screen() {
        WindowFixture f;
        MainWindow& w = f.open();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        const QRect screen = w.screen()->availableGeometry();
        // The main window against the screen's right edge.
        w.move(screen.right() - w.frameGeometry().width() + 1, screen.top());
        action(w, "actionProperties")->trigger();
        auto* properties = w.findChild<PropertiesWindow*>();
        QVERIFY(properties && properties->isVisible());
        QVERIFY2(screen.contains(properties->frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(properties->frameGeometry().x())
                                .arg(properties->frameGeometry().y())
                                .arg(properties->frameGeometry().width())
                                .arg(properties->frameGeometry().height())));
    }

    void audio_settings_apply_live_and_cancel_goes_back() {
        WindowFixture f;
        f.adjust_options = [](MainWindowOptions& o) {
            o.open_sound = true;
            o.audio_driver = QStringLiteral("dummy");
        };
        MainWindow& w = f.open();
        QVERIFY(w.audio());
        QVERIFY(f.messages.empty());
        int volume_while_open = -1;
        QTimer::singleShot(0, &w, [&] {
            auto* d = qobject_cast<AudioSettingsDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            d->volume()->setValue(30);
            d->mute()->setChecked(true);
            volume_while_open = w.settings().volume;
            QVERIFY(w.settings().mute);
            d->reject();
        });
        action(w, "actionAudioSettings")->trigger();
        QCOMPARE(volume_while_open, 30);
        QCOMPARE(w.settings().volume, 100);  // Cancel: back to what it was
        QVERIFY(!w.settings().mute);

        QTimer::singleShot(0, &w, [&] {
            auto* d = qobject_cast<AudioSettingsDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            d->volume()->setValue(55);
            d->accept();
        });
        action(w, "actionAudioSettings")->trigger();
        QCOMPARE(w.settings().volume, 55);
    }

    void emulation_settings_store_their_choices() {
        Settings s;
        EmulationSettingsDialog d(s);
        QCOMPARE(d.windowTitle(), QStringLiteral("Emulation Settings"));
        QVERIFY(d.pause_when_inactive()->isChecked());
        QVERIFY(d.rewind()->isChecked());
        QCOMPARE(d.fast_forward_speed()->currentText(), QStringLiteral("Unlimited"));
        d.pause_when_inactive()->setChecked(false);
        d.rewind()->setChecked(false);
        d.fast_forward_speed()->setCurrentIndex(1);
        d.store(s);
        QVERIFY(!s.pause_when_inactive);
        QVERIFY(!s.rewind);
        QCOMPARE(s.fast_forward_speed, 4);
    }

    void help_and_version_print_and_end_without_a_window() {
        for (const char* option : {"--help", "--version"}) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove(QStringLiteral("DISPLAY"));
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(VELTRANE_DESKTOP_PATH), {QString::fromLatin1(option)});
            QVERIFY(p.waitForFinished(20000));
            QCOMPARE(p.exitCode(), 0);
            const QString out = QString::fromUtf8(p.readAllStandardOutput());
            QVERIFY(out.startsWith(option == std::string("--help") ? QStringLiteral("usage: veltrane [FILE]")
                                                                  : QStringLiteral("Veltrane ")));
        }
    }
};

static RegisterSuite<PlayTest> register_play_test;

}  // namespace vt::gui::test

#include "play_test.moc"
