// Names of the publishers ("licensees") by the code in the internal header.
#pragma once

#include <cstdint>
#include <string>

namespace vt {

// "Unknown " followed by the decimal code for codes not in the list.
std::string licensee_name(uint8_t code);

}  // namespace vt
