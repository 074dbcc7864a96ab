// Files that appear whole or not at all. Everything the program writes
// (battery RAM, states, real-time saves, pictures, dumps, recordings, logs
// that replace an older one) goes through here: the bytes go to a fresh
// temporary file in the target's folder, created exclusively under a unique
// name so nothing planted at a fixed name (a symlink, a folder) can capture
// or block the write; the file is flushed to disk, renamed over the target,
// and the folder is flushed so the rename survives a power loss.
//
// When the target itself is a symbolic link (a user keeping battery saves
// elsewhere), the write goes to the file the link names and the link stays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vt {

class AtomicFile {
public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    // An uncommitted file is thrown away.
    ~AtomicFile();

    // Creates the temporary file for `path`. False with `error()` set when
    // the folder is missing or not writable.
    bool open(const std::string& path);
    bool is_open() const { return fd_ >= 0; }

    // Appends bytes. A failed write (a full disk) is remembered: commit
    // then fails and the target is left as it was.
    bool write(const void* data, size_t size);
    // Overwrites bytes already written (a header completed at the end).
    bool write_at(uint64_t offset, const void* data, size_t size);

    // Flushes, renames over the target and flushes the folder. False with
    // `error()` set when any step failed; the target is then unchanged and
    // the temporary file is gone.
    bool commit();
    // Throws the temporary file away; the target is unchanged.
    void discard();

    // The reason of the last failure ("No space left on device", ...).
    const std::string& error() const { return error_; }
    // The file that commit replaces (the link's target for a symlink).
    const std::string& target() const { return target_; }

private:
    bool fail(const std::string& what);

    int fd_ = -1;
    bool failed_ = false;
    std::string target_;
    std::string temporary_;
    std::string error_;
};

// The whole file at once. On failure `error` (when given) says why.
bool write_file_atomically(const std::string& path, const uint8_t* data, size_t size,
                           std::string* error = nullptr);
inline bool write_file_atomically(const std::string& path, const std::vector<uint8_t>& bytes,
                                  std::string* error = nullptr) {
    return write_file_atomically(path, bytes.data(), bytes.size(), error);
}

}  // namespace vt
