# Cartridge images assembled from 65816 source with ca65/ld65.
#
#   add_snes_rom(<target> OUTPUT <file.sfc> CONFIG <ld65 cfg> SOURCES <.s files>
#                [INCLUDES <dirs>] [BIN_INCLUDES <dirs>] [DEPENDS <files>])
#
# Builds <file.sfc> in the current binary directory and fixes its internal
# header checksum. BIN_INCLUDES are searched by .incbin; DEPENDS are files
# (made by the build, for example) that every source needs.
find_program(CA65 ca65 REQUIRED)
find_program(LD65 ld65 REQUIRED)

function(add_snes_rom target)
  cmake_parse_arguments(R "" "OUTPUT;CONFIG" "SOURCES;INCLUDES;BIN_INCLUDES;DEPENDS" ${ARGN})
  set(objects)
  set(include_flags)
  foreach(dir ${R_INCLUDES})
    list(APPEND include_flags -I ${dir})
  endforeach()
  foreach(dir ${R_BIN_INCLUDES})
    list(APPEND include_flags --bin-include-dir ${dir})
  endforeach()
  foreach(src ${R_SOURCES})
    get_filename_component(base ${src} NAME_WE)
    set(obj ${CMAKE_CURRENT_BINARY_DIR}/${target}/${base}.o)
    set(dep ${CMAKE_CURRENT_BINARY_DIR}/${target}/${base}.d)
    add_custom_command(
      OUTPUT ${obj}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/${target}
      COMMAND ${CA65} --cpu 65816 ${include_flags} --create-dep ${dep} -o ${obj} ${src}
      DEPENDS ${src} ${R_DEPENDS}
      DEPFILE ${dep}
      COMMENT "Assembling ${target}/${base}.s"
      VERBATIM)
    list(APPEND objects ${obj})
  endforeach()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${R_OUTPUT})
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${LD65} -C ${R_CONFIG} -o ${out} ${objects}
    COMMAND snes-fix-checksum ${out}
    DEPENDS ${objects} ${R_CONFIG} snes-fix-checksum
    COMMENT "Linking ${R_OUTPUT}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${out})
endfunction()

# An NES image (iNES) from 6502 sources: ca65 --cpu 6502, ld65 with the
# given config; the iNES header is part of the sources (tests/roms/nes/include/nes.inc).
function(add_nes_rom target)
  cmake_parse_arguments(R "" "OUTPUT;CONFIG" "SOURCES;INCLUDES" ${ARGN})
  set(objects)
  set(include_flags)
  foreach(dir ${R_INCLUDES})
    list(APPEND include_flags -I ${dir})
  endforeach()
  foreach(src ${R_SOURCES})
    get_filename_component(base ${src} NAME_WE)
    set(obj ${CMAKE_CURRENT_BINARY_DIR}/${target}/${base}.o)
    set(dep ${CMAKE_CURRENT_BINARY_DIR}/${target}/${base}.d)
    add_custom_command(
      OUTPUT ${obj}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/${target}
      COMMAND ${CA65} --cpu 6502 ${include_flags} --create-dep ${dep} -o ${obj} ${src}
      DEPENDS ${src}
      DEPFILE ${dep}
      COMMENT "Assembling ${target}/${base}.s"
      VERBATIM)
    list(APPEND objects ${obj})
  endforeach()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${R_OUTPUT})
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${LD65} -C ${R_CONFIG} -o ${out} ${objects}
    DEPENDS ${objects} ${R_CONFIG}
    COMMENT "Linking ${R_OUTPUT}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${out})
endfunction()
