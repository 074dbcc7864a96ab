// Nothing lost on the way out: SIGTERM, SIGINT and SIGHUP close the program
// as Exit does (settings and battery RAM written, nothing asked), also while
// the no-sound message is open; the program's log stays out of the folder it
// was started from; a loaded state's battery RAM stays out of the game's file.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <csignal>
#include <filesystem>

#include "core/machine.h"
#include "frontend/audio_ring.h"
#include "qt/properties_window.h"
#include "qt/sdl_audio.h"
#include "qt/state_manager.h"
#include "qt/stop_signals.h"
#include "tests/qt/qt_test_suites.h"
#include "tests/qt/window_fixture.h"

namespace vt::gui::test {

namespace {

constexpr int kStartSeconds = 30;  // generous: the machine is shared

// Whether the process catches `signal` (its handler is installed).
bool catches(qint64 pid, int signal) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith("SigCgt:")) continue;
        const quint64 mask = line.mid(7).trimmed().toULongLong(nullptr, 16);
        return mask & (quint64(1) << (signal - 1));
    }
    return false;
}

// The desktop program run as a user would, in a folder of its own, its
// settings and data folders inside it.
struct DesktopRun {
    QTemporaryDir dir;
    QProcess process;

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString settings_file() const { return path("config/Veltrane/Veltrane.conf"); }

    void start(const QStringList& args, const char* audio_driver) {
        QDir().mkpath(path("cwd"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QString::fromLatin1(audio_driver));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path("data"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(path("cwd"));
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(VELTRANE_DESKTOP_PATH), args);
        process.waitForStarted(kStartSeconds * 1000);
    }

    bool wait_until(const std::function<bool()>& ready) {
        for (int waited = 0; waited < kStartSeconds * 1000; waited += 50) {
            if (ready()) return true;
            if (process.state() != QProcess::Running) return false;
            QTest::qWait(50);
        }
        return false;
    }
    bool handlers_installed() {
        const qint64 pid = process.processId();
        return wait_until([pid] { return catches(pid, SIGTERM) && catches(pid, SIGINT) && catches(pid, SIGHUP); });
    }
    // The exit status after `signal`, -1 when it did not end normally.
    int stop_with(int signal) {
        ::kill(pid_t(process.processId()), signal);
        if (!process.waitForFinished(kStartSeconds * 1000)) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
};

void restore_default_handlers() {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) std::signal(signal, SIG_DFL);
}

}  // namespace

