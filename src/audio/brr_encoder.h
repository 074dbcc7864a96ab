// BRR encoding of 16-bit PCM, for building sample data: each block of 16
// samples gets the filter and shift whose decoded result (as the sound
// generator decodes it, carrying its prediction history) is closest to the
// input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vt {

struct BrrEncodeOptions {
    bool loop = false;
    // First sample of the loop (a multiple of 16). The block there uses
    // filter 0, so it decodes the same when entered from the end.
    size_t loop_start = 0;
};

// Encodes `count` samples (padded with silence to a multiple of 16).
// Returns the 9-byte blocks. A looping sample's last block carries END and
// LOOP; a sample that stops is followed by a silent block with END alone,
// because the console silences the voice when it reaches that block.
std::vector<uint8_t> brr_encode(const int16_t* pcm, size_t count, const BrrEncodeOptions& options = {});

}  // namespace vt
