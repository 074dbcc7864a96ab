#include "coproc/dsp/dsp1.h"

#include <algorithm>

#include "coproc/dsp/dsp1_tables.h"
#include "coproc/dsp/dsp_port.h"
#include "core/machine.h"

namespace vt {

namespace {

using namespace dsp1;

// Where a command's result words come from.
enum class Delivery : uint8_t {
    Results,  // the `out` words its routine computed
    DataRom,  // the 1,024 words of the data ROM
    Raster,   // four words per line, line after line while the main CPU only reads
};

struct CommandRow {
    Dsp1Command info;
    void (*run)(Dsp1& d) = nullptr;  // computes `out` from `in` once the last parameter is in
    Delivery delivery = Delivery::Results;
};

// --- the routines, one per operation

void run_multiply(Dsp1& d) { d.out[0] = product(d.in[0], d.in[1]); }
void run_multiply_plus_one(Dsp1& d) { d.out[0] = int16_t(product(d.in[0], d.in[1]) + 1); }

void run_inverse(Dsp1& d) {
    const auto r = inverse(d.in[0], d.in[1]);
    d.out[0] = r[0];
    d.out[1] = r[1];
}

void run_triangle(Dsp1& d) {
    const auto r = triangle(d.in[0], d.in[1]);
    d.out[0] = r[0];
    d.out[1] = r[1];
}

void run_radius(Dsp1& d) {
    const uint32_t r = radius(d.in[0], d.in[1], d.in[2]);
    d.out[0] = int16_t(uint16_t(r));
    d.out[1] = int16_t(uint16_t(r >> 16));
}

void run_range(Dsp1& d) { d.out[0] = range(d.in[0], d.in[1], d.in[2], d.in[3]); }
void run_range_plus_one(Dsp1& d) { d.out[0] = int16_t(range(d.in[0], d.in[1], d.in[2], d.in[3]) + 1); }
void run_distance(Dsp1& d) { d.out[0] = int16_t(distance(d.in[0], d.in[1], d.in[2])); }

void run_rotate(Dsp1& d) {
    const auto r = rotate(d.in[0], d.in[1], d.in[2]);
    d.out[0] = r[0];
    d.out[1] = r[1];
}

void run_polar(Dsp1& d) {
    const auto r = polar(d.in[0], d.in[1], d.in[2], d.in[3], d.in[4], d.in[5]);
    std::copy(r.begin(), r.end(), d.out.begin());
}

void run_parameter(Dsp1& d) {
    d.projection = {d.in[0], d.in[1], d.in[2], d.in[3], d.in[4], d.in[5], d.in[6]};
    d.out = parameter(d.projection);
}

void run_raster(Dsp1& d) {
    d.raster_line = d.in[0];
    d.out = raster(d.projection, d.raster_line);
}

void run_project(Dsp1& d) {
    const auto r = project(d.projection, d.in[0], d.in[1], d.in[2]);
    std::copy(r.begin(), r.end(), d.out.begin());
}

void run_target(Dsp1& d) {
    const auto r = target(d.projection, d.in[0], d.in[1]);
    d.out[0] = r[0];
    d.out[1] = r[1];
}

template <int Matrix>
void run_attitude(Dsp1& d) {
    d.matrix[Matrix] = attitude(d.in[0], d.in[1], d.in[2], d.in[3]);
}

template <int Matrix>
void run_objective(Dsp1& d) {
    const auto r = objective(d.matrix[Matrix], d.in[0], d.in[1], d.in[2]);
    std::copy(r.begin(), r.end(), d.out.begin());
}

template <int Matrix>
void run_subjective(Dsp1& d) {
    const auto r = subjective(d.matrix[Matrix], d.in[0], d.in[1], d.in[2]);
    std::copy(r.begin(), r.end(), d.out.begin());
}

template <int Matrix>
void run_scalar(Dsp1& d) {
    d.out[0] = scalar(d.matrix[Matrix], d.in[0], d.in[1], d.in[2]);
}

void run_gyrate(Dsp1& d) {
    const auto r = gyrate(d.in[0], d.in[1], d.in[2], d.in[3], d.in[4], d.in[5]);
    std::copy(r.begin(), r.end(), d.out.begin());
}

void run_memory_test(Dsp1& d) { d.out[0] = 0; }
void run_memory_size(Dsp1& d) { d.out[0] = 0x0100; }
void run_nothing(Dsp1&) {}

// --- the command table, $00-$3F

using Table = std::array<CommandRow, 64>;

constexpr Table build_table() {
    Table t{};
    auto set = [&t](std::initializer_list<int> codes, const char* name, uint8_t in, uint16_t out,
                    void (*run)(Dsp1&), Delivery delivery = Delivery::Results) {
        for (int code : codes) t[size_t(code)] = {{name, in, out}, run, delivery};
    };
    set({0x00}, "Multiply", 2, 1, &run_multiply);
    set({0x20}, "Multiply + 1", 2, 1, &run_multiply_plus_one);
    set({0x10, 0x30}, "Inverse", 2, 2, &run_inverse);
    set({0x04, 0x24}, "Triangle", 2, 2, &run_triangle);
    set({0x08}, "Radius", 3, 2, &run_radius);
    set({0x18}, "Range", 4, 1, &run_range);
    set({0x38}, "Range + 1", 4, 1, &run_range_plus_one);
    set({0x28}, "Distance", 3, 1, &run_distance);
    set({0x0C, 0x2C}, "Rotate", 3, 2, &run_rotate);
    set({0x1C, 0x3C}, "Polar", 6, 3, &run_polar);
    set({0x02, 0x12, 0x22, 0x32}, "Parameter", 7, 4, &run_parameter);
    set({0x0A, 0x1A, 0x2A, 0x3A}, "Raster", 1, 4, &run_raster, Delivery::Raster);
    set({0x06, 0x16, 0x26, 0x36}, "Project", 3, 3, &run_project);
    set({0x0E, 0x1E, 0x2E, 0x3E}, "Target", 2, 2, &run_target);
    set({0x01, 0x05, 0x31, 0x35}, "Attitude A", 4, 0, &run_attitude<0>);
    set({0x11, 0x15}, "Attitude B", 4, 0, &run_attitude<1>);
    set({0x21, 0x25}, "Attitude C", 4, 0, &run_attitude<2>);
    set({0x09, 0x0D, 0x39, 0x3D}, "Objective A", 3, 3, &run_objective<0>);
    set({0x19, 0x1D}, "Objective B", 3, 3, &run_objective<1>);
    set({0x29, 0x2D}, "Objective C", 3, 3, &run_objective<2>);
    set({0x03, 0x33}, "Subjective A", 3, 3, &run_subjective<0>);
    set({0x13}, "Subjective B", 3, 3, &run_subjective<1>);
    set({0x23}, "Subjective C", 3, 3, &run_subjective<2>);
    set({0x0B}, "Scalar A", 3, 1, &run_scalar<0>);
    set({0x1B, 0x3B}, "Scalar B", 3, 1, &run_scalar<1>);
    set({0x2B}, "Scalar C", 3, 1, &run_scalar<2>);
    set({0x14, 0x34}, "Gyrate", 6, 3, &run_gyrate);
    set({0x07, 0x0F}, "Memory test", 0, 1, &run_memory_test);
    set({0x17, 0x1F, 0x37, 0x3F}, "Data ROM dump", 0, dsp1::kDataRomWords, &run_nothing, Delivery::DataRom);
    set({0x27, 0x2F}, "Memory size", 0, 1, &run_memory_size);
    return t;
}

constexpr Table kTable = build_table();

constexpr bool every_command_has_a_routine() {
    for (const CommandRow& row : kTable) {
        if (!row.run) return false;
    }
    return true;
}
static_assert(every_command_has_a_routine(), "the DSP-1 answers every command below $40");

// A routine starts at the transfer after the command byte: a command
// without parameters passes that transfer over.
uint16_t transfers_before_results(const CommandRow& row) { return std::max<uint16_t>(row.info.inputs, 1); }

uint16_t result_word(const Dsp1& d, const CommandRow& row) {
    if (row.delivery == Delivery::DataRom) return dsp1::data_rom()[d.index];
    return uint16_t(d.out[d.index]);
}

void wait_for_command(Dsp1& d, DspPort& p) {
    d.phase = Dsp1Phase::Command;
    d.index = 0;
    dsp_port_idle(p);
}

void start_results(Dsp1& d, DspPort& p, const CommandRow& row) {
    d.index = 0;
    if (row.info.outputs == 0) {
        wait_for_command(d, p);
        return;
    }
    d.phase = Dsp1Phase::Results;
    p.dr = result_word(d, row);
}

// The command byte has arrived in DR's low byte.
void take_command(Dsp1& d, DspPort& p) {
    const uint8_t command = uint8_t(p.dr);
    if (command >= 0x40) {
        wait_for_command(d, p);  // ignored; the loop keeps waiting
        return;
    }
    d.command = command;
    d.phase = Dsp1Phase::Parameters;
    d.index = 0;
    p.sr = kDspStatusWords;
}

void take_parameter(Dsp1& d, DspPort& p) {
    const CommandRow& row = kTable[d.command];
    if (d.index < row.info.inputs) d.in[d.index] = int16_t(p.dr);
    d.index++;
    if (d.index < transfers_before_results(row)) return;
    row.run(d);
    start_results(d, p, row);
}

void next_result(Dsp1& d, DspPort& p) {
    const CommandRow& row = kTable[d.command];
    d.index++;
    if (d.index < row.info.outputs) {
        p.dr = result_word(d, row);
        return;
    }
    // Raster goes on with the next line while DR still holds the line's
    // last word, that is while the main CPU has only read.
    if (row.delivery == Delivery::Raster && p.dr == uint16_t(d.out[3])) {
        d.raster_line = int16_t(d.raster_line + 1);
        d.out = raster(d.projection, d.raster_line);
        start_results(d, p, row);
        return;
    }
    wait_for_command(d, p);
}

}  // namespace

const Dsp1Command& dsp1_command(uint8_t command) {
    static constexpr Dsp1Command kNone{};
    return command < 0x40 ? kTable[command].info : kNone;
}

void dsp1_reset(Machine& m) {
    m.dsp_family.dsp1 = Dsp1{};
    dsp_port_idle(m.dsp_family.port);
}

void dsp1_resume(Machine& m) {
    Dsp1& d = m.dsp_family.dsp1;
    DspPort& p = m.dsp_family.port;
    switch (d.phase) {
        case Dsp1Phase::Command: take_command(d, p); break;
        case Dsp1Phase::Parameters: take_parameter(d, p); break;
        case Dsp1Phase::Results: next_result(d, p); break;
    }
}

template <class Io>
void dsp1_state_io(Io& io, IoMachine<Io>& m) {
    auto& d = m.dsp_family.dsp1;
    io.enum8(d.phase, 3, Dsp1Phase::Command);
    io.u8_masked(d.command, 0x3F);
    io.u16(d.index);
    for (auto& v : d.in) io.i16(v);
    for (auto& v : d.out) io.i16(v);
    io.i16(d.raster_line);
    for (auto& matrix : d.matrix) {
        for (auto& v : matrix) io.i16(v);
    }
    auto& pr = d.projection;
    for (auto* v : {&pr.fx, &pr.fy, &pr.fz, &pr.lfe, &pr.les, &pr.aas, &pr.azs}) io.i16(*v);
    if constexpr (Io::loading) {
        // Keep the place inside the command's transfers.
        const CommandRow& row = kTable[d.command];
        if (d.phase == Dsp1Phase::Command) d.index = 0;
        if (d.phase == Dsp1Phase::Parameters) d.index = std::min<uint16_t>(d.index, transfers_before_results(row) - 1);
        if (d.phase == Dsp1Phase::Results) {
            if (row.info.outputs == 0) d.phase = Dsp1Phase::Command, d.index = 0;
            else d.index = std::min<uint16_t>(d.index, row.info.outputs - 1);
        }
    }
}

template void dsp1_state_io<StateWriter>(StateWriter&, const Machine&);
template void dsp1_state_io<StateReader>(StateReader&, Machine&);

}  // namespace vt
