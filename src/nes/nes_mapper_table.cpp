#include <string>

#include "nes/nes_mapper_rows.h"

namespace vt {

namespace {

const NesMapper* const kMappers[] = {
    &kNesMapperNrom,  &kNesMapperMmc1,        &kNesMapperUxrom,        &kNesMapperCnrom,  &kNesMapperMmc3,
    &kNesMapperAxrom, &kNesMapperColorDreams, &kNesMapperTaitoTc0190, &kNesMapperRambo1, &kNesMapperGxrom,
};

}  // namespace

const NesMapper* nes_mapper_for(uint16_t number) {
    for (const NesMapper* m : kMappers) {
        if (m->number == number) return m;
    }
    return nullptr;
}

std::string nes_mapper_name(uint16_t number) {
    const NesMapper* m = nes_mapper_for(number);
    return m ? m->name : "Mapper " + std::to_string(number);
}

}  // namespace vt
