// The Super Wildcard's parallel-port protocol. Every byte is sent with a
// handshake: wait until the copier is ready (status bit 7), put the byte on
// the data lines, toggle control bit 0 as the strobe, wait again. Commands
// are a three-byte preamble, a code, a 16-bit address and a 16-bit length,
// and a check byte; data written with a command is followed by its own
// check byte.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "frontend/copier_job.h"
#include "frontend/parallel_port.h"

namespace vt {

// Polls of the status port before a wait gives up.
inline constexpr uint32_t kSwcWaitPolls = 262144;
// Strobe toggles that wake the copier before a transfer.
inline constexpr uint32_t kSwcWakeToggles = 262144;

// The check byte starts at $81 and takes the XOR of what it covers.
inline constexpr uint8_t kSwcCheckSeed = 0x81;

class SwcLink {
public:
    explicit SwcLink(ParallelPort& port);

    // Each returns false once the copier stopped answering; from then on
    // nothing more is sent, so a missing copier ends the transfer after one
    // wait instead of one wait per byte.
    bool wait();
    bool send_byte(uint8_t value);
    bool command(uint8_t code, uint16_t address, uint16_t length);
    bool write_byte(uint16_t address, uint8_t value);
    bool write_block(uint16_t address, const uint8_t* data, uint32_t size);
    // Toggles control bit 0 `count` times (the wake-up before a transfer).
    void toggle_strobe(uint32_t count);

    bool failed() const { return failed_; }

private:
    ParallelPort& port_;
    uint8_t control_;
    bool failed_ = false;
};

enum class SwcOutcome { Finished, Cancelled, NoResponse };

// Sends the job's blocks, the battery RAM when it goes along, and the header
// with its final block count (the job's header is updated). `progress` is
// called after each block with the blocks sent; `cancel` is polled after
// each block.
SwcOutcome swc_send_job(SwcLink& link, CopierJob& job, const std::atomic<bool>& cancel,
                        const std::function<void(uint32_t)>& progress);

// Starts the game on the copier after a finished transfer.
bool swc_run_game(SwcLink& link, const CopierHeaderBlock& header);

// What the window shows when the copier stopped answering.
std::string swc_no_response_text(const std::string& port_name);

}  // namespace vt
