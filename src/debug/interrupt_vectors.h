// The interrupt vectors of bank 0 as the Interrupt Vectors dialog shows
// them: two columns (emulation mode "W65C02S", native mode "W65C816S") of
// six rows (IRQ, RESET, NMI, ABORT, BREAK, COP), each with the handler's
// address read without side effects. Breakpoints on the handlers stop the
// machine at an interrupt's first instruction.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vt {

struct Machine;

inline constexpr int kVectorRows = 6;
inline constexpr int kVectorColumns = 2;
inline constexpr const char* kVectorRowNames[kVectorRows] = {"IRQ", "RESET", "NMI", "ABORT", "BREAK", "COP"};
inline constexpr const char* kVectorColumnNames[kVectorColumns] = {"W65C02S", "W65C816S"};
// Where each row's vector lies, per column.
inline constexpr uint16_t kVectorAddresses[kVectorColumns][kVectorRows] = {
    {0xFFFE, 0xFFFC, 0xFFFA, 0xFFF8, 0xFFF6, 0xFFF4},
    {0xFFEE, 0xFFEC, 0xFFEA, 0xFFE8, 0xFFE6, 0xFFE4},
};

// Handler addresses (bank 0) by [column][row]; an unreadable byte counts
// as 0.
using InterruptHandlers = std::array<std::array<uint32_t, kVectorRows>, kVectorColumns>;
InterruptHandlers read_interrupt_handlers(const Machine& m);

// "nmi", "irq", "brk", "cop" as the interrupt trap bits.
std::optional<uint8_t> interrupt_trap_bit(std::string_view name);

}  // namespace vt