class ShutdownTest : public QObject {
    Q_OBJECT
private slots:
    void sigterm_closes_the_running_program_with_its_settings_and_battery_ram() {
        DesktopRun run;
        QVERIFY(run.dir.isValid());
        const QString rom = run.path("Game.sfc");
        QVERIFY(QFile::copy(QString::fromStdString(test_rom("cart_sram.sfc")), rom));
        run.start({rom}, "dummy");
        QVERIFY(run.handlers_installed());
        // The cartridge counts its boot in battery RAM; the count reaches
        // the file while the game runs, before anything closes.
        const QString srm = run.path("Game.srm");
        QVERIFY(run.wait_until([&] { return QFile::exists(srm); }));
        QTest::qWait(500);

        QCOMPARE(run.stop_with(SIGTERM), 128 + SIGTERM);
        QVERIFY(QFile::exists(run.settings_file()));
        QSettings stored(run.settings_file(), QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("File0")).toString(), rom);
        QFile battery(srm);
        QVERIFY(battery.open(QIODevice::ReadOnly));
        QCOMPARE(int(uint8_t(battery.read(1).at(0))), 1);
        // The log went to the data folder, not the folder it started in.
        QVERIFY(QFile::exists(run.path("data/veltrane/trace.log")));
        QVERIFY(QDir(run.path("cwd")).isEmpty());
    }

    void every_stop_signal_closes_properly_even_while_the_no_sound_message_is_open() {
        for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
            DesktopRun run;
            run.start({}, "no-such-driver");  // the message box comes before the window runs
            QVERIFY(run.handlers_installed());
            QTest::qWait(300);
            QCOMPARE(run.stop_with(signal), 128 + signal);
            QVERIFY2(QFile::exists(run.settings_file()), qPrintable(QString::number(signal)));
        }
    }

    void a_stop_signal_asks_nothing_when_battery_ram_cannot_be_written() {
        StopSignals::install();
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(f.copy_rom("cart_sram.sfc", "Saver.sfc")));
        w.host().run_frame();
        w.settings().backup_path = f.path("no-such-folder");
        w.settings().brightness = 77;

        ::raise(SIGTERM);
        QTRY_COMPARE(f.exit_status, 128 + SIGTERM);
        restore_default_handlers();
        QVERIFY(f.messages.empty());  // no box: reported on stderr instead
        QSettings stored(f.settings_file(), QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("Brightness")).toInt(), 77);
    }

    void a_stop_signal_writes_the_battery_ram_the_game_changed() {
        StopSignals::install();
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(f.copy_rom("cart_sram.sfc", "Saver.sfc")));
        w.host().run_frame();
        QFile::remove(QString::fromStdString(f.path("Saver.srm")));
        w.machine().cart.sram[0] = 9;  // a change the periodic write has not seen yet

        ::raise(SIGHUP);
        QTRY_COMPARE(f.exit_status, 128 + SIGHUP);
        restore_default_handlers();
        QFile battery(QString::fromStdString(f.path("Saver.srm")));
        QVERIFY(battery.open(QIODevice::ReadOnly));
        QCOMPARE(int(uint8_t(battery.read(1).at(0))), 9);
    }

    void the_stop_handlers_stay_ours_after_the_sound_device_opens() {
        StopSignals::install();
        StopSignals::reinstall_handlers();
        AudioRing ring(1024);
        SdlAudio audio(ring);
        QVERIFY(audio.open());  // the dummy driver of the test run
        QVERIFY(StopSignals::handlers_in_place());
        audio.close();
        restore_default_handlers();
    }

    void the_log_is_kept_in_the_data_folder_and_a_file_where_the_program_started_is_left_alone() {
        WindowFixture f;
        const QByteArray old_data = qgetenv("XDG_DATA_HOME");
        const QString old_cwd = QDir::currentPath();
        qputenv("XDG_DATA_HOME", f.path("data").c_str());
        QDir().mkpath(QString::fromStdString(f.path("cwd")));
        QDir::setCurrent(QString::fromStdString(f.path("cwd")));
        {
            QFile mine(QStringLiteral("trace.log"));
            QVERIFY(mine.open(QIODevice::WriteOnly));
            mine.write("a file of the user's");
        }
        QVERIFY(make_program_data_folder());  // as the program does at start
        {
            MainWindowOptions o;
            QCOMPARE(o.trace_log_path, QString::fromStdString(f.path("data/veltrane/trace.log")));
            o.settings_file = f.settings_file();
            o.open_sound = false;
            o.program_folder = f.dir.path();
            o.messages = [](QWidget*, const BoxRequest&) { return BoxAnswer::Ok; };
            MainWindow w(o);
            QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        }
        QFile mine(QStringLiteral("trace.log"));
        QVERIFY(mine.open(QIODevice::ReadOnly));
        QCOMPARE(mine.readAll(), QByteArray("a file of the user's"));
        QFile log(QString::fromStdString(f.path("data/veltrane/trace.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("ROM Information"));
        QDir::setCurrent(old_cwd);
        if (old_data.isEmpty()) qunsetenv("XDG_DATA_HOME");
        else qputenv("XDG_DATA_HOME", old_data);
    }

    void a_loaded_states_battery_ram_is_not_written_over_the_games_file_at_exit() {
        WindowFixture f;
        MainWindow& w = f.open();
        w.settings().sram_transfer = true;  // states carry battery RAM
        QVERIFY(w.load_gamepak_file(f.copy_rom("cart_sram.sfc", "Game.sfc")));
        Machine& m = w.machine();
        w.host().run_frame();
        QVERIFY(w.host().save_battery_ram().ok);
        const QByteArray on_disk = [&] {
            QFile srm(QString::fromStdString(f.path("Game.srm")));
            return srm.open(QIODevice::ReadOnly) ? srm.readAll() : QByteArray();
        }();
        QVERIFY(!on_disk.isEmpty());

        m.cart.sram[0] = 0x42;  // the battery RAM of another day
        {
            StateManager manager(w.host(), w.settings());
            manager.set_properties_prompt([](QString&, QString&) { return true; });
            manager.select_slot(0);
            manager.save_selected();
        }
        m.cart.sram[0] = uint8_t(on_disk.at(0));
        w.open_file(f.path("Game.S00"));  // a state file, told by its content
        QCOMPARE(int(m.cart.sram[0]), 0x42);
        QVERIFY(w.close());

        QFile srm(QString::fromStdString(f.path("Game.srm")));
        QVERIFY(srm.open(QIODevice::ReadOnly));
        QCOMPARE(srm.readAll(), on_disk);
    }

    void a_file_that_cannot_be_loaded_leaves_the_previous_game_running() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        w.set_application_active(true);
        w.idle_turn();
        const uint32_t frames = w.machine().timing.frame_counter;
        QVERIFY(frames > 0);
        QFile bad(QString::fromStdString(f.path("bad.sfc")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(1000, 'x'));
        bad.close();
        QVERIFY(!w.load_gamepak_file(f.path("bad.sfc")));
        QCOMPARE(f.messages.size(), size_t(1));
        QVERIFY(f.messages[0].text.endsWith(QString::fromStdString(f.path("bad.sfc")) +
                                            QStringLiteral(": too small to be a Gamepak (1000 bytes)")));
        QCOMPARE(w.machine().cart.image_path, test_rom("smoke.sfc"));
        w.set_application_active(false);
        w.set_application_active(true);
        w.idle_turn();
        QCOMPARE(w.machine().timing.frame_counter, frames + 1);
    }

    void the_header_page_belongs_to_the_properties_window_without_a_copier_header() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));  // no copier header
        QPointer<QTableWidget> grid;
        {
            PropertiesWindow p(w.machine(), w.settings());
            p.refresh();
            grid = p.findChild<QTableWidget*>();
            QVERIFY(grid);  // part of the window, though not shown as a tab
        }
        QVERIFY(grid.isNull());  // and gone with it
    }
};

static RegisterSuite<ShutdownTest> register_shutdown_test;

}  // namespace vt::gui::test

#include "shutdown_test.moc"
