// A scratch folder for bad-input tests, with the kinds of file a reader may
// be handed by mistake: folders, pipes, devices, link loops, sparse giants.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vt::test {

class OddFiles {
public:
    // A fresh folder of its own under the system's temporary folder.
    explicit OddFiles(const std::string& name)
        : root_(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~OddFiles() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    OddFiles(const OddFiles&) = delete;
    OddFiles& operator=(const OddFiles&) = delete;

    std::string path(const std::string& name) const { return (root_ / name).string(); }

    std::string file(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream(path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path(name);
    }
    std::string text(const std::string& name, const std::string& text) const {
        return file(name, std::vector<uint8_t>(text.begin(), text.end()));
    }
    std::string folder(const std::string& name) const {
        std::filesystem::create_directories(path(name));
        return path(name);
    }
    // A named pipe: a reader that opens it blocks until a writer comes.
    std::string pipe(const std::string& name) const {
        ::mkfifo(path(name).c_str(), 0600);
        return path(name);
    }
    std::string link(const std::string& name, const std::string& target) const {
        std::filesystem::create_symlink(target, path(name));
        return path(name);
    }
    // Two links that point at each other.
    std::string link_loop(const std::string& name) const {
        link(name, path(name + ".other"));
        link(name + ".other", path(name));
        return path(name);
    }
    // A file of `size` bytes that takes no room on disk.
    std::string sparse(const std::string& name, uint64_t size) const {
        std::ofstream(path(name), std::ios::binary).close();
        std::filesystem::resize_file(path(name), size);
        return path(name);
    }

private:
    std::filesystem::path root_;
};

}  // namespace vt::test
