#include "frontend/swc_protocol.h"

namespace vt {

SwcLink::SwcLink(ParallelPort& port) : port_(port), control_(port.read_control()) {}

bool SwcLink::wait() {
    if (failed_) return false;
    for (uint32_t n = 0; n < kSwcWaitPolls; n++) {
        if (port_.read_status() & 0x80) return true;
    }
    failed_ = true;
    return false;
}

void SwcLink::toggle_strobe(uint32_t count) {
    for (uint32_t n = 0; n < count; n++) {
        control_ ^= 0x01;
        port_.write_control(control_);
    }
}

bool SwcLink::send_byte(uint8_t value) {
    if (!wait()) return false;
    port_.write_data(value);
    toggle_strobe(1);
    return wait();
}

bool SwcLink::command(uint8_t code, uint16_t address, uint16_t length) {
    const uint8_t body[5] = {code, uint8_t(address), uint8_t(address >> 8), uint8_t(length), uint8_t(length >> 8)};
    uint8_t check = kSwcCheckSeed;
    bool ok = send_byte(0xD5) && send_byte(0xAA) && send_byte(0x96);
    for (uint8_t b : body) {
        ok = ok && send_byte(b);
        check ^= b;
    }
    return ok && send_byte(check);
}

bool SwcLink::write_byte(uint16_t address, uint8_t value) {
    return command(0, address, 1) && send_byte(value) && send_byte(uint8_t(kSwcCheckSeed ^ value));
}

bool SwcLink::write_block(uint16_t address, const uint8_t* data, uint32_t size) {
    if (!command(0, address, uint16_t(size))) return false;
    uint8_t check = kSwcCheckSeed;
    for (uint32_t i = 0; i < size; i++) {
        if (!send_byte(data[i])) return false;
        check ^= data[i];
    }
    return send_byte(check);
}

SwcOutcome swc_send_job(SwcLink& link, CopierJob& job, const std::atomic<bool>& cancel,
                        const std::function<void(uint32_t)>& progress) {
    uint32_t sent = 0;
    bool cancelled = false;
    for (uint32_t n = 0; n < job.block_count; n++) {
        // Register $C010 picks the 4 MiB half, command 5 the 8 KiB page that
        // the copier shows at $8000.
        link.write_byte(0xC010, uint8_t(n >> 9));
        link.command(5, uint16_t(n | 0x200), 0);
        link.write_block(0x8000, job.block(n), kCopierBlockSize);
        if (link.failed()) return SwcOutcome::NoResponse;
        sent = n + 1;
        job.header[0] = uint8_t(sent);
        job.header[1] = uint8_t(sent >> 8);
        if (cancel.load()) {
            cancelled = true;
            break;
        }
        if (progress) progress(sent);
    }
    link.command(5, 0, 0);
    link.command(6, uint16_t(((sent & 0xFF) << 8) + 5), uint16_t(sent >> 8));
    const bool battery_ram = (job.header[2] & 0x0C) < 0x0C;
    if (!cancelled && job.send_battery && battery_ram) {
        link.write_byte(0xE00D, 0);
        for (uint16_t page = 0x100; page <= 0x103; page++) {
            link.command(5, page, 0);
            link.write_block(0x2000, job.battery.data() + size_t(page - 0x100) * kCopierBlockSize, kCopierBlockSize);
        }
        link.command(5, 0, 0);
    }
    if (sent > 512) link.write_byte(0xC010, 2);
    link.write_block(0x0400, job.header.data(), kCopierHeaderBytes);
    if (link.failed()) return SwcOutcome::NoResponse;
    return cancelled ? SwcOutcome::Cancelled : SwcOutcome::Finished;
}

bool swc_run_game(SwcLink& link, const CopierHeaderBlock& header) {
    return link.command(6, uint16_t((header[2] << 8) + 1), 0);
}

std::string swc_no_response_text(const std::string& port_name) {
    return "The Super Wildcard on " + port_name +
           " does not answer. Check that it is switched on, connected and waiting for a transfer.";
}

}  // namespace vt
