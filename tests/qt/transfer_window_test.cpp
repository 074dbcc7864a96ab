// "Transfer Gamepak", "Send to Disk" and "Insert Next Volume": planning
// texts, disk and parallel transfers through test ports and folders,
// cancelling and closing during a transfer, and failures.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "frontend/recording_port.h"
#include "qt/send_to_disk_dialog.h"
#include "qt/transfer_window.h"
#include "tests/qt/qt_test_suites.h"
#include "tests/qt/window_fixture.h"

namespace vt::gui::test {

namespace {

namespace fs = std::filesystem;

// A copier port that stops the worker in the middle of the second block
// until the test opens the gate.
class GatedPort : public ParallelPort {
public:
    explicit GatedPort(vt::test::RecordingPort& port, size_t stop_after) : port_(port), stop_after_(stop_after) {}
    uint8_t read_status() override { return port_.read_status(); }
    void write_data(uint8_t value) override {
        if (port_.data.size() == stop_after_) {
            reached = true;
            std::unique_lock<std::mutex> lock(mutex);
            opened.wait_for(lock, std::chrono::seconds(60), [this] { return open; });
        }
        port_.write_data(value);
    }
    uint8_t read_control() override { return port_.read_control(); }
    void write_control(uint8_t value) override { port_.write_control(value); }

    void open_gate() {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
        opened.notify_all();
    }

