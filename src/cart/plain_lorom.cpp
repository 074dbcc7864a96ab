#include "cart/plain_lorom.h"

#include <algorithm>

#include "cart/memory_map.h"
#include "core/driver.h"
#include "core/machine.h"

namespace vt {

bool load_plain_lorom(Machine& m, const std::vector<uint8_t>& image, uint8_t wram_fill) {
    constexpr size_t kBlock = 0x8000;
    if (image.empty() || image.size() > 128 * kBlock) return false;

    Cartridge& cart = m.cart;
    std::fill(cart.rom.begin(), cart.rom.end(), 0xFF);
    const size_t blocks = (image.size() + kBlock - 1) / kBlock;
    for (size_t b = 0; b < blocks; b++) {
        size_t len = std::min(kBlock, image.size() - b * kBlock);
        uint8_t* slot = cart.rom.data() + b * kRomSlotSize;
        std::copy_n(image.data() + b * kBlock, len, slot);
        std::copy_n(slot, kBlock, slot + kBlock);  // both halves of the slot
    }
    cart.image_size = uint32_t(image.size());
    cart.hirom = false;

    memory_reset_loader_tables(m);
    // Banks past the image repeat it.
    for (int bank = 0; bank < 256; bank++) {
        m.mem.rom_lower[bank] = cart.rom.data() + ((bank & 0x7F) % blocks) * kRomSlotSize;
        m.mem.rom_upper[bank] = m.mem.rom_lower[bank];
        memory_install_loader_bank(m, bank, 1, &rom_read, &discard_write);
        if (bank & 0x40) memory_install_loader_bank(m, bank, 0, &rom_read, &discard_write);
    }
    memory_copy_loader_to_cpu(m);
    memory_reset_io_tables(m);
    memory_init_wram(m, wram_fill);

    Timing& t = m.timing;
    t.lines_per_frame = 262;
    t.sound_lines = 244;
    t.gamepak_loaded = true;
    machine_power_on(m);
    return true;
}

}  // namespace vt
