#include "debug/interrupt_vectors.h"

#include "core/main_cpu_debug.h"
#include "debug/debugger.h"

namespace vt {

InterruptHandlers read_interrupt_handlers(const Machine& m) {
    auto byte = [&m](uint16_t addr) {
        const int v = main_cpu_peek(m, addr);
        return v < 0 ? 0u : uint32_t(v);
    };
    InterruptHandlers handlers{};
    for (int column = 0; column < kVectorColumns; column++) {
        for (int row = 0; row < kVectorRows; row++) {
            const uint16_t vector = kVectorAddresses[column][row];
            handlers[size_t(column)][size_t(row)] = byte(vector) | (byte(uint16_t(vector + 1)) << 8);
        }
    }
    return handlers;
}

std::optional<uint8_t> interrupt_trap_bit(std::string_view name) {
    if (name == "nmi") return kTrapNmi;
    if (name == "irq") return kTrapIrq;
    if (name == "brk") return kTrapBrk;
    if (name == "cop") return kTrapCop;
    return std::nullopt;
}

}  // namespace vt
