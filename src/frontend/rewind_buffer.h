// The rewind history: the machine's state after every frame, kept in a
// fixed memory budget so that the game can be run backwards.
//
// The newest state is kept whole; every older one only as its difference
// from the state after it: the stretches that changed, XORed together,
// then deflated (a frame changes a few kilobytes of a state of about
// 330 KB, so this is both small and quick). Going back one frame undoes
// the newest difference; when the budget is full the oldest difference is
// dropped, which costs nothing because no other state depends on it.
//
// States are the chunked state-file image without thumbnail (battery RAM
// included, so a game that keeps work data there rewinds consistently).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace vt {

struct Machine;

// 64 MiB: well over 20 seconds of the demo and of typical games.
inline constexpr size_t kRewindBudgetBytes = size_t(64) * 1024 * 1024;

class RewindBuffer {
public:
    explicit RewindBuffer(size_t budget_bytes = kRewindBudgetBytes);
    ~RewindBuffer();
    RewindBuffer(const RewindBuffer&) = delete;
    RewindBuffer& operator=(const RewindBuffer&) = delete;

    // Keeps the machine's state as the newest (call between frames, with a
    // Gamepak loaded).
    void capture(const Machine& m);
    // Puts the machine back into the state kept before the newest and
    // makes that the newest. False, with nothing changed, when no older
    // state is kept.
    bool step_back(Machine& m);
    // Forgets everything (another cartridge).
    void clear();

    // States that step_back can still go back to.
    size_t steps_back() const { return deltas_.size(); }
    // Memory held: the differences and the newest state.
    size_t memory_bytes() const { return delta_bytes_ + newest_.size(); }
    size_t difference_bytes() const { return delta_bytes_; }
    size_t budget_bytes() const { return budget_; }

private:
    struct Delta {
        uint32_t size = 0;  // the difference's length before deflating
        std::vector<uint8_t> packed;
    };
    struct Packer;

    void drop_oldest_over_budget();

    size_t budget_;
    std::vector<uint8_t> newest_;
    std::deque<Delta> deltas_;  // oldest first
    size_t delta_bytes_ = 0;
    std::vector<uint8_t> scratch_;
    std::unique_ptr<Packer> packer_;
};

}  // namespace vt
