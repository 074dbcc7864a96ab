// A tiny assembler for NEC DSP programs in tests: each function gives one
// 24-bit instruction word.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

#include "coproc/necdsp/necdsp.h"
#include "coproc/necdsp/necdsp_ops.h"

namespace vt::test::nec {

struct Op {
    unsigned p = kNecPRam;
    unsigned alu = kNecAluNop;
    bool b = false;  // ACCB instead of ACCA
    unsigned dpl = kNecDplNop;
    unsigned dphm = 0;
    bool rpdcr = false;
    unsigned src = kNecSrcTrb;
    unsigned dst = kNecDstNon;
};

inline uint32_t op(Op o) {
    return uint32_t(o.p) << 20 | uint32_t(o.alu) << 16 | uint32_t(o.b) << 15 | uint32_t(o.dpl) << 13 |
           uint32_t(o.dphm) << 9 | uint32_t(o.rpdcr) << 8 | uint32_t(o.src) << 4 | uint32_t(o.dst);
}
inline uint32_t rt(Op o) { return op(o) | 1u << 22; }
// A move: SRC onto the bus, DST takes it.
inline uint32_t mov(unsigned src, unsigned dst) { return op({.src = src, .dst = dst}); }
inline uint32_t jp(unsigned condition, uint32_t target) {
    return 2u << 22 | (condition & 0x1FF) << 13 | (target & 0x7FF) << 2 | ((target >> 11) & 3);
}
inline uint32_t ld(unsigned dst, uint16_t value) { return 3u << 22 | uint32_t(value) << 6 | dst; }

inline constexpr unsigned kJmp = 0x100, kCall = 0x140, kJrqm = 0x0BE, kJnrqm = 0x0BC;

// A chip of `model` with `words` at the start of its program (the rest 0,
// which is a NOP) and `data` in its data ROM, after power-on.
inline std::unique_ptr<NecDsp> chip(std::initializer_list<uint32_t> words, NecDspModel model = NecDspModel::Upd7725,
                                    std::vector<uint16_t> data = {}) {
    auto d = std::make_unique<NecDsp>();
    d->model = model;
    d->has_firmware = true;
    size_t i = 0;
    for (uint32_t w : words) d->program[i++] = w;
    for (size_t j = 0; j < data.size(); j++) d->data_rom[j] = data[j];
    necdsp_power_on(*d);
    return d;
}

// A firmware file of `model` holding `words` and `data`.
inline std::vector<uint8_t> firmware(NecDspModel model, std::span<const uint32_t> words,
                                     std::span<const uint16_t> data = {}) {
    std::vector<uint8_t> f(necdsp_firmware_size(model), 0);
    for (size_t i = 0; i < words.size(); i++) {
        f[i * 3] = uint8_t(words[i]);
        f[i * 3 + 1] = uint8_t(words[i] >> 8);
        f[i * 3 + 2] = uint8_t(words[i] >> 16);
    }
    const size_t data_at = (necdsp_program_mask(model) + 1) * 3;
    for (size_t i = 0; i < data.size(); i++) {
        f[data_at + i * 2] = uint8_t(data[i]);
        f[data_at + i * 2 + 1] = uint8_t(data[i] >> 8);
    }
    return f;
}

// "Take a word, answer it plus one, forever" in 16-bit transfers: the
// program asks for a word, waits, reads it without asking again, answers
// and waits until the host has read the answer.
inline std::vector<uint32_t> plus_one_program() {
    return {
        mov(kNecSrcDr, kNecDstNon),                                // 0: ask for a word
        jp(kJrqm, 1),                                              // 1: wait for it
        mov(kNecSrcDrnf, kNecDstA),                                // 2: take it
        op({.alu = kNecAluInc}),                                   // 3: plus one
        mov(kNecSrcA, kNecDstDr),                                  // 4: answer
        jp(kJrqm, 5),                                              // 5: wait until read
        jp(kJmp, 0),                                               // 6
    };
}

}  // namespace vt::test::nec
