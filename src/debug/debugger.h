// What the driver's step looks at for the debugger: the breakpoint list,
// the CPU trace writer, the interrupt traps and whether addresses are
// watched. Plain data, so the emulation core reads it without depending on
// the debugger's code; the debugger fills it. The driver chooses its step
// loop by them at the start of each run of steps (the steps up to the next
// line event or stop), so they are changed between runs, not by code
// running inside a step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vt {

struct Machine;

// Bit 24 of a breakpoint entry: disabled. A disabled entry never equals a
// 24-bit program address, so the check compares whole entries.
inline constexpr uint32_t kBreakpointDisabled = 0x01000000;
inline constexpr uint32_t kNoBreakPass = 0xFFFFFFFF;

// Interrupt traps: stop the machine right after the CPU entered one of
// these interrupts, before the handler's first instruction. The bit of a
// kind is 1 << its number (NMI 0, IRQ 1, BRK 2, COP 3).
inline constexpr uint8_t kTrapNmi = 0x01;
inline constexpr uint8_t kTrapIrq = 0x02;
inline constexpr uint8_t kTrapBrk = 0x04;
inline constexpr uint8_t kTrapCop = 0x08;

// Why the debugger stopped the machine; the program looks at it when the
// run returns.
enum class DebugHitKind : uint8_t { None, Breakpoint, WatchRead, WatchWrite, Interrupt };

struct DebugHit {
    DebugHitKind kind = DebugHitKind::None;
    // Breakpoint: the instruction's 24-bit address. Watch: the address
    // accessed. Interrupt: the handler's address.
    uint32_t address = 0;
    // Watch: the address of the instruction that made the access, and the
    // byte read or written. Interrupt: its number (see the trap bits).
    uint32_t instruction = 0;
    uint8_t value = 0;
};

// Watch list entries: the 24-bit address in bits 0-23 and what to do when
// the main CPU (or a DMA on its bus) accesses it.
inline constexpr uint32_t kWatchWrite = 1u << 24;  // stop after a write
inline constexpr uint32_t kWatchRead = 1u << 25;   // stop after a read
inline constexpr uint32_t kWatchTrace = 1u << 26;  // a line in the log for every access
inline constexpr uint32_t kWatchAttributes = kWatchWrite | kWatchRead | kWatchTrace;

// A watched address as the watching handlers look it up: the address with
// the system area's mirrors folded (see watch_key) and its attributes.
struct WatchedAddress {
    uint32_t key;
    uint32_t attributes;
};

struct Debugger {
    // 24-bit program addresses (bank x 65536 + PC), checked before every
    // main-CPU instruction while the list is not empty.
    std::vector<uint32_t> breakpoints;
    // The instruction a breakpoint stopped the machine at, or the one a
    // single step runs: the next check there lets it run once.
    uint32_t passing_break = kNoBreakPass;
    // The trace writer while CPU tracing is on: called before each main-CPU
    // step unless the CPU waits in WAI. `trace_user` is its own state.
    void (*trace_step)(Machine&) = nullptr;
    void* trace_user = nullptr;
    // The trace phase: 0 idle, 1 start pending, 2 writing, 3 continuation
    // pending. Every line start ORs it with 1, so the first instruction
    // traced on a line is preceded by the position header.
    uint8_t trace_state = 0;
    // Interrupt traps (kTrapNmi ...).
    uint8_t interrupt_traps = 0;
    // The watch list (at most 256 entries) and, sorted by key, the
    // addresses the watching handlers in the memory map look for.
    std::vector<uint32_t> watches;
    std::vector<WatchedAddress> watched;
    // Set while watching handlers are installed: they want to know which
    // instruction made an access, so the driver notes each instruction's
    // address in `step_address`.
    bool watching = false;
    uint32_t step_address = 0;
    // Where the lines of the Trace attribute go (the program's log).
    void (*watch_log)(void* user, const char* text, size_t size) = nullptr;
    void* watch_log_user = nullptr;
    // The latest stop the debugger asked for; cleared by the program once
    // it has shown it.
    DebugHit hit;
};

}  // namespace vt
