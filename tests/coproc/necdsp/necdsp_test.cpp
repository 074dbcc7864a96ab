// The NEC DSP interpreter on small programs: the ALU and its flags on both
// accumulators, the multiplier, every source and destination, the DP and
// RP modifiers, the jump conditions, calls and returns, the host's
// handshake and the firmware file.
#include <gtest/gtest.h>

#include "coproc/necdsp/necdsp_asm.h"

namespace vt::test {
namespace {

using namespace nec;

struct AluCase {
    unsigned alu;
    uint16_t acc, p;
    bool other_carry;
    uint16_t result;
    bool s0, z, c, ov0;
};

// Each operation from ACC with P = TR through the bus, on ACCA and on ACCB.
TEST(NecDspAlu, EveryOperationAndItsFlagsOnBothAccumulators) {
    const AluCase cases[] = {
        {kNecAluOr, 0x00F0, 0x0F00, false, 0x0FF0, false, false, false, false},
        {kNecAluAnd, 0xFF00, 0x0FF0, false, 0x0F00, false, false, false, false},
        {kNecAluXor, 0xFFFF, 0xFFFF, false, 0x0000, false, true, false, false},
        {kNecAluSub, 0x0001, 0x0002, false, 0xFFFF, true, false, true, false},
        {kNecAluSub, 0x8000, 0x0001, false, 0x7FFF, false, false, false, true},
        {kNecAluAdd, 0x7FFF, 0x0001, false, 0x8000, true, false, false, true},
        {kNecAluAdd, 0xFFFF, 0x0001, false, 0x0000, false, true, true, false},
        {kNecAluSbb, 0x0005, 0x0003, true, 0x0001, false, false, false, false},
        {kNecAluSbb, 0x0005, 0x0003, false, 0x0002, false, false, false, false},
        {kNecAluSbb, 0x0003, 0x0003, true, 0xFFFF, true, false, true, false},
        {kNecAluAdc, 0x0005, 0x0003, true, 0x0009, false, false, false, false},
        {kNecAluAdc, 0xFFFF, 0x0000, true, 0x0000, false, true, true, false},
        {kNecAluDec, 0x0000, 0x1234, false, 0xFFFF, true, false, true, false},
        {kNecAluDec, 0x8000, 0x1234, false, 0x7FFF, false, false, false, true},
        {kNecAluInc, 0xFFFF, 0x1234, false, 0x0000, false, true, true, false},
        {kNecAluCmp, 0x1234, 0x0000, false, 0xEDCB, true, false, false, false},
        {kNecAluShr1, 0x8003, 0x0000, false, 0xC001, true, false, true, false},
        {kNecAluShr1, 0x0002, 0x0000, true, 0x0001, false, false, false, false},
        {kNecAluShl1, 0x8001, 0x0000, true, 0x0003, false, false, true, false},
        {kNecAluShl1, 0x4001, 0x0000, false, 0x8002, true, false, false, false},
        {kNecAluShl2, 0x4001, 0x0000, false, 0x0007, false, false, false, false},
        {kNecAluShl4, 0x1234, 0x0000, true, 0x234F, false, false, false, false},
        {kNecAluXchg, 0x1234, 0x0000, false, 0x3412, false, false, false, false},
    };
    for (bool on_b : {false, true}) {
        for (const AluCase& c : cases) {
            auto d = chip({op({.p = kNecPIdb, .alu = c.alu, .b = on_b, .src = kNecSrcTr})});
            (on_b ? d->accb : d->acca) = c.acc;
            (on_b ? d->acca : d->accb) = 0x5555;
            d->tr = c.p;
            // Stale flags of its own, to see each operation set or clear them.
            NecDspFlags& f = on_b ? d->fb : d->fa;
            f = {.s0 = !c.s0, .s1 = true, .z = !c.z, .c = !c.c, .ov0 = !c.ov0, .ov1 = false};
            (on_b ? d->fa : d->fb).c = c.other_carry;
            necdsp_step(*d);
            SCOPED_TRACE(testing::Message() << kNecAluNames[c.alu] << " " << std::hex << c.acc << "," << c.p
                                           << (on_b ? " on ACCB" : " on ACCA"));
            EXPECT_EQ(on_b ? d->accb : d->acca, c.result);
            EXPECT_EQ(on_b ? d->acca : d->accb, 0x5555);  // the other accumulator stays
            EXPECT_EQ(f.s0, c.s0);
            EXPECT_EQ(f.z, c.z);
            EXPECT_EQ(f.c, c.c);
            EXPECT_EQ(f.ov0, c.ov0);
        }
    }
}

TEST(NecDspAlu, NopLeavesAccumulatorAndFlags) {
    auto d = chip({op({.p = kNecPIdb, .alu = kNecAluNop, .src = kNecSrcTr})});
    d->acca = 0x1234;
    d->tr = 0xFFFF;
    d->fa = {.s0 = true, .s1 = false, .z = true, .c = true, .ov0 = true, .ov1 = true};
    necdsp_step(*d);
    EXPECT_EQ(d->acca, 0x1234);
    EXPECT_TRUE(d->fa.c && d->fa.ov1 && d->fa.z && d->fa.s0);
}

TEST(NecDspAlu, PSelectsRamIdbMAndN) {
    for (unsigned p : {kNecPRam, kNecPIdb, kNecPM, kNecPN}) {
        auto d = chip({op({.p = p, .alu = kNecAluAdd, .src = kNecSrcTr})});
        d->dp = 3;
        d->ram[3] = 0x0100;
        d->tr = 0x0200;
        d->m = 0x0300;
        d->n = 0x0400;
        necdsp_step(*d);
        EXPECT_EQ(d->acca, 0x0100 * (p + 1)) << p;
    }
}

// OV1 says whether a run of additions has left the 16-bit range; S1 then
// keeps the direction, so SGN gives the value to saturate to.
TEST(NecDspAlu, Ov1AndS1FollowARunOfAdditions) {
    auto d = chip({});
    for (int i = 0; i < 8; i++) d->program[size_t(i)] = op({.p = kNecPIdb, .alu = kNecAluAdd, .src = kNecSrcTr});
    d->program[8] = mov(kNecSrcSgn, kNecDstB);
    struct Step {
        uint16_t add, result;
        bool ov0, ov1, s1;
    } steps[] = {
        {0x7000, 0x7000, false, false, false},  // in range
        {0x7000, 0xE000, true, true, true},     // over the top: saturate to $7FFF
        {0x7000, 0x5000, false, true, true},    // further out, no new overflow
        {0xA000, 0xF000, false, true, true},    // back down, still out
        {0xA000, 0x9000, false, true, true},
        {0xA000, 0x3000, true, false, false},   // back into range: an overflow the other way
        {0x9000, 0xC000, false, false, true},   // in range, negative: S1 follows S0
    };
    for (const Step& s : steps) {
        d->tr = s.add;
        necdsp_step(*d);
        SCOPED_TRACE(testing::Message() << std::hex << "+" << s.add);
        EXPECT_EQ(d->acca, s.result);
        EXPECT_EQ(d->fa.ov0, s.ov0);
        EXPECT_EQ(d->fa.ov1, s.ov1);
        EXPECT_EQ(d->fa.s1, s.s1);
    }
    // An overflow upwards gives SGN $7FFF.
    d->acca = 0x7FFF;
    d->tr = 1;
    necdsp_step(*d);
    EXPECT_TRUE(d->fa.ov1);
    necdsp_step(*d);
    EXPECT_EQ(d->accb, 0x7FFF);
    // Logic clears OV1.
    auto e = chip({op({.p = kNecPIdb, .alu = kNecAluOr, .src = kNecSrcTr}), mov(kNecSrcSgn, kNecDstB)});
    e->fa = {.s0 = true, .s1 = true, .z = false, .c = true, .ov0 = true, .ov1 = true};
    necdsp_step(*e);
    EXPECT_FALSE(e->fa.ov1 || e->fa.ov0 || e->fa.c || e->fa.s1);
    necdsp_step(*e);
    EXPECT_EQ(e->accb, 0x8000);
}

TEST(NecDspMultiplier, MAndNHoldKTimesLShiftedLeftOnceAfterEveryInstruction) {
    struct Case {
        uint16_t k, l, m, n;
    } cases[] = {{0x4000, 0x4000, 0x2000, 0x0000}, {0xFFFF, 0x0001, 0xFFFF, 0xFFFE},
                 {0x8000, 0x8000, 0x8000, 0x0000}, {0x0003, 0x0005, 0x0000, 0x001E},
                 {0x7FFF, 0x8000, 0x8001, 0x0000}};
    for (const Case& c : cases) {
        auto d = chip({ld(kNecDstK, c.k), ld(kNecDstL, c.l)});
        necdsp_step(*d);
        necdsp_step(*d);
        EXPECT_EQ(d->m, c.m) << c.k << "x" << c.l;
        EXPECT_EQ(d->n, c.n) << c.k << "x" << c.l;
    }
}

TEST(NecDspBus, EverySourceOntoTheBus) {
    struct Case {
        unsigned src;
        uint16_t expected;
    } cases[] = {{kNecSrcTrb, 0x1111}, {kNecSrcA, 0x2222}, {kNecSrcB, 0x3333}, {kNecSrcTr, 0x4444},
                 {kNecSrcDp, 0x0025}, {kNecSrcRp, 0x0002}, {kNecSrcRo, 0xBEEF}, {kNecSrcSgn, 0x7FFF},
                 {kNecSrcDr, 0x5555}, {kNecSrcDrnf, 0x5555}, {kNecSrcSr, 0x0480}, {kNecSrcSim, 0x0001},
                 {kNecSrcSil, 0x8000}, {kNecSrcK, 0x6666}, {kNecSrcL, 0x7777}, {kNecSrcMem, 0x8888}};
    for (const Case& c : cases) {
        auto d = chip({mov(c.src, kNecDstTr)}, NecDspModel::Upd7725, {0, 0, 0xBEEF});
        d->trb = 0x1111;
        d->acca = 0x2222;
        d->accb = 0x3333;
        d->tr = 0x4444;
        d->dp = 0x25;
        d->rp = 2;
        d->fa.s1 = true;
        d->dr = 0x5555;
        d->sr = 0x0480;
        d->si = 0x0001;
        d->k = 0x6666;
        d->l = 0x7777;
        d->ram[0x25] = 0x8888;
        necdsp_step(*d);
        EXPECT_EQ(d->tr, c.expected) << kNecSrcNames[c.src];
        // Only reading DR asks the host for the next word.
        EXPECT_EQ((d->sr & kNecSrRqm) != 0, c.src == kNecSrcDr) << kNecSrcNames[c.src];
    }
    auto d = chip({mov(kNecSrcSgn, kNecDstTr)});
    necdsp_step(*d);
    EXPECT_EQ(d->tr, 0x8000);
}

TEST(NecDspBus, EveryDestinationTakesTheBus) {
    auto run = [](unsigned dst, NecDspModel model = NecDspModel::Upd7725) {
        auto d = chip({ld(dst, 0x1234)}, model, {0, 0, 0, 0xCAFE});
        d->rp = 3;
        d->dp = 0x05;
        d->ram[0x45] = 0xF00D;
        necdsp_step(*d);
        return d;
    };
    EXPECT_EQ(run(kNecDstA)->acca, 0x1234);
    EXPECT_EQ(run(kNecDstB)->accb, 0x1234);
    EXPECT_EQ(run(kNecDstTr)->tr, 0x1234);
    EXPECT_EQ(run(kNecDstDp)->dp, 0x34);  // 8 bits on the uPD77C25
    EXPECT_EQ(run(kNecDstDp, NecDspModel::Upd96050)->dp, 0x234);
    EXPECT_EQ(run(kNecDstRp)->rp, 0x234);  // 10 bits
    EXPECT_EQ(run(kNecDstRp, NecDspModel::Upd96050)->rp, 0x234);
    auto dr = run(kNecDstDr);
    EXPECT_EQ(dr->dr, 0x1234);
    EXPECT_TRUE(dr->sr & kNecSrRqm);
    EXPECT_EQ(run(kNecDstSom)->so, 0x1234);
    EXPECT_EQ(run(kNecDstSol)->so, 0x2C48);
    EXPECT_EQ(run(kNecDstK)->k, 0x1234);
    EXPECT_EQ(run(kNecDstL)->l, 0x1234);
    EXPECT_EQ(run(kNecDstTrb)->trb, 0x1234);
    EXPECT_EQ(run(kNecDstMem)->ram[0x05], 0x1234);
    auto klr = run(kNecDstKlr);
    EXPECT_EQ(klr->k, 0x1234);
    EXPECT_EQ(klr->l, 0xCAFE);  // the data ROM at RP
    auto klm = run(kNecDstKlm);
    EXPECT_EQ(klm->l, 0x1234);
    EXPECT_EQ(klm->k, 0xF00D);  // the RAM at DP | $40
    auto nothing = run(kNecDstNon);
    EXPECT_EQ(nothing->acca, 0);
    EXPECT_EQ(nothing->ram[0x05], 0);

    // SR: only the program's bits; RQM and DRS belong to the handshake.
    auto sr = chip({ld(kNecDstSr, 0xFFFF), ld(kNecDstSr, 0x0000)});
    necdsp_step(*sr);
    EXPECT_EQ(sr->sr, 0x6F83);
    sr->sr |= kNecSrRqm | kNecSrDrs;
    necdsp_step(*sr);
    EXPECT_EQ(sr->sr, kNecSrRqm | kNecSrDrs);
}

TEST(NecDspBus, AluResultThenDestinationInOneInstruction) {
    // The ALU works on the old bus value; a DST of the same accumulator wins.
    auto d = chip({op({.p = kNecPIdb, .alu = kNecAluAdd, .src = kNecSrcA, .dst = kNecDstB}),
                   op({.p = kNecPIdb, .alu = kNecAluAdd, .src = kNecSrcTr, .dst = kNecDstA})});
    d->acca = 5;
    d->tr = 9;
    necdsp_step(*d);
    EXPECT_EQ(d->acca, 10);
    EXPECT_EQ(d->accb, 5);
    necdsp_step(*d);
    EXPECT_EQ(d->acca, 9);
}

TEST(NecDspPointers, DpAndRpModifiers) {
    struct Case {
        Op o;
        uint16_t dp, rp;
    } cases[] = {
        {{.dpl = kNecDplInc}, 0x30, 0x000},   // the low nibble wraps within itself
        {{.dpl = kNecDplDec}, 0x3E, 0x000},
        {{.dpl = kNecDplClr}, 0x30, 0x000},
        {{.dphm = 0x5}, 0x6F, 0x000},         // XOR into bits 4-7
        {{.dpl = kNecDplInc, .dphm = 0xF}, 0xC0, 0x000},
        {{.rpdcr = true}, 0x3F, 0x3FF},       // 10 bits: 0 - 1 = $3FF
        {{.dpl = kNecDplInc, .src = kNecSrcTr, .dst = kNecDstDp}, 0x11, 0x000},  // DST first, then DPL
    };
    for (const Case& c : cases) {
        auto d = chip({op(c.o)});
        d->dp = 0x3F;
        d->tr = 0x10;
        necdsp_step(*d);
        EXPECT_EQ(d->dp, c.dp) << std::hex << op(c.o);
        EXPECT_EQ(d->rp, c.rp) << std::hex << op(c.o);
    }
    auto big = chip({op({.rpdcr = true})}, NecDspModel::Upd96050);
    necdsp_step(*big);
    EXPECT_EQ(big->rp, 0x7FF);
}

TEST(NecDspJumps, EveryConditionTakenAndNot) {
    using Set = void (*)(NecDsp&, bool);
    struct Case {
        unsigned condition;
        Set set;
        bool jumps_when_set;
    } cases[] = {
        {0x080, [](NecDsp& d, bool v) { d.fa.c = v; }, false},
        {0x082, [](NecDsp& d, bool v) { d.fa.c = v; }, true},
        {0x084, [](NecDsp& d, bool v) { d.fb.c = v; }, false},
        {0x086, [](NecDsp& d, bool v) { d.fb.c = v; }, true},
        {0x088, [](NecDsp& d, bool v) { d.fa.z = v; }, false},
        {0x08A, [](NecDsp& d, bool v) { d.fa.z = v; }, true},
        {0x08C, [](NecDsp& d, bool v) { d.fb.z = v; }, false},
        {0x08E, [](NecDsp& d, bool v) { d.fb.z = v; }, true},
        {0x090, [](NecDsp& d, bool v) { d.fa.ov0 = v; }, false},
        {0x092, [](NecDsp& d, bool v) { d.fa.ov0 = v; }, true},
        {0x094, [](NecDsp& d, bool v) { d.fb.ov0 = v; }, false},
        {0x096, [](NecDsp& d, bool v) { d.fb.ov0 = v; }, true},
        {0x098, [](NecDsp& d, bool v) { d.fa.ov1 = v; }, false},
        {0x09A, [](NecDsp& d, bool v) { d.fa.ov1 = v; }, true},
        {0x09C, [](NecDsp& d, bool v) { d.fb.ov1 = v; }, false},
        {0x09E, [](NecDsp& d, bool v) { d.fb.ov1 = v; }, true},
        {0x0A0, [](NecDsp& d, bool v) { d.fa.s0 = v; }, false},
        {0x0A2, [](NecDsp& d, bool v) { d.fa.s0 = v; }, true},
        {0x0A4, [](NecDsp& d, bool v) { d.fb.s0 = v; }, false},
        {0x0A6, [](NecDsp& d, bool v) { d.fb.s0 = v; }, true},
        {0x0A8, [](NecDsp& d, bool v) { d.fa.s1 = v; }, false},
        {0x0AA, [](NecDsp& d, bool v) { d.fa.s1 = v; }, true},
        {0x0AC, [](NecDsp& d, bool v) { d.fb.s1 = v; }, false},
        {0x0AE, [](NecDsp& d, bool v) { d.fb.s1 = v; }, true},
        {0x0B0, [](NecDsp& d, bool v) { d.dp = v ? 0x50 : 0x51; }, true},
        {0x0B1, [](NecDsp& d, bool v) { d.dp = v ? 0x50 : 0x51; }, false},
        {0x0B2, [](NecDsp& d, bool v) { d.dp = v ? 0x5F : 0x5E; }, true},
        {0x0B3, [](NecDsp& d, bool v) { d.dp = v ? 0x5F : 0x5E; }, false},
        {0x0BC, [](NecDsp& d, bool v) { d.sr = v ? kNecSrRqm : 0; }, false},
        {0x0BE, [](NecDsp& d, bool v) { d.sr = v ? kNecSrRqm : 0; }, true},
    };
    for (const Case& c : cases) {
        for (bool v : {false, true}) {
            auto d = chip({jp(c.condition, 0x5A3)});
            c.set(*d, v);
            necdsp_step(*d);
            const bool jumped = d->pc == 0x5A3;
            EXPECT_EQ(jumped, v == c.jumps_when_set) << std::hex << c.condition << " flag " << v;
            if (!jumped) {
                EXPECT_EQ(d->pc, 1);
            }
        }
    }
    // The serial ports never acknowledge; unknown numbers never jump.
    for (auto [condition, jumps] : {std::pair{0x0B4u, true}, {0x0B6u, false}, {0x0B8u, true}, {0x0BAu, false},
                                    {0x081u, false}, {0x0FFu, false}, {0x000u, false}, {0x101u, false}}) {
        auto d = chip({jp(condition, 0x123)});
        necdsp_step(*d);
        EXPECT_EQ(d->pc == 0x123, jumps) << std::hex << condition;
    }
    auto jmp = chip({jp(kJmp, 0x7FF)});
    necdsp_step(*jmp);
    EXPECT_EQ(jmp->pc, 0x7FF);
    necdsp_step(*jmp);  // the program wraps at the model's size
    EXPECT_EQ(jmp->pc, 0);
}

TEST(NecDspJumps, Upd96050ReachesBothHalvesOfItsProgram) {
    auto d = chip({jp(0x101, 0x1234)}, NecDspModel::Upd96050);  // HJMP
    necdsp_step(*d);
    EXPECT_EQ(d->pc, 0x3234);
    d->program[0x3234] = jp(0x082, 0x0010);  // JCA stays in the upper half
    d->fa.c = true;
    necdsp_step(*d);
    EXPECT_EQ(d->pc, 0x2010);
    d->program[0x2010] = jp(kCall, 0x1800);  // LCALL into the lower half
    necdsp_step(*d);
    EXPECT_EQ(d->pc, 0x1800);
    d->program[0x1800] = rt({});
    necdsp_step(*d);
    EXPECT_EQ(d->pc, 0x2011);
    d->program[0x2011] = ld(kNecDstSom, 0x0042);
    d->program[0x2012] = jp(0x000, 0);  // JMPSO
    necdsp_step(*d);
    necdsp_step(*d);
    EXPECT_EQ(d->pc, 0x0042);
}

TEST(NecDspJumps, CallAndReturnWithTheStackDepth) {
    // Five nested calls on a four-level stack: the oldest return is lost.
    auto d = chip({jp(kCall, 0x10)});
    for (uint32_t i = 0; i < 4; i++) d->program[0x10 + i * 0x10] = jp(kCall, 0x20 + i * 0x10);
    for (uint32_t i = 0; i < 5; i++) d->program[0x50 + i] = rt({});
    for (int i = 0; i < 5; i++) necdsp_step(*d);
    EXPECT_EQ(d->pc, 0x50);
    std::vector<uint16_t> returns;
    for (int i = 0; i < 5; i++) {
        d->program[d->pc] = rt({});
        necdsp_step(*d);
        returns.push_back(d->pc);
    }
    EXPECT_EQ(returns, (std::vector<uint16_t>{0x41, 0x31, 0x21, 0x11, 0x41}));

    // An RT does its OP first.
    auto r = chip({jp(kCall, 0x20)});
    r->program[0x20] = rt({.alu = kNecAluInc, .src = kNecSrcA, .dst = kNecDstB});
    necdsp_step(*r);
    necdsp_step(*r);
    EXPECT_EQ(r->pc, 1);
    EXPECT_EQ(r->acca, 1);
    EXPECT_EQ(r->accb, 0);

    // Sixteen levels on the uPD96050.
    auto big = chip({}, NecDspModel::Upd96050);
    for (uint32_t i = 0; i < 16; i++) big->program[i * 4] = jp(kCall, (i + 1) * 4);
    big->program[64] = rt({});
    for (uint32_t i = 0; i < 16; i++) big->program[i * 4 + 1] = rt({});
    for (int i = 0; i < 16 + 16; i++) necdsp_step(*big);
    EXPECT_EQ(big->pc, 1);
}

// Take two words, answer their sum, then M and N of their product.
TEST(NecDspHost, SixteenBitHandshakeAnswersSumAndProduct) {
    auto d = chip({
        mov(kNecSrcDr, kNecDstNon),                                  // 0: ask for a
        jp(kJrqm, 1),                                                // 1
        mov(kNecSrcDr, kNecDstTr),                                   // 2: TR = a, ask for b
        jp(kJrqm, 3),                                                // 3
        mov(kNecSrcDrnf, kNecDstL),                                  // 4: L = b
        mov(kNecSrcTr, kNecDstK),                                    // 5: K = a
        op({.p = kNecPIdb, .alu = kNecAluXor, .src = kNecSrcA}),     // 6: A = 0
        op({.p = kNecPIdb, .alu = kNecAluAdd, .src = kNecSrcTr}),    // 7: A = a
        op({.p = kNecPIdb, .alu = kNecAluAdd, .src = kNecSrcL}),     // 8: A = a + b
        mov(kNecSrcA, kNecDstDr),                                    // 9: answer the sum
        jp(kJrqm, 10),                                               // 10
        op({.p = kNecPIdb, .alu = kNecAluXor, .b = true, .src = kNecSrcB}),  // 11
        op({.p = kNecPN, .alu = kNecAluAdd, .b = true}),             // 12: B = N
        mov(kNecSrcB, kNecDstDr),                                    // 13
        jp(kJrqm, 14),                                               // 14
        op({.p = kNecPIdb, .alu = kNecAluXor, .b = true, .src = kNecSrcB}),  // 15
        op({.p = kNecPM, .alu = kNecAluAdd, .b = true}),             // 16: B = M
        mov(kNecSrcB, kNecDstDr),                                    // 17
        jp(kJrqm, 18),                                               // 18
        jp(kJmp, 0),                                                 // 19
    });
    auto write_word = [&](uint16_t w) {
        EXPECT_EQ(necdsp_host_read_sr(*d), 0x80);
        EXPECT_FALSE(necdsp_host_write_dr(*d, uint8_t(w)));
        EXPECT_EQ(necdsp_host_read_sr(*d), 0x90);  // DRS: the high byte is next
        EXPECT_TRUE(necdsp_host_write_dr(*d, uint8_t(w >> 8)));
        EXPECT_EQ(necdsp_host_read_sr(*d), 0x00);
        EXPECT_TRUE(necdsp_run_until_request(*d, 1000));
    };
    auto read_word = [&] {
        uint8_t lo = 0, hi = 0;
        EXPECT_EQ(necdsp_host_read_sr(*d), 0x80);
        EXPECT_FALSE(necdsp_host_read_dr(*d, lo));
        EXPECT_TRUE(necdsp_host_read_dr(*d, hi));
        EXPECT_TRUE(necdsp_run_until_request(*d, 1000));
        return uint16_t(lo | hi << 8);
    };
    EXPECT_TRUE(necdsp_run_until_request(*d, 1000));
    EXPECT_EQ(d->pc, 1);
    struct Case {
        int16_t a, b;
    } cases[] = {{3, 5}, {-2, 7}, {0x4000, 0x4000}, {-32768, -1}};
    for (const Case& c : cases) {
        write_word(uint16_t(c.a));
        write_word(uint16_t(c.b));
        EXPECT_EQ(read_word(), uint16_t(c.a + c.b));
        const uint32_t product = uint32_t(int32_t(c.a) * int32_t(c.b)) << 1;
        EXPECT_EQ(read_word(), uint16_t(product));
        EXPECT_EQ(read_word(), uint16_t(product >> 16));
    }
}

TEST(NecDspHost, EightBitTransfersAfterTheProgramSetsDrc) {
    auto d = chip({
        ld(kNecDstSr, kNecSrDrc),                 // 0
        mov(kNecSrcDr, kNecDstNon),               // 1: ask for a byte
        jp(kJrqm, 2),                             // 2
        mov(kNecSrcDrnf, kNecDstA),               // 3
        op({.alu = kNecAluInc}),                  // 4
        mov(kNecSrcA, kNecDstDr),                 // 5
        jp(kJrqm, 6),                             // 6
        jp(kJmp, 1),                              // 7
    });
    EXPECT_TRUE(necdsp_run_until_request(*d, 100));
    for (uint8_t v : {0x41, 0xFF, 0x00}) {
        EXPECT_EQ(necdsp_host_read_sr(*d), 0x84);
        EXPECT_TRUE(necdsp_host_write_dr(*d, v));  // one byte completes the transfer
        EXPECT_TRUE(necdsp_run_until_request(*d, 100));
        uint8_t answer = 0;
        EXPECT_EQ(necdsp_host_peek_dr(*d), uint8_t(v + 1));
        EXPECT_TRUE(necdsp_host_read_dr(*d, answer));
        EXPECT_EQ(answer, uint8_t(v + 1));
        EXPECT_EQ(necdsp_host_read_sr(*d), 0x04);
        EXPECT_TRUE(necdsp_run_until_request(*d, 100));
    }
}

TEST(NecDspHost, RunUntilRequestStopsAtItsLimit) {
    auto d = chip({op({.alu = kNecAluInc}), jp(kJmp, 0)});
    EXPECT_FALSE(necdsp_run_until_request(*d, 1001));
    EXPECT_EQ(d->acca, 501);  // 1,001 instructions: 501 increments
    EXPECT_FALSE(d->sr & kNecSrRqm);
    // Already requesting: nothing runs.
    d->sr |= kNecSrRqm;
    EXPECT_TRUE(necdsp_run_until_request(*d, 1000));
    EXPECT_EQ(d->acca, 501);
}

TEST(NecDspHost, Upd96050RamAsLittleEndianBytesRepeating) {
    auto d = chip({}, NecDspModel::Upd96050);
    necdsp_host_write_ram(*d, 0x0002, 0x34);
    necdsp_host_write_ram(*d, 0x1003, 0x12);  // 4 KiB of RAM, repeated
    EXPECT_EQ(d->ram[1], 0x1234);
    EXPECT_EQ(necdsp_host_read_ram(*d, 0x7002), 0x34);
    EXPECT_EQ(necdsp_host_read_ram(*d, 0x0003), 0x12);
}

TEST(NecDspFirmware, OnlyTheModelsExactSizeLoads) {
    NecDsp d;
    std::vector<uint8_t> bytes(kUpd7725FirmwareSize - 1, 0xAA);
    EXPECT_FALSE(necdsp_load_firmware(d, NecDspModel::Upd7725, bytes));
    EXPECT_FALSE(d.has_firmware);
    const uint32_t words[] = {0x123456, 0xABCDEF};
    const uint16_t data[] = {0xBEEF, 0x1234};
    for (NecDspModel model : {NecDspModel::Upd7725, NecDspModel::Upd96050}) {
        const std::vector<uint8_t> f = firmware(model, words, data);
        const NecDspModel other = model == NecDspModel::Upd7725 ? NecDspModel::Upd96050 : NecDspModel::Upd7725;
        EXPECT_FALSE(necdsp_load_firmware(d, other, f));
        ASSERT_TRUE(necdsp_load_firmware(d, model, f));
        EXPECT_TRUE(d.has_firmware);
        EXPECT_EQ(d.model, model);
        EXPECT_EQ(d.program[0], 0x123456u);
        EXPECT_EQ(d.program[1], 0xABCDEFu);
        EXPECT_EQ(d.data_rom[0], 0xBEEF);
        EXPECT_EQ(d.data_rom[1], 0x1234);
    }
    EXPECT_EQ(kUpd7725FirmwareSize, 8192u);
    EXPECT_EQ(kUpd96050FirmwareSize, 53248u);
}

TEST(NecDspDisassembler, OneLinePerInstruction) {
    const NecDspModel small = NecDspModel::Upd7725;
    EXPECT_EQ(necdsp_instruction_text(small, op({.p = kNecPRam, .alu = kNecAluAdd, .dpl = kNecDplInc,
                                                 .src = kNecSrcDr, .dst = kNecDstK})),
              "OP   ADD ACCA,RAM SRC=DR DST=K DPINC");
    EXPECT_EQ(necdsp_instruction_text(small, rt({.alu = kNecAluShl1, .b = true, .rpdcr = true})),
              "RT   SHL1 ACCB RPDEC");
    EXPECT_EQ(necdsp_instruction_text(small, op({.dphm = 3, .src = kNecSrcRo, .dst = kNecDstKlr})),
              "OP   NOP SRC=RO DST=KLR DPHM=$3");
    EXPECT_EQ(necdsp_instruction_text(small, jp(0x082, 0x123)), "JP   JCA $0123");
    EXPECT_EQ(necdsp_instruction_text(small, jp(0x081, 0x123)), "JP   ?$081 $0123");
    EXPECT_EQ(necdsp_instruction_text(small, ld(kNecDstSr, 0x0400)), "LD   #$0400,SR");
    EXPECT_EQ(necdsp_instruction_text(NecDspModel::Upd96050, jp(0x101, 0x1234)), "JP   HJMP $1234");
}

}  // namespace
}  // namespace vt::test
