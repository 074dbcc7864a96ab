#include "frontend/parallel_port_linux.h"

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vt {

namespace {

class PpdevPort : public ParallelPort {
public:
    explicit PpdevPort(int fd) : fd_(fd) {}
    ~PpdevPort() override {
        ioctl(fd_, PPRELEASE);
        close(fd_);
    }
    PpdevPort(const PpdevPort&) = delete;
    PpdevPort& operator=(const PpdevPort&) = delete;

    uint8_t read_status() override {
        unsigned char v = 0;
        ioctl(fd_, PPRSTATUS, &v);
        return v;
    }
    void write_data(uint8_t value) override {
        unsigned char v = value;
        ioctl(fd_, PPWDATA, &v);
    }
    uint8_t read_control() override {
        unsigned char v = 0;
        ioctl(fd_, PPRCONTROL, &v);
        return v;
    }
    void write_control(uint8_t value) override {
        unsigned char v = value;
        ioctl(fd_, PPWCONTROL, &v);
    }

private:
    int fd_;
};

std::string describe(int port, const std::string& what, int err) {
    return parallel_port_name(port) + " (" + parallel_port_device(port) + ") " + what + ": " + std::strerror(err);
}

}  // namespace

std::string parallel_port_device(int port) { return "/dev/parport" + std::to_string(port); }

std::string parallel_port_name(int port) { return "LPT" + std::to_string(port + 1) + ":"; }

std::unique_ptr<ParallelPort> open_parallel_port(int port, std::string& error) {
    const int fd = open(parallel_port_device(port).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        error = describe(port, "could not be opened", errno);
        return nullptr;
    }
    // Exclusive access: registering fails at once when another driver or
    // program has the port, where a shared claim would wait for it.
    if (ioctl(fd, PPEXCL) != 0 || ioctl(fd, PPCLAIM) != 0) {
        const int err = errno;
        close(fd);
        error = describe(port, err == EBUSY ? "is in use by another program or driver" : "could not be claimed", err);
        return nullptr;
    }
    // Compatibility mode with the data lines driving out.
    int mode = IEEE1284_MODE_COMPAT;
    ioctl(fd, PPSETMODE, &mode);
    int reverse = 0;
    ioctl(fd, PPDATADIR, &reverse);
    return std::make_unique<PpdevPort>(fd);
}

}  // namespace vt
