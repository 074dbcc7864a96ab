// "Transfer Gamepak": sends the loaded image to a Super Wildcard over the
// parallel port, or writes Super Wildcard / Game Doctor SF III disk
// volumes. Opening it plans the blocks; the run button starts the worker
// thread (frontend/copier_worker.h), whose events arrive as queued signals;
// after a finished transfer the same button runs the game on the copier.
// "Cancel" stops a running transfer within one block and leaves the window
// ready for another try; closing the window during a transfer cancels it
// and closes once the worker has stopped.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "frontend/copier_job.h"
#include "frontend/copier_plan.h"
#include "frontend/copier_volumes.h"
#include "frontend/copier_worker.h"
#include "frontend/settings.h"
#include "qt/message_box.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace vt {
struct Machine;
}

namespace vt::gui {

class SendToDiskDialog;

inline constexpr const char* kTransferCaption = "Transfer Gamepak";
inline constexpr const char* kFileCreationFailed = "File could not be created on volume  ";
inline constexpr int kDiskPort = 4;

class TransferWindow : public QDialog {
    Q_OBJECT
public:
    TransferWindow(const Machine& m, const Settings& settings, QWidget* parent = nullptr);
    ~TransferWindow() override;

    // Test seams: message boxes, the "Send to Disk" / "Insert Next Volume"
    // dialog (return false for Cancel), the parallel port, the disk's free
    // space and the Game Doctor name's random number.
    using DiskPrompt = std::function<bool(SendToDiskDialog& dialog)>;
    using PortOpener = std::function<std::unique_ptr<ParallelPort>(int port, std::string& error)>;
    void set_message_sink(MessageSink sink) { messages_ = std::move(sink); }
    void set_disk_prompt(DiskPrompt prompt) { disk_prompt_ = std::move(prompt); }
    void set_port_opener(PortOpener opener) { open_port_ = std::move(opener); }
    void set_disk_space(DiskSpaceQuery space) { disk_space_ = std::move(space); }
    void set_random_number(std::function<uint32_t()> random) { random_ = std::move(random); }

    const CopierPlan& plan() const { return plan_; }
    bool transfer_running() const { return running_; }

    QLabel* mapping_label() const { return mapping_; }
    QLabel* size_label() const { return size_; }
    QLabel* type_label() const { return type_; }
    QLabel* device_label() const { return device_label_; }
    QLabel* status_label() const { return status_; }
    QProgressBar* progress_bar() const { return progress_; }
    QPushButton* run_button() const { return run_; }
    QPushButton* cancel_button() const { return cancel_; }

    // The run button: start when idle, run the game after a transfer.
    void run_clicked();
    // The Cancel button: stops a running transfer, else closes.
    void cancel_clicked();

signals:
    // Emitted on the worker thread; delivered queued on the window's.
    void worker_event(int code, quint32 blocks, const QString& text);

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void start();
    bool start_disk(const CopierJob& job);
    void run_game();
    void handle_event(int code, quint32 blocks, const QString& text);
    void transfer_ended();
    void ask_next_volume();
    bool prompt(SendToDiskDialog& dialog);
    void set_status(const char* status);

    const Machine& machine_;
    Settings settings_;
    CopierDevice device_;
    int port_;
    CopierPlan plan_;
    CopierHeaderBlock header_{};
    std::unique_ptr<CopierWorker> worker_;
    bool running_ = false;
    bool finished_ = false;      // the button reads "Run"
    bool close_pending_ = false; // closing waits for the worker
    QString volume_name_;
    uint32_t split_blocks_ = 0;

    MessageSink messages_;
    DiskPrompt disk_prompt_;
    PortOpener open_port_;
    DiskSpaceQuery disk_space_;
    std::function<uint32_t()> random_;

    QLabel* mapping_ = nullptr;
    QLabel* size_ = nullptr;
    QLabel* type_ = nullptr;
    QLabel* device_label_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace vt::gui
