#include "frontend/rewind_buffer.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "core/machine.h"
#include "state/state_file.h"

namespace vt {

namespace {

StateOptions rewind_state_options() {
    StateOptions o;
    o.sram_transfer = true;
    o.bitmap_transfer = false;
    return o;
}

// A difference between two states of the same length, as runs: the
// number of equal bytes to skip, the number of differing bytes, and those
// bytes XORed together (so the same record turns either state into the
// other). Lengths are written 7 bits at a time, low first.
void put_length(std::vector<uint8_t>& out, size_t n) {
    while (n >= 0x80) {
        out.push_back(uint8_t(n | 0x80));
        n >>= 7;
    }
    out.push_back(uint8_t(n));
}

bool get_length(const uint8_t*& p, const uint8_t* end, size_t& n) {
    n = 0;
    for (int shift = 0; p < end && shift < 64; shift += 7) {
        const uint8_t b = *p++;
        n |= size_t(b & 0x7F) << shift;
        if (!(b & 0x80)) return true;
    }
    return false;
}

// Equal bytes shorter than this inside a changed stretch stay in it: a
// run record costs about as much.
constexpr size_t kShortestSkip = 8;

size_t first_difference(const uint8_t* a, const uint8_t* b, size_t from, size_t n) {
    // Eight bytes at a time through the long equal stretches.
    while (from + 8 <= n && std::memcmp(a + from, b + from, 8) == 0) from += 8;
    while (from < n && a[from] == b[from]) from++;
    return from;
}

void encode_difference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, std::vector<uint8_t>& out) {
    out.clear();
    const size_t n = a.size();
    size_t at = 0;
    while (true) {
        const size_t start = first_difference(a.data(), b.data(), at, n);
        if (start == n) break;
        // The changed stretch ends before kShortestSkip equal bytes in a row.
        size_t end = start + 1, equal = 0;
        while (end < n && equal < kShortestSkip) {
            equal = a[end] == b[end] ? equal + 1 : 0;
            end++;
        }
        end -= equal;
        put_length(out, start - at);
        put_length(out, end - start);
        for (size_t i = start; i < end; i++) out.push_back(uint8_t(a[i] ^ b[i]));
        at = end;
    }
}

// Applies a difference to `state` in place; false when it does not fit.
bool apply_difference(const std::vector<uint8_t>& diff, std::vector<uint8_t>& state) {
    const uint8_t* p = diff.data();
    const uint8_t* end = p + diff.size();
    size_t at = 0;
    while (p < end) {
        size_t skip, count;
        if (!get_length(p, end, skip) || !get_length(p, end, count)) return false;
        if (skip > state.size() - at || count > state.size() - at - skip || count > size_t(end - p)) return false;
        at += skip;
        for (size_t i = 0; i < count; i++) state[at + i] ^= p[i];
        p += count;
        at += count;
    }
    return true;
}

}  // namespace

// One deflate stream kept for the buffer's life: resetting it is far
// cheaper than setting one up for every frame.
struct RewindBuffer::Packer {
    z_stream deflater{};
    z_stream inflater{};
    bool deflate_ready = false;
    bool inflate_ready = false;

    Packer() {
        deflate_ready = deflateInit(&deflater, 1) == Z_OK;
        inflate_ready = inflateInit(&inflater) == Z_OK;
    }
    ~Packer() {
        if (deflate_ready) deflateEnd(&deflater);
        if (inflate_ready) inflateEnd(&inflater);
    }

    std::vector<uint8_t> packed;  // room for the largest result, reused

    // `out` gets exactly the packed bytes.
    bool pack(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) {
        if (!deflate_ready || deflateReset(&deflater) != Z_OK) return false;
        const size_t bound = deflateBound(&deflater, uLong(in.size()));
        if (packed.size() < bound) packed.resize(bound);
        deflater.next_in = const_cast<Bytef*>(in.data());
        deflater.avail_in = uInt(in.size());
        deflater.next_out = packed.data();
        deflater.avail_out = uInt(packed.size());
        if (deflate(&deflater, Z_FINISH) != Z_STREAM_END) return false;
        out.assign(packed.begin(), packed.begin() + ptrdiff_t(packed.size() - deflater.avail_out));
        return true;
    }

    bool unpack(const std::vector<uint8_t>& in, std::vector<uint8_t>& out, size_t size) {
        if (!inflate_ready || inflateReset(&inflater) != Z_OK) return false;
        out.resize(size);
        inflater.next_in = const_cast<Bytef*>(in.data());
        inflater.avail_in = uInt(in.size());
        inflater.next_out = out.data();
        inflater.avail_out = uInt(out.size());
        return inflate(&inflater, Z_FINISH) == Z_STREAM_END && inflater.avail_out == 0;
    }
};

RewindBuffer::RewindBuffer(size_t budget_bytes) : budget_(budget_bytes), packer_(std::make_unique<Packer>()) {}

RewindBuffer::~RewindBuffer() = default;

void RewindBuffer::clear() {
    newest_.clear();
    deltas_.clear();
    delta_bytes_ = 0;
}

void RewindBuffer::capture(const Machine& m) {
    std::vector<uint8_t> state = state_file_bytes(m, "", "", rewind_state_options());
    // States of one cartridge all have the same length; another length
    // means another cartridge, whose history starts afresh.
    if (!newest_.empty() && newest_.size() != state.size()) clear();
    if (!newest_.empty()) {
        encode_difference(newest_, state, scratch_);
        std::vector<uint8_t> packed;
        if (!packer_->pack(scratch_, packed)) {
            clear();  // without its difference the history cannot be followed
        } else {
            delta_bytes_ += packed.size();
            deltas_.push_back(Delta{uint32_t(scratch_.size()), std::move(packed)});
        }
    }
    newest_ = std::move(state);
    drop_oldest_over_budget();
}

bool RewindBuffer::step_back(Machine& m) {
    if (deltas_.empty()) return false;
    const Delta& d = deltas_.back();
    std::vector<uint8_t> older = newest_;
    if (!packer_->unpack(d.packed, scratch_, d.size) || !apply_difference(scratch_, older) ||
        !load_state_bytes(m, older.data(), older.size(), rewind_state_options())) {
        clear();
        return false;
    }
    delta_bytes_ -= d.packed.size();
    deltas_.pop_back();
    newest_ = std::move(older);
    return true;
}

void RewindBuffer::drop_oldest_over_budget() {
    while (!deltas_.empty() && memory_bytes() > budget_) {
        delta_bytes_ -= deltas_.front().packed.size();
        deltas_.pop_front();
    }
}

}  // namespace vt
