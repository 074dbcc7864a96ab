// The Super Wildcard's parallel protocol against a recording port: the byte
// stream of a whole transfer, cancellation, a copier that does not answer
// and a port that cannot be opened.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

#include "frontend/copier_worker.h"
#include "frontend/parallel_port_linux.h"
#include "frontend/recording_port.h"
#include "frontend/swc_protocol.h"

namespace vt {
namespace {

using test::RecordingPort;

// The expected stream, written out from the protocol's description.
struct Stream {
    std::vector<uint8_t> bytes;

    void command(uint8_t code, uint16_t address, uint16_t length) {
        const uint8_t body[] = {code, uint8_t(address & 0xFF), uint8_t(address >> 8), uint8_t(length & 0xFF),
                                uint8_t(length >> 8)};
        bytes.insert(bytes.end(), {0xD5, 0xAA, 0x96});
        uint8_t check = 0x81;
        for (uint8_t b : body) {
            bytes.push_back(b);
            check = uint8_t(check ^ b);
        }
        bytes.push_back(check);
    }
    void write_byte(uint16_t address, uint8_t value) {
        command(0x00, address, 0x0001);
        bytes.push_back(value);
        bytes.push_back(uint8_t(0x81 ^ value));
    }
    void write_block(uint16_t address, const std::vector<uint8_t>& data) {
        command(0x00, address, uint16_t(data.size()));
        uint8_t check = 0x81;
        for (uint8_t b : data) check = uint8_t(check ^ b);
        bytes.insert(bytes.end(), data.begin(), data.end());
        bytes.push_back(check);
    }
};

std::vector<uint8_t> block_data(uint32_t n) {
    std::vector<uint8_t> b(0x2000);
    for (size_t i = 0; i < b.size(); i++) b[i] = uint8_t(i * 7 + n * 31 + (i >> 8));
    return b;
}

// A LoROM job of `blocks` blocks; battery RAM code 3 (8 KiB) when asked.
CopierJob small_job(uint32_t blocks, bool battery) {
    CopierJob job;
    job.block_count = blocks;
    for (uint32_t n = 0; n < blocks; n++) {
        const std::vector<uint8_t> b = block_data(n);
        job.rom.insert(job.rom.end(), b.begin(), b.end());
    }
    job.header[2] = battery ? 0x04 : 0x2C;
    job.header[8] = 0xAA;
    job.header[9] = 0xBB;
    job.header[10] = 0x04;
    job.send_battery = battery;
    for (size_t i = 0; i < job.battery.size(); i++) job.battery[i] = uint8_t(i ^ (i >> 9));
    return job;
}

std::vector<uint8_t> header_bytes(uint32_t count, uint8_t mode) {
    std::vector<uint8_t> h(512, 0);
    h[0] = uint8_t(count);
    h[1] = uint8_t(count >> 8);
    h[2] = mode;
    h[8] = 0xAA;
    h[9] = 0xBB;
    h[10] = 0x04;
    return h;
}

TEST(SwcProtocol, TransferStreamMatchesTheProtocol) {
    for (bool battery : {false, true}) {
        SCOPED_TRACE(battery ? "with battery RAM" : "ROM only");
        RecordingPort port;
        SwcLink link(port);
        CopierJob job = small_job(3, battery);
        std::vector<uint32_t> progress;
        std::atomic<bool> cancel{false};
        EXPECT_EQ(swc_send_job(link, job, cancel, [&](uint32_t n) { progress.push_back(n); }), SwcOutcome::Finished);

        Stream s;
        for (uint32_t n = 0; n < 3; n++) {
            s.write_byte(0xC010, 0);
            s.command(5, uint16_t(0x200 + n), 0);
            s.write_block(0x8000, block_data(n));
        }
        s.command(5, 0, 0);
        s.command(6, 0x0305, 0);  // three blocks
        if (battery) {
            s.write_byte(0xE00D, 0);
            for (uint16_t page = 0x100; page < 0x104; page++) {
                s.command(5, page, 0);
                std::vector<uint8_t> part(job.battery.begin() + (page - 0x100) * 0x2000,
                                          job.battery.begin() + (page - 0x100 + 1) * 0x2000);
                s.write_block(0x2000, part);
            }
            s.command(5, 0, 0);
        }
        s.write_block(0x0400, header_bytes(3, battery ? 0x04 : 0x2C));
        ASSERT_EQ(port.data.size(), s.bytes.size());
        EXPECT_TRUE(port.data == s.bytes);
        EXPECT_EQ(progress, (std::vector<uint32_t>{1, 2, 3}));
        // One strobe per byte, after the byte is on the lines.
        EXPECT_EQ(port.strobes, port.data.size());
        EXPECT_EQ(port.strobes_at_data[10], 10u);
    }
}

TEST(SwcProtocol, CancelStopsAfterTheBlockInHandAndStillSendsTheHeader) {
    RecordingPort port;
    SwcLink link(port);
    CopierJob job = small_job(6, true);
    std::atomic<bool> cancel{false};
    std::vector<uint32_t> progress;
    const SwcOutcome outcome = swc_send_job(link, job, cancel, [&](uint32_t n) {
        progress.push_back(n);
        if (n == 2) cancel = true;
    });
    EXPECT_EQ(outcome, SwcOutcome::Cancelled);
    EXPECT_EQ(progress, (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(job.header[0], 3);  // the third block was under way

    Stream s;
    for (uint32_t n = 0; n < 3; n++) {
        s.write_byte(0xC010, 0);
        s.command(5, uint16_t(0x200 + n), 0);
        s.write_block(0x8000, block_data(n));
    }
    s.command(5, 0, 0);
    s.command(6, 0x0305, 0);
    s.write_block(0x0400, header_bytes(3, 0x04));  // no battery RAM after a cancel
    EXPECT_TRUE(port.data == s.bytes);
}

TEST(SwcProtocol, ImagesOverFourMegabytesSelectTheUpperHalf) {
    RecordingPort port;
    SwcLink link(port);
    CopierJob job;
    job.block_count = 513;
    job.rom.assign(size_t(513) * 0x2000, 0x5A);
    job.header[2] = 0x3C;
    std::atomic<bool> cancel{false};
    EXPECT_EQ(swc_send_job(link, job, cancel, nullptr), SwcOutcome::Finished);

    Stream block512;  // block 512 starts with $C010 = 1
    block512.write_byte(0xC010, 1);
    block512.command(5, 0x200, 0);
    const size_t per_block = block512.bytes.size() + 9 + 0x2000 + 1;
    EXPECT_TRUE(std::equal(block512.bytes.begin(), block512.bytes.end(), port.data.begin() + 512 * per_block));
    Stream tail;
    tail.command(5, 0, 0);
    tail.command(6, 0x0105, 2);  // 513 = $201 blocks
    tail.write_byte(0xC010, 2);
    tail.write_block(0x0400, std::vector<uint8_t>(job.header.begin(), job.header.end()));
    ASSERT_GE(port.data.size(), tail.bytes.size());
    EXPECT_TRUE(std::equal(tail.bytes.begin(), tail.bytes.end(), port.data.end() - long(tail.bytes.size())));
    EXPECT_EQ(job.header[0], 0x01);
    EXPECT_EQ(job.header[1], 0x02);
}

TEST(SwcProtocol, RunCommandCarriesTheModeByte) {
    RecordingPort port;
    SwcLink link(port);
    CopierHeaderBlock h{};
    h[2] = 0x30;
    EXPECT_TRUE(swc_run_game(link, h));
    Stream s;
    s.command(6, 0x3001, 0);
    EXPECT_TRUE(port.data == s.bytes);
}

TEST(SwcProtocol, SilentCopierEndsTheTransferAfterOneWait) {
    RecordingPort port(false);
    SwcLink link(port);
    CopierJob job = small_job(4, false);
    std::atomic<bool> cancel{false};
    int progress = 0;
    EXPECT_EQ(swc_send_job(link, job, cancel, [&](uint32_t) { progress++; }), SwcOutcome::NoResponse);
    EXPECT_EQ(port.status_reads, kSwcWaitPolls);
    EXPECT_TRUE(port.data.empty());
    EXPECT_EQ(progress, 0);
    EXPECT_TRUE(link.failed());
}

// Events of a worker, collected across threads.
struct EventLog {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<CopierEvent> events;

    CopierWorker::Post post() {
        return [this](const CopierEvent& e) {
            std::lock_guard<std::mutex> lock(mutex);
            events.push_back(e);
            changed.notify_all();
        };
    }
    // Waits until an event with this code arrived (the bound only keeps a
    // broken worker from hanging the suite).
    bool wait_for(CopierEventCode code) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(60), [&] {
            for (const CopierEvent& e : events)
                if (e.code == code) return true;
            return false;
        });
    }
};

TEST(CopierWorker, SendsThroughTheOpenedPortAndWakesTheCopierFirst) {
    EventLog log;
    RecordingPort port;
    {
        CopierWorker worker(log.post());
        worker.start_parallel(
            small_job(2, false), [&](std::string&) { return std::make_unique<test::BorrowedPort>(port); }, "LPT1:");
        ASSERT_TRUE(log.wait_for(CopierEventCode::Finished));
        worker.join();
    }
    EXPECT_EQ(port.strobes, kSwcWakeToggles + port.data.size());
    EXPECT_EQ(port.strobes_at_data[0], kSwcWakeToggles);
    ASSERT_EQ(log.events.size(), 3u);
    EXPECT_EQ(log.events[0].code, CopierEventCode::Progress);
    EXPECT_EQ(log.events[1].blocks, 2u);
    EXPECT_EQ(log.events[2].code, CopierEventCode::Finished);
}

TEST(CopierWorker, PortProblemsEndWithAMessage) {
    EventLog log;
    CopierWorker worker(log.post());
    worker.start_parallel(
        small_job(2, false),
        [](std::string& error) {
            error = "LPT2: (/dev/parport1) is in use by another program or driver: Device or resource busy";
            return std::unique_ptr<ParallelPort>();
        },
        "LPT2:");
    ASSERT_TRUE(log.wait_for(CopierEventCode::PortFailed));
    worker.join();
    EXPECT_NE(log.events.back().text.find("in use"), std::string::npos);

    EventLog silent;
    CopierWorker quiet(silent.post());
    quiet.start_parallel(
        small_job(2, false), [](std::string&) { return std::make_unique<RecordingPort>(false); }, "LPT3:");
    ASSERT_TRUE(silent.wait_for(CopierEventCode::PortFailed));
    quiet.join();
    EXPECT_EQ(silent.events.back().text, swc_no_response_text("LPT3:"));
    EXPECT_NE(silent.events.back().text.find("LPT3:"), std::string::npos);
}

TEST(ParallelPortLinux, MissingDeviceGivesAClearMessage) {
    EXPECT_EQ(parallel_port_device(0), "/dev/parport0");
    EXPECT_EQ(parallel_port_name(3), "LPT4:");
    // No machine running the tests has a ninth parallel port.
    std::string error;
    EXPECT_EQ(open_parallel_port(8, error), nullptr);
    EXPECT_NE(error.find("LPT9: (/dev/parport8)"), std::string::npos) << error;
}

}  // namespace
}  // namespace vt
