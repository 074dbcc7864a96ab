#include "nes/nes_palette.h"

#include <algorithm>
#include <cmath>

namespace vt {

namespace {

// The signal levels of the four luma rows, black = 0 and white = 1: each
// colour of hues 1-12 alternates between its row's low and high level for
// half of the colour subcarrier's cycle; hue 0 stays at the high level,
// hue 13 at the low one, hues 14 and 15 are black.
constexpr double kLowLevel[4] = {-0.116, 0.000, 0.307, 0.715};
constexpr double kHighLevel[4] = {0.399, 0.684, 1.000, 1.000};

// Red, green or blue emphasis darkens the other two primaries to about
// three quarters.
constexpr double kEmphasisDim = 0.75;

// The signal level of `colour` during phase `phase` (0-11, 30 degrees each)
// of the subcarrier.
double signal_level(int colour, int phase) {
    int hue = colour & 15;
    int luma = colour >> 4;
    if (hue >= 14) return 0.0;
    if (hue == 0) return kHighLevel[luma];
    if (hue == 13) return kLowLevel[luma];
    // A hue is in its high half for the six phases starting at its own.
    bool high = (phase - hue + 12) % 12 < 6;
    return high ? kHighLevel[luma] : kLowLevel[luma];
}

uint8_t to_byte(double value) {
    return uint8_t(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

NesColourTable build_table() {
    constexpr double kPi = 3.14159265358979323846;
    // Rotates the decoded hue so that the colour burst (hue 8) lands where a
    // television puts it: colour 6 red, 10 green, 2 blue-violet.
    constexpr double kHueOffset = -75.0 * kPi / 180.0;
    NesColourTable table{};
    for (int colour = 0; colour < 64; colour++) {
        double y = 0, i = 0, q = 0;
        for (int phase = 0; phase < 12; phase++) {
            double level = signal_level(colour, phase);
            double angle = kHueOffset - (phase + 0.5) * kPi / 6.0;
            y += level;
            i += level * std::cos(angle);
            q += level * std::sin(angle);
        }
        y /= 12.0;
        i /= 6.0;
        q /= 6.0;
        double r = y + 0.956 * i + 0.621 * q;
        double g = y - 0.272 * i - 0.647 * q;
        double b = y - 1.106 * i + 1.703 * q;
        for (int emphasis = 0; emphasis < 8; emphasis++) {
            // Bit 0 red, bit 1 green, bit 2 blue: a primary is dimmed when
            // some other primary is emphasised.
            double rr = r, gg = g, bb = b;
            if (emphasis & ~1) rr *= kEmphasisDim;
            if (emphasis & ~2) gg *= kEmphasisDim;
            if (emphasis & ~4) bb *= kEmphasisDim;
            table.colour[emphasis][colour] =
                NesColour(to_byte(bb)) | NesColour(to_byte(gg)) << 8 | NesColour(to_byte(rr)) << 16;
        }
    }
    return table;
}

const NesColourTable kTable = build_table();

}  // namespace

const NesColourTable& nes_colour_table() { return kTable; }

}  // namespace vt
