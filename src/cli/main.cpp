// veltrane-cli: runs a cartridge image headless.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cart/plain_lorom.h"
#include "core/driver.h"
#include "core/machine.h"

namespace {

void usage() {
    std::fprintf(stderr, "usage: veltrane-cli ROM [-n FRAMES] [--bench]\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::string rom;
    long frames = 600;
    bool bench = false;
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        if ((!std::strcmp(a, "-n") || !std::strcmp(a, "--frames")) && i + 1 < argc) {
            frames = std::strtol(argv[++i], nullptr, 10);
        } else if (!std::strcmp(a, "--bench")) {
            bench = true;
        } else if (a[0] != '-' && rom.empty()) {
            rom = a;
        } else {
            usage();
            return 1;
        }
    }
    if (rom.empty()) {
        std::fprintf(stderr, "veltrane-cli: no demo cartridge is built in yet; give a ROM image\n");
        return 1;
    }
    std::ifstream in(rom, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "The specified file could not be loaded.\n");
        return 2;
    }
    std::vector<uint8_t> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto machine = vt::make_machine();
    if (!vt::load_plain_lorom(*machine, image)) {
        std::fprintf(stderr, "Not a valid Gamepak\n");
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    for (long f = 0; f < frames; f++) vt::run_frame(*machine);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const vt::CpuRegs& c = machine->cpu;
    std::printf("ran %ld frames of %s\n", frames, rom.c_str());
    std::printf("CPU: PC=%02X:%04X A=%04X X=%04X Y=%04X S=%04X D=%04X DB=%02X E=%d\n", c.pbr, c.pc, c.a, c.x,
                c.y, c.s, c.d, c.dbr, c.e);
    if (bench) {
        std::printf("frames=%ld seconds=%.3f fps=%.1f\n", frames, seconds, seconds > 0 ? frames / seconds : 0.0);
    }
    return 0;
}
