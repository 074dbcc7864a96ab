// What a file given to the programs holds, told by its content: a chunked
// state starts with "BPS2", a real-time save carries its mark ($AA $BB $08)
// at bytes 8-10, and anything else is taken for a cartridge image. A file
// named ".rts" is never taken for an image: the Load dialog sends real-time
// saves to the state loader whatever else they hold.
#pragma once

#include <cstdint>
#include <string>

namespace vt {

enum class FileKind : uint8_t { Unreadable, Image, ChunkedState, RealTimeSave };

// Reads the first bytes of `path`. Unreadable when the file cannot be
// opened or is not a file; `reason` then says why ("No such file or
// directory", "Is a directory", "Permission denied").
FileKind detect_file_kind(const std::string& path, std::string* reason = nullptr);
// The same for bytes in memory with the file's name.
FileKind file_kind_of(const std::string& path, const uint8_t* start, size_t size);

// The format a state written to `path` takes: a file being replaced keeps
// its format; a new one is a real-time save when its name ends in ".rts"
// (any case), else a chunked state.
FileKind state_format_for_saving(const std::string& path);

// "<path>: <reason>", the line that names a file and what went wrong.
std::string file_problem(const std::string& path, const std::string& reason);

}  // namespace vt
