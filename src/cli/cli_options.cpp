#include "cli/cli_options.h"

#include <charconv>
#include <cstring>
#include <string_view>

#include "debug/breakpoints.h"
#include "debug/interrupt_vectors.h"

namespace vt::cli {

namespace {

bool parse_long(std::string_view text, long min, long max, long& out) {
    long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max) return false;
    out = value;
    return true;
}

// "$5A" and "0x5A" are hexadecimal, plain digits decimal.
bool parse_byte(std::string_view text, uint8_t& out) {
    int base = 10;
    if (text.size() > 1 && text[0] == '$') {
        text.remove_prefix(1);
        base = 16;
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size() || value > 255) return false;
    out = uint8_t(value);
    return true;
}

// "8000,$7e2000,0x00ffea": the breakpoints of --break.
bool parse_breakpoints(std::string_view text, std::vector<uint32_t>& out) {
    while (true) {
        const size_t comma = text.find(',');
        uint32_t address = 0;
        if (!parse_address(text.substr(0, comma), address)) return false;
        out.push_back(address);
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

// "nmi,irq": the traps of --break-on.
bool parse_traps(std::string_view text, uint8_t& traps) {
    while (true) {
        const size_t comma = text.find(',');
        const std::optional<uint8_t> bit = interrupt_trap_bit(text.substr(0, comma));
        if (!bit) return false;
        traps |= *bit;
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

constexpr long kMaxDisassembleCount = 1 << 20;

}  // namespace

const char* usage_text() {
    return "usage: veltrane-cli [ROM] [options]\n"
           "  Without a ROM the built-in demo cartridge runs.\n"
           "  -n, --frames N        frames to run (default 600)\n"
           "  --frame-skip N        frames emulated but not drawn after each drawn one (0-4)\n"
           "  --info                print the ROM Information block and exit\n"
           "  --input FILE          joypad script: lines \"FRAME PORT BUTTONS\"\n"
           "  --dump-wram FILE      work RAM at exit (131,072 bytes)\n"
           "  --dump-sram FILE      battery RAM at exit (its size in bytes)\n"
           "  --dump-vram FILE, --dump-cgram FILE, --dump-oam FILE, --dump-aram FILE\n"
           "  --png FILE            picture after the last frame; --png-format 0..3\n"
           "  --wav FILE            all audio of the run\n"
           "  --trace FILE          CPU trace of the whole run, as the desktop program's trace.log\n"
           "  --break ADDR[,ADDR]   stop before the first instruction at one of the 24-bit hex\n"
           "                        addresses ($ or 0x optional); prints its trace line, then\n"
           "                        writes the outputs for the stopped machine\n"
           "  --break-on KIND[,KIND]  the same right after an interrupt entry: nmi, irq, brk, cop\n"
           "  --disassemble ADDR COUNT  print COUNT 65816 lines from ADDR after loading, then exit\n"
           "  --save-state FILE     state at exit; --load-state FILE: state before the run\n"
           "  --bench               print frames=N seconds=S fps=F cpu_ips=I after the run\n"
           "  --fill BYTE           work RAM fill byte ($55; \"$xx\" or \"0xxx\" for hexadecimal)\n"
           "  --region ntsc|pal     override the cartridge's region\n"
           "  --log FILE            write the program's log (ROM Information block) to FILE\n"
           "  --no-battery-save     do not write the battery RAM file at exit\n"
           "  --copier-disk swc|gd3 DIR  write the image as Super Wildcard or Game Doctor SF III\n"
           "                        disk files into DIR (one line per file), then exit\n"
           "  --volume-blocks N     Super Wildcard volume size in 8 KiB blocks (default 176, 1440K)\n"
           "  --copier-seed S       seed of the Game Doctor name's three digits (default 0)\n"
           "Exit status: 0 success, 1 bad usage or a file that cannot be read or written,\n"
           "  2 the image cannot be loaded (or the copier cannot take it). SIGINT, SIGTERM\n"
           "  and SIGHUP stop the run at the next frame; the outputs and battery RAM are\n"
           "  written, then the status is 130, 143 or 129.\n";
}

ParseResult parse_options(int argc, char** argv, Options& o, std::string& error) {
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        std::string value;
        bool has_inline_value = false;
        if (arg.rfind("--", 0) == 0) {
            size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                has_inline_value = true;
            }
        }
        // The option's value: inline after '=' or the next argument.
        auto take_value = [&](std::string& out) {
            if (has_inline_value) {
                out = value;
                return true;
            }
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        auto take_path = [&](std::string& out) {
            if (!take_value(out)) return false;
            if (out.empty()) {
                error = arg + " needs a file name";
                return false;
            }
            return true;
        };

        if (arg == "-h" || arg == "--help") return ParseResult::Help;
        if (arg == "--break") {
            std::string v;
            if (!take_value(v)) return ParseResult::Error;
            if (!parse_breakpoints(v, o.breakpoints)) {
                error = "--break takes 24-bit hexadecimal addresses separated by commas, not \"" + v + "\"";
                return ParseResult::BadValue;
            }
            if (o.breakpoints.size() > kMaxBreakpoints) {
                error = "--break takes at most " + std::to_string(kMaxBreakpoints) + " addresses";
                return ParseResult::BadValue;
            }
            continue;
        }
        if (arg == "--break-on") {
            std::string v;
            if (!take_value(v)) return ParseResult::Error;
            if (!parse_traps(v, o.interrupt_traps)) {
                error = "--break-on takes nmi, irq, brk or cop (separated by commas), not \"" + v + "\"";
                return ParseResult::BadValue;
            }
            continue;
        }
        if (arg == "--disassemble") {
            if (has_inline_value || i + 2 >= argc) {
                error = "--disassemble needs an address and a count";
                return ParseResult::Error;
            }
            const std::string address = argv[++i];
            const std::string count = argv[++i];
            if (!parse_address(address, o.disassemble_address)) {
                error = "--disassemble takes a 24-bit hexadecimal address, not \"" + address + "\"";
                return ParseResult::BadValue;
            }
            if (!parse_long(count, 1, kMaxDisassembleCount, o.disassemble_count)) {
                error = "--disassemble takes a count of 1 to " + std::to_string(kMaxDisassembleCount) + ", not \"" +
                        count + "\"";
                return ParseResult::BadValue;
            }
            o.disassemble = true;
            continue;
        }
        if (arg == "-n" || arg == "--frames") {
            std::string v;
            if (!take_value(v)) return ParseResult::Error;
            if (!parse_long(v, 0, 100000000, o.frames)) {
                error = arg + " takes a frame count of 0 or more, not \"" + v + "\"";
                return ParseResult::Error;
            }
        } else if (arg == "--frame-skip") {
            std::string v;
            long n = 0;
            if (!take_value(v)) return ParseResult::Error;
            if (!parse_long(v, 0, 4, n)) {
                error = "--frame-skip takes 0 to 4, not \"" + v + "\"";
                return ParseResult::Error;
            }
            o.frame_skip = int(n);
        } else if (arg == "--png-format") {
            std::string v;
            long n = 0;
            if (!take_value(v)) return ParseResult::Error;
            if (!parse_long(v, 0, 3, n)) {
                error = "--png-format takes 0 to 3, not \"" + v + "\"";
                return ParseResult::Error;
            }
            o.png_format = int(n);
        } else if (arg == "--fill") {
            std::string v;
            if (!take_value(v)) return ParseResult::Error;
            if (!parse_byte(v, o.fill)) {
                error = "--fill takes a byte (0-255, $xx or 0xxx), not \"" + v + "\"";
                return ParseResult::Error;
            }
        } else if (arg == "--region") {
            std::string v;
            if (!take_value(v)) return ParseResult::Error;
            if (v == "ntsc") o.region = RegionOverride::Ntsc;
            else if (v == "pal") o.region = RegionOverride::Pal;
            else {
                error = "--region takes ntsc or pal, not \"" + v + "\"";
                return ParseResult::Error;
            }
        } else if (arg == "--copier-disk") {
            if (!take_value(o.copier_device)) return ParseResult::Error;
            if (o.copier_device != "swc" && o.copier_device != "gd3") {
                error = "--copier-disk takes swc or gd3, not \"" + o.copier_device + "\"";
                return ParseResult::Error;
            }
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                error = "--copier-disk needs a folder after the device";
                return ParseResult::Error;
            }
            o.copier_folder = argv[++i];
        } else if (arg == "--volume-blocks") {
            std::string v;
            if (!take_value(v)) return ParseResult::Error;
            if (!parse_long(v, 1, 65535, o.volume_blocks)) {
                error = "--volume-blocks takes 1 to 65535 blocks, not \"" + v + "\"";
                return ParseResult::Error;
            }
        } else if (arg == "--copier-seed") {
            std::string v;
            if (!take_value(v)) return ParseResult::Error;
            if (!parse_long(v, 0, 0xFFFFFFFFL, o.copier_seed)) {
                error = "--copier-seed takes a number of 0 or more, not \"" + v + "\"";
                return ParseResult::Error;
            }
        } else if (arg == "--info") {
            o.info = true;
        } else if (arg == "--bench") {
            o.bench = true;
        } else if (arg == "--no-battery-save") {
            o.no_battery_save = true;
        } else if (arg == "--input") {
            if (!take_path(o.input)) return ParseResult::Error;
        } else if (arg == "--dump-wram") {
            if (!take_path(o.dump_wram)) return ParseResult::Error;
        } else if (arg == "--dump-vram") {
            if (!take_path(o.dump_vram)) return ParseResult::Error;
        } else if (arg == "--dump-cgram") {
            if (!take_path(o.dump_cgram)) return ParseResult::Error;
        } else if (arg == "--dump-oam") {
            if (!take_path(o.dump_oam)) return ParseResult::Error;
        } else if (arg == "--dump-aram") {
            if (!take_path(o.dump_aram)) return ParseResult::Error;
        } else if (arg == "--dump-sram") {
            if (!take_path(o.dump_sram)) return ParseResult::Error;
        } else if (arg == "--png") {
            if (!take_path(o.png)) return ParseResult::Error;
        } else if (arg == "--wav") {
            if (!take_path(o.wav)) return ParseResult::Error;
        } else if (arg == "--trace") {
            if (!take_path(o.trace)) return ParseResult::Error;
        } else if (arg == "--save-state") {
            if (!take_path(o.save_state)) return ParseResult::Error;
        } else if (arg == "--load-state") {
            if (!take_path(o.load_state)) return ParseResult::Error;
        } else if (arg == "--log") {
            if (!take_path(o.log)) return ParseResult::Error;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            error = "unknown option " + arg;
            return ParseResult::Error;
        } else if (o.rom.empty()) {
            o.rom = arg;
        } else {
            error = "only one ROM image can be given (\"" + o.rom + "\" and \"" + arg + "\")";
            return ParseResult::Error;
        }
        if (has_inline_value && (arg == "--info" || arg == "--bench" || arg == "--no-battery-save")) {
            error = arg + " takes no value";
            return ParseResult::Error;
        }
    }
    return ParseResult::Run;
}

}  // namespace vt::cli
