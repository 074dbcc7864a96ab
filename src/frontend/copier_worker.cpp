#include "frontend/copier_worker.h"

#include "frontend/swc_protocol.h"

namespace vt {

CopierWorker::CopierWorker(Post post) : post_(std::move(post)) {}

CopierWorker::~CopierWorker() {
    cancel();
    join();
}

void CopierWorker::start_parallel(CopierJob job, ParallelPortOpener open_port, std::string port_name) {
    join();
    job_ = std::move(job);
    cancel_ = false;
    thread_ = std::thread([this, open_port = std::move(open_port), port_name = std::move(port_name)] {
        send_parallel(open_port, port_name);
    });
}

void CopierWorker::start_disk(CopierJob job, DiskVolumeTarget target, DiskSpaceQuery space) {
    join();
    job_ = std::move(job);
    cancel_ = false;
    thread_ = std::thread([this, target = std::move(target), space = std::move(space)] { write_disk(target, space); });
}

void CopierWorker::cancel() {
    std::lock_guard<std::mutex> lock(mutex_);
    cancel_ = true;
    wake_.notify_all();
}

void CopierWorker::resume(uint32_t split_blocks) {
    std::lock_guard<std::mutex> lock(mutex_);
    resumed_ = true;
    resumed_split_ = split_blocks;
    wake_.notify_all();
}

void CopierWorker::join() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void CopierWorker::send_parallel(ParallelPortOpener open_port, const std::string& port_name) {
    std::string error;
    std::unique_ptr<ParallelPort> port = open_port ? open_port(error) : nullptr;
    if (!port) {
        post_({CopierEventCode::PortFailed, 0, error});
        return;
    }
    SwcLink link(*port);
    link.toggle_strobe(kSwcWakeToggles);
    const SwcOutcome outcome =
        swc_send_job(link, job_, cancel_, [this](uint32_t sent) { post_({CopierEventCode::Progress, sent, {}}); });
    switch (outcome) {
        case SwcOutcome::Finished: post_({CopierEventCode::Finished, job_.block_count, {}}); break;
        case SwcOutcome::Cancelled: post_({CopierEventCode::Cancelled, 0, {}}); break;
        case SwcOutcome::NoResponse: post_({CopierEventCode::PortFailed, 0, swc_no_response_text(port_name)}); break;
    }
}

bool CopierWorker::wait_for_next_volume(uint32_t& split_blocks) {
    std::unique_lock<std::mutex> lock(mutex_);
    resumed_ = false;
    lock.unlock();
    post_({CopierEventCode::NextVolume, 0, {}});
    lock.lock();
    wake_.wait(lock, [this] { return resumed_ || cancel_.load(); });
    if (cancel_) return false;
    split_blocks = resumed_split_;
    return true;
}

void CopierWorker::write_disk(const DiskVolumeTarget& target, const DiskSpaceQuery& space) {
    DiskWriterHooks hooks;
    hooks.space = space;
    hooks.cancel = &cancel_;
    hooks.progress = [this](uint32_t blocks) { post_({CopierEventCode::Progress, blocks, {}}); };
    hooks.next_volume = [this](uint32_t& split) { return wait_for_next_volume(split); };
    const DiskWriteResult r = write_copier_volumes(job_, target, hooks);
    post_({r.code, r.code == CopierEventCode::Finished ? job_.block_count : 0, r.error});
}

}  // namespace vt
