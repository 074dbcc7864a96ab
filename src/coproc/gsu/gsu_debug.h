// The GSU's debug target and its instruction texts.
#pragma once

#include <string>

#include "coproc/gsu/gsu.h"
#include "core/debug_target.h"

namespace vt {

extern const DebugTarget kGsuTarget;

struct GsuInstructionText {
    std::string text;  // e.g. "iwt r1, #$1234"
    int length;        // bytes, opcode included
};

// The instruction `op` in ALT state `alt` (0-3), with the two bytes after
// it; `next` is the address of the byte after the opcode.
GsuInstructionText gsu_instruction_text(int alt, uint8_t op, uint8_t b1, uint8_t b2, uint16_t next);

}  // namespace vt
