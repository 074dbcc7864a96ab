// A parallel port for the tests: a copier that is always ready (or never
// answers), recording the bytes put on the data lines and the strobes.
#pragma once

#include <cstdint>
#include <vector>

#include "frontend/parallel_port.h"

namespace vt::test {

class RecordingPort : public ParallelPort {
public:
    explicit RecordingPort(bool copier_answers = true) : answers_(copier_answers) {}

    uint8_t read_status() override {
        status_reads++;
        return answers_ ? 0x80 : 0x00;
    }
    void write_data(uint8_t value) override {
        data.push_back(value);
        strobes_at_data.push_back(strobes);
    }
    uint8_t read_control() override { return control_; }
    void write_control(uint8_t value) override {
        if ((value ^ control_) & 0x01) strobes++;
        control_ = value;
    }

    std::vector<uint8_t> data;
    std::vector<uint64_t> strobes_at_data;  // strobes before each data byte
    uint64_t strobes = 0;
    uint64_t status_reads = 0;

private:
    bool answers_;
    uint8_t control_ = 0x04;
};

// Hands a test-owned RecordingPort to code that wants to own its port.
class BorrowedPort : public ParallelPort {
public:
    explicit BorrowedPort(RecordingPort& port) : port_(port) {}
    uint8_t read_status() override { return port_.read_status(); }
    void write_data(uint8_t value) override { port_.write_data(value); }
    uint8_t read_control() override { return port_.read_control(); }
    void write_control(uint8_t value) override { port_.write_control(value); }

private:
    RecordingPort& port_;
};

}  // namespace vt::test
