// The mapper rows, one per board family file; nes_mapper_table.cpp lists them.
#pragma once

#include "nes/nes_side.h"

namespace vt {

extern const NesMapper kNesMapperNrom;
extern const NesMapper kNesMapperMmc1;
extern const NesMapper kNesMapperUxrom;
extern const NesMapper kNesMapperCnrom;
extern const NesMapper kNesMapperMmc3;
extern const NesMapper kNesMapperAxrom;
extern const NesMapper kNesMapperColorDreams;
extern const NesMapper kNesMapperTaitoTc0190;
extern const NesMapper kNesMapperRambo1;
extern const NesMapper kNesMapperGxrom;

}  // namespace vt
