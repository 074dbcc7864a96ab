// The NES picture unit's line renderer on a busy screen: every tile of the
// background opaque with scrolled attributes, 64 sprites spread so that
// eight share each line, fine x scroll, sprite zero hitting on line 8.
// One iteration is one frame: 262 lines, 240 of them drawn.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "nes/nes_ppu.h"
#include "video/ppu.h"

namespace {

struct BusyScreen {
    vt::NesPpu p;
    std::vector<uint8_t> chr = std::vector<uint8_t>(0x2000);
    std::vector<uint8_t> picture = std::vector<uint8_t>(size_t(vt::kPictureStride) * vt::kPictureHeight);

    BusyScreen() {
        for (size_t i = 0; i < chr.size(); i++) chr[i] = uint8_t(i * 37 + (i >> 4));
        for (int i = 0; i < 8; i++) p.chr_page[i] = &chr[size_t(i) * 0x400];
        for (int i = 0; i < 4; i++) p.nametable_page[i] = &p.ciram[size_t(i & 1) * 0x400];
        vt::nes_ppu_power_on(p);
        for (int i = 0; i < 2048; i++) p.ciram[size_t(i)] = uint8_t(i * 7);
        for (int i = 0; i < 32; i++) p.palette[size_t(i)] = uint8_t(i * 5 & 0x3F);
        for (int n = 0; n < 64; n++) {
            p.oam[size_t(n * 4)] = uint8_t((n / 8) * 30);
            p.oam[size_t(n * 4 + 1)] = uint8_t(n);
            p.oam[size_t(n * 4 + 2)] = uint8_t(n & 0xE3);
            p.oam[size_t(n * 4 + 3)] = uint8_t(n * 29);
        }
        vt::nes_ppu_write(p, 0x2001, 0x1E, 0);
        vt::nes_ppu_write(p, 0x2005, 0x35, 0);
        vt::nes_ppu_write(p, 0x2005, 0x10, 0);
    }
    void frame() {
        for (uint16_t line = 0; line < 262; line++) vt::nes_ppu_line(p, line, picture.data());
    }
};

void BM_NesPpuFrame(benchmark::State& state) {
    auto screen = std::make_unique<BusyScreen>();
    for (auto _ : state) {
        screen->frame();
        benchmark::DoNotOptimize(screen->picture.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NesPpuFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