    std::atomic<bool> reached{false};
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;

private:
    vt::test::RecordingPort& port_;
    size_t stop_after_;
};

// Bytes of one block on the wire: the $C010 write, the page command, the
// block command, 8 KiB and its check byte.
constexpr size_t kBlockBytes = 11 + 9 + 9 + 0x2000 + 1;

DiskSpace lots(const std::string&) { return {true, 1ull << 32, 1ull << 32, {}}; }

}  // namespace

class TransferWindowTest : public QObject {
    Q_OBJECT
private slots:
    void planning_fills_the_window() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("cart_sram.sfc")));
        TransferWindow t(w.machine(), w.settings());
        QCOMPARE(t.windowTitle(), QStringLiteral("Transfer Gamepak"));
        QCOMPARE(t.mapping_label()->text(), QStringLiteral("Mode 20"));
        QCOMPARE(t.size_label()->text(), QStringLiteral("4 blocks"));
        QCOMPARE(t.type_label()->text(), QStringLiteral("ROM + BackupRAM"));
        QCOMPARE(t.device_label()->text(), QStringLiteral("Super Wildcard (LPT1:)"));
        QCOMPARE(t.status_label()->text(), QStringLiteral("Ready"));
        QCOMPARE(t.run_button()->text(), QStringLiteral("Start"));
        QVERIFY(t.run_button()->isEnabled());
        QCOMPARE(t.cancel_button()->text(), QStringLiteral("Cancel"));
    }

    void wildcard_disk_transfer_writes_the_volume_and_offers_run() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("cart_sram.sfc")));
        w.settings().transfer_port = kDiskPort;
        w.settings().transfer_path = f.dir.path().toStdString();
        TransferWindow t(w.machine(), w.settings());
        QStringList titles, offered;
        t.set_disk_prompt([&](SendToDiskDialog& d) {
            titles << d.windowTitle();
            offered << d.file_name();
            d.name_field()->setText(QStringLiteral("TEST"));
            return true;
        });
        t.set_disk_space(lots);
        t.show();
        t.run_clicked();
        QTRY_COMPARE(t.run_button()->text(), QStringLiteral("Run"));
        QCOMPARE(titles, QStringList{QStringLiteral("Send to Disk")});
        QCOMPARE(offered, QStringList{QStringLiteral("cart_sra")});  // from the image's name
        QCOMPARE(t.status_label()->text(), QStringLiteral("Ready"));
        QCOMPARE(t.progress_bar()->value(), 4);
        QCOMPARE(t.windowTitle(), QStringLiteral("Transfer Gamepak (100% Completed)"));
        QCOMPARE(QFile(f.dir.filePath(QStringLiteral("TEST.SWC"))).size(), 512 + 4 * 8192);
        QCOMPARE(QFile(f.dir.filePath(QStringLiteral("TEST.BBD"))).size(), 512 + 32768);
        t.run_clicked();  // a disk transfer has nothing to start: the window closes
        QCOMPARE(t.result(), int(QDialog::Accepted));
    }

    void game_doctor_volumes_and_next_disks() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("cart_sram.sfc")));
        w.settings().transfer_device = 1;
        w.settings().transfer_port = 0;  // the Game Doctor writes to disk all the same
        const std::string folder = f.dir.path().toStdString() + "/floppy";
        fs::create_directory(folder);
        // A "floppy" with room for the 4-block file but not the battery RAM
        // beside it; a new disk moves its files away.
        int disks = 0;
        auto used = [&] {
            uint64_t n = 0;
            for (const auto& e : fs::directory_iterator(folder))
                if (e.is_regular_file()) n += e.file_size();
            return n;
        };
        const uint64_t gd_capacity = 4 * 8192 + 512 + 100;
        TransferWindow t(w.machine(), w.settings());
        QCOMPARE(t.device_label()->text(), QStringLiteral("Game Doctor SF III (DISK:)"));
        t.set_random_number([] { return 7u; });
        t.set_disk_space([&](const std::string&) {
            const uint64_t u = used();
            return DiskSpace{true, gd_capacity > u ? gd_capacity - u : 0, gd_capacity, {}};
        });
        QStringList titles, offered, items;
        bool read_only = false;
        t.set_disk_prompt([&](SendToDiskDialog& d) {
            titles << d.windowTitle();
            if (titles.size() == 1) {
                offered << d.file_name();
                for (int i = 0; i < d.split_list()->count(); i++) items << d.split_list()->itemText(i);
                d.name_field()->setText(QString::fromStdString(folder + "/SF1007"));
            } else {
                read_only = d.name_field()->isReadOnly();
                const fs::path disk = fs::path(folder) / ("disk" + std::to_string(++disks));
                fs::create_directory(disk);
                for (const auto& e : fs::directory_iterator(folder))
                    if (e.is_regular_file()) fs::rename(e.path(), disk / e.path().filename());
            }
            return true;
        });
        t.run_clicked();
        QTRY_COMPARE(t.run_button()->text(), QStringLiteral("Run"));
        QCOMPARE(titles, (QStringList{QStringLiteral("Send to Disk"), QStringLiteral("Insert Next Volume")}));
        QCOMPARE(offered, QStringList{QStringLiteral("SF1007")});
        QCOMPARE(items, QStringList{QStringLiteral("3.5\" Floppy - 1440K (HD)")});
        QVERIFY(read_only);
        QVERIFY(fs::exists(folder + "/disk1/SF1007"));
        QVERIFY(fs::exists(folder + "/SF1007.B01"));
    }

    void parallel_transfer_then_run_on_the_copier() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        w.settings().transfer_port = 1;
        TransferWindow t(w.machine(), w.settings());
        QCOMPARE(t.device_label()->text(), QStringLiteral("Super Wildcard (LPT2:)"));
        vt::test::RecordingPort port;
        std::vector<int> opened;
        t.set_port_opener([&](int n, std::string&) {
            opened.push_back(n);
            return std::make_unique<vt::test::BorrowedPort>(port);
        });
        t.run_clicked();
        QCOMPARE(t.status_label()->text(), QStringLiteral("Sending..."));
        QVERIFY(!t.run_button()->isEnabled());
        QTRY_COMPARE(t.run_button()->text(), QStringLiteral("Run"));
        QVERIFY(t.run_button()->isEnabled());
        // Four blocks, the closing commands and the header with its count.
        const size_t header_at = port.data.size() - (9 + 512 + 1);
        QCOMPARE(int(port.data[header_at + 9]), 4);
        const size_t before_run = port.data.size();
        t.run_clicked();
        QCOMPARE(opened, (std::vector<int>{1, 1}));
        const std::vector<uint8_t> run(port.data.begin() + long(before_run), port.data.end());
        // Command 6 with the mode byte ($2C: LoROM, no battery RAM) and 1.
        QCOMPARE(run, (std::vector<uint8_t>{0xD5, 0xAA, 0x96, 0x06, 0x01, 0x2C, 0x00, 0x00, 0x81 ^ 0x06 ^ 0x01 ^ 0x2C}));
        QCOMPARE(t.result(), int(QDialog::Accepted));
    }

    void cancel_stops_within_a_block_and_keeps_the_window() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        TransferWindow t(w.machine(), w.settings());
        vt::test::RecordingPort port;
        GatedPort* gate = nullptr;
        t.set_port_opener([&](int, std::string&) {
            auto p = std::make_unique<GatedPort>(port, kBlockBytes + 100);  // inside the second block
            gate = p.get();
            return p;
        });
        t.show();
        t.run_clicked();
        QTRY_VERIFY(gate && gate->reached);
        t.cancel_button()->click();
        QCOMPARE(t.status_label()->text(), QStringLiteral("Canceling..."));
        QVERIFY(t.transfer_running());
        gate->open_gate();
        QTRY_VERIFY(!t.transfer_running());
        QVERIFY(t.isVisible());
        QCOMPARE(t.status_label()->text(), QStringLiteral("Ready"));
        QCOMPARE(t.run_button()->text(), QStringLiteral("Start"));
        QVERIFY(t.run_button()->isEnabled());
        QCOMPARE(t.windowTitle(), QStringLiteral("Transfer Gamepak"));
        // The header sent last counts the two blocks that went out.
        const size_t header_at = port.data.size() - (9 + 512 + 1);
        QCOMPARE(int(port.data[header_at + 9]), 2);
    }

    void closing_during_a_transfer_cancels_it_first() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        TransferWindow t(w.machine(), w.settings());
        vt::test::RecordingPort port;
        GatedPort* gate = nullptr;
        t.set_port_opener([&](int, std::string&) {
            auto p = std::make_unique<GatedPort>(port, 100);
            gate = p.get();
            return p;
        });
        t.show();
        t.run_clicked();
        QTRY_VERIFY(gate && gate->reached);
        t.close();
        QVERIFY(t.isVisible());
        QCOMPARE(t.status_label()->text(), QStringLiteral("Canceling..."));
        gate->open_gate();
        QTRY_VERIFY(!t.isVisible());
        QCOMPARE(t.result(), int(QDialog::Rejected));
    }

    void failures_show_a_message_and_return_to_ready() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        w.settings().transfer_port = kDiskPort;
        w.settings().transfer_path = f.dir.path().toStdString() + "/missing";
        std::vector<BoxRequest> boxes;
        {
            TransferWindow t(w.machine(), w.settings());
            t.set_message_sink([&](QWidget*, const BoxRequest& r) {
                boxes.push_back(r);
                return BoxAnswer::Ok;
            });
            t.set_disk_prompt([](SendToDiskDialog&) { return true; });
            t.run_clicked();
            QTRY_COMPARE(int(boxes.size()), 1);
            QCOMPARE(boxes[0].caption, QStringLiteral("Transfer Gamepak"));
            QCOMPARE(boxes[0].text, QStringLiteral("File could not be created on volume  "));
            QCOMPARE(boxes[0].icon, BoxIcon::Error);
            QCOMPARE(t.status_label()->text(), QStringLiteral("Ready"));
            QVERIFY(t.run_button()->isEnabled());
            QCOMPARE(t.run_button()->text(), QStringLiteral("Start"));

            // Cancelling "Send to Disk" goes back to Ready without a transfer.
            t.set_disk_prompt([](SendToDiskDialog&) { return false; });
            t.run_clicked();
            QCOMPARE(t.status_label()->text(), QStringLiteral("Ready"));
            QVERIFY(!t.transfer_running());
        }
        w.settings().transfer_port = 3;
        TransferWindow t(w.machine(), w.settings());
        t.set_message_sink([&](QWidget*, const BoxRequest& r) {
            boxes.push_back(r);
            return BoxAnswer::Ok;
        });
        t.set_port_opener([](int, std::string& error) {
            error = "LPT4: (/dev/parport3) could not be opened: No such file or directory";
            return std::unique_ptr<ParallelPort>();
        });
        t.run_clicked();
        QTRY_COMPARE(int(boxes.size()), 2);
        QCOMPARE(boxes[1].text, QStringLiteral("LPT4: (/dev/parport3) could not be opened: No such file or directory"));
        QCOMPARE(t.status_label()->text(), QStringLiteral("Ready"));
        QVERIFY(t.run_button()->isEnabled());
    }

    void send_to_disk_dialog_rules() {
        SendToDiskDialog d(CopierDevice::SuperWildcard, QString());
        QCOMPARE(d.windowTitle(), QStringLiteral("Send to Disk"));
        QCOMPARE(d.split_list()->count(), 7);
        QCOMPARE(d.split_list()->itemText(0), QStringLiteral("Auto Detect"));
        QCOMPARE(d.split_list()->itemText(1), QStringLiteral("3.5\" Floppy - 720K (2D)"));
        QCOMPARE(d.split_list()->itemText(6), QStringLiteral("3.5\" Floppy - 3200K (ED)"));
        QCOMPARE(d.split_blocks(), 0u);
        d.split_list()->setCurrentIndex(3);
        QCOMPARE(d.split_blocks(), 176u);
        QCOMPARE(d.ok_button()->text(), QStringLiteral("Cancel"));
        QTest::keyClicks(d.name_field(), QStringLiteral("A B.C*D\"<E>?|F"));
        QCOMPARE(d.file_name(), QStringLiteral("ABCDEF"));
        QCOMPARE(d.ok_button()->text(), QStringLiteral("OK"));
        d.name_field()->clear();
        QCOMPARE(d.ok_button()->text(), QStringLiteral("Cancel"));
        d.show();
        d.ok_button()->click();
        QCOMPARE(d.result(), int(QDialog::Rejected));

        SendToDiskDialog next(CopierDevice::SuperWildcard, QStringLiteral("GAME"));
        next.show_as_next_volume(96);
        QCOMPARE(next.windowTitle(), QStringLiteral("Insert Next Volume"));
        QVERIFY(next.name_field()->isReadOnly());
        QCOMPARE(next.split_list()->currentIndex(), 2);
        QVERIFY(next.split_list()->isEnabled());
        next.show();
        next.ok_button()->click();
        QCOMPARE(next.result(), int(QDialog::Accepted));
    }

    void tools_menu_opens_the_window_holding_the_machine() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        w.update_tools_menu();
        QString title;
        uint32_t holds = 0;
        QTimer::singleShot(0, [&] {
            auto* t = w.findChild<TransferWindow*>();
            if (!t) return;
            title = t->windowTitle();
            holds = w.host().hold_count();
            t->cancel_button()->click();  // idle: closes
        });
        w.findChild<QAction*>(QStringLiteral("actionTransferGamepak"))->trigger();
        QCOMPARE(title, QStringLiteral("Transfer Gamepak"));
        QVERIFY(holds > 0);
        QCOMPARE(w.host().hold_count(), 0u);
    }
};

static RegisterSuite<TransferWindowTest> register_transfer_window_test;

}  // namespace vt::gui::test

#include "transfer_window_test.moc"
