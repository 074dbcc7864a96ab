// The thread that does the slow part of a copier transfer, so the window
// stays responsive. It reports by posting events (copier_job.h) through a
// callback that the window turns into queued signals; it polls the cancel
// flag after every block, and while it waits for the next disk it sleeps
// until resume() or cancel().
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "frontend/copier_job.h"
#include "frontend/copier_volumes.h"
#include "frontend/parallel_port.h"

namespace vt {

// Opens the port when the transfer starts; null with the reason set when it
// cannot.
using ParallelPortOpener = std::function<std::unique_ptr<ParallelPort>(std::string& error)>;

class CopierWorker {
public:
    using Post = std::function<void(const CopierEvent&)>;

    explicit CopierWorker(Post post);
    // Cancels a running transfer and waits for the thread.
    ~CopierWorker();
    CopierWorker(const CopierWorker&) = delete;
    CopierWorker& operator=(const CopierWorker&) = delete;

    // Sends the job to a Super Wildcard; `port_name` ("LPT1:") is for messages.
    void start_parallel(CopierJob job, ParallelPortOpener open_port, std::string port_name);
    // Writes the job as disk volumes.
    void start_disk(CopierJob job, DiskVolumeTarget target, DiskSpaceQuery space = {});

    // Asks the thread to stop after the block in hand.
    void cancel();
    // After a NextVolume event: go on with this split size (0: Auto Detect).
    void resume(uint32_t split_blocks);
    // Waits for the thread to end (it ends after posting its last event).
    void join();
    bool started() const { return thread_.joinable(); }

private:
    void send_parallel(ParallelPortOpener open_port, const std::string& port_name);
    void write_disk(const DiskVolumeTarget& target, const DiskSpaceQuery& space);
    bool wait_for_next_volume(uint32_t& split_blocks);

    Post post_;
    CopierJob job_;
    std::thread thread_;
    std::atomic<bool> cancel_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool resumed_ = false;
    uint32_t resumed_split_ = 0;
};

}  // namespace vt
