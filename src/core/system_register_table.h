// The CPU-side system registers $4200-$420D and $4210-$421F as a table
// (core/io_register.h): 30 rows in address order.
#pragma once

#include <span>

#include "core/io_register.h"

namespace vt {

std::span<const IoRegister> system_register_table();

}  // namespace vt
