#include "coproc/st018/st018.h"

#include "cart/cartridge_map.h"
#include "coproc/chips.h"
#include "core/machine.h"

namespace vt {

namespace {

constexpr MemoryWindow kWindow{&st018_read, &st018_write, &st018_peek};

}  // namespace

const ChipStateChunk kSt018StateChunks[1] = {
    {"XS18", kSt018StateSize, &st018_state_io<StateWriter>, &st018_state_io<StateReader>}};

void st018_map(Machine& m) { install_loader_pages(m, 0x38, 0x38, kWindow); }

void st018_power_on(Machine& m) { m.st018 = St018{}; }

void st018_reset(Machine& m) { m.st018 = St018{}; }

int st018_peek(const Machine& m, uint8_t, uint16_t addr) {
    const St018& s = m.st018;
    switch (addr & 0xFF) {
        case 0x00: return s.reply;
        case 0x04: return kSt018Ready | (s.reply_waiting ? kSt018ReplyWaiting : 0);
        default: return kNotReadable;
    }
}

uint8_t st018_read(Machine& m, uint8_t bank, uint16_t addr) {
    const int v = st018_peek(m, bank, addr);
    if (v < 0) return open_bus_read(m, bank, addr);
    if ((addr & 0xFF) == 0x00) m.st018.reply_waiting = false;
    m.mem.open_bus = uint8_t(v);
    return uint8_t(v);
}

void st018_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    St018& s = m.st018;
    switch (addr & 0xFF) {
        case 0x02:
            s.bytes_taken++;
            s.reply = value;
            s.reply_waiting = true;
            break;
        case 0x04:
            s.control = value;
            if (value & 1) {
                s.reply = 0;
                s.reply_waiting = false;
            }
            break;
        default:
            break;
    }
}

template <class Io>
void st018_state_io(Io& io, IoMachine<Io>& m) {
    auto& s = m.st018;
    uint8_t waiting = s.reply_waiting ? 1 : 0;
    io.u8(s.reply);
    io.u8(waiting);
    io.u8(s.control);
    io.u32(s.bytes_taken);
    if constexpr (Io::loading) s.reply_waiting = waiting != 0;
}

template void st018_state_io<StateWriter>(StateWriter&, const Machine&);
template void st018_state_io<StateReader>(StateReader&, Machine&);

}  // namespace vt
