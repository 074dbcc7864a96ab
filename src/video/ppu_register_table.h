// The PPU's registers $2100-$213F as a table (core/io_register.h): 60 rows
// in address order; $2138-$213B, the reads of the three memories, have no
// row.
#pragma once

#include <span>

#include "core/io_register.h"

namespace vt {

std::span<const IoRegister> ppu_register_table();

}  // namespace vt
