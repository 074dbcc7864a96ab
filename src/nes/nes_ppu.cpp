#include "nes/nes_ppu.h"

namespace vt {

void nes_ppu_power_on(NesPpu& p) {
    NesPpu fresh;
    fresh.chr_page = p.chr_page;
    fresh.chr_writable = p.chr_writable;
    fresh.nametable_page = p.nametable_page;
    p = fresh;
}
void nes_ppu_reset(NesPpu& p) {
    p.control = 0;
    p.mask = 0;
    p.write_toggle = false;
}
void nes_ppu_line(NesPpu&, uint16_t, uint8_t*) {}
uint8_t nes_ppu_read(NesPpu& p, uint16_t, uint16_t) { return p.open_bus; }
void nes_ppu_write(NesPpu& p, uint16_t, uint8_t value, uint16_t) { p.open_bus = value; }
uint8_t nes_ppu_peek(const NesPpu& p, uint16_t) { return p.open_bus; }
void nes_ppu_oam_dma(NesPpu& p, const uint8_t* page) {
    for (int i = 0; i < 256; i++) p.oam[uint8_t(p.oam_address + i)] = page[i];
}
bool nes_ppu_nmi_line(const NesPpu& p) { return (p.status & 0x80) && (p.control & 0x80); }
bool nes_ppu_rendering(const NesPpu& p) { return p.mask & 0x18; }

}  // namespace vt
