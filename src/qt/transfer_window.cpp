#include "qt/transfer_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <random>

#include "core/machine.h"
#include "frontend/parallel_port_linux.h"
#include "frontend/swc_protocol.h"
#include "qt/send_to_disk_dialog.h"

namespace vt::gui {

namespace {

constexpr int kGameDoctorSetting = 1;

QString device_text(CopierDevice device, int port) {
    const QString name = device == CopierDevice::GameDoctor ? QStringLiteral("Game Doctor SF III")
                                                            : QStringLiteral("Super Wildcard");
    const QString where =
        port == kDiskPort ? QStringLiteral("DISK:") : QString::fromStdString(parallel_port_name(port));
    return name + QStringLiteral(" (") + where + QStringLiteral(")");
}

uint32_t random_three_digits() {
    std::random_device seed;
    std::mt19937 generator(seed());
    return uint32_t(generator() % 1000);
}

}  // namespace

TransferWindow::TransferWindow(const Machine& m, const Settings& settings, QWidget* parent)
    : QDialog(parent), machine_(m), settings_(settings) {
    device_ = settings.transfer_device == kGameDoctorSetting ? CopierDevice::GameDoctor : CopierDevice::SuperWildcard;
    // The Game Doctor takes only disk files.
    port_ = device_ == CopierDevice::GameDoctor ? kDiskPort : settings.transfer_port;
    open_port_ = [](int port, std::string& error) { return open_parallel_port(port, error); };
    random_ = random_three_digits;

    setWindowTitle(QString::fromLatin1(kTransferCaption));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto add_row = [&](const char* caption, const char* name) {
        auto* value = new QLabel(this);
        value->setObjectName(QString::fromLatin1(name));
        form->addRow(QString::fromLatin1(caption), value);
        return value;
    };
    mapping_ = add_row("Mapping:", "labelMapping");
    size_ = add_row("Size:", "labelSize");
    type_ = add_row("Type:", "labelType");
    device_label_ = add_row("Device:", "labelDevice");
    status_ = add_row("Status:", "labelStatus");
    layout->addLayout(form);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progressTransfer"));
    layout->addWidget(progress_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    run_ = new QPushButton(QStringLiteral("Start"), this);
    run_->setObjectName(QStringLiteral("buttonRun"));
    run_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("buttonCancel"));
    buttons->addWidget(run_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    connect(run_, &QPushButton::clicked, this, [this] { run_clicked(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { cancel_clicked(); });
    connect(this, &TransferWindow::worker_event, this, &TransferWindow::handle_event, Qt::QueuedConnection);

    // Planning happens as the window opens.
    plan_ = plan_copier_transfer(copier_cartridge(m.cart), device_);
    mapping_->setText(QString::fromStdString(plan_.mode_text));
    size_->setText(QString::fromStdString(plan_.size_text));
    type_->setText(QString::fromStdString(plan_.type_text));
    device_label_->setText(device_text(device_, port_));
    status_->setText(QString::fromStdString(plan_.status));
    progress_->setRange(0, int(std::max<size_t>(plan_.blocks.size(), 1)));
    progress_->setValue(0);
    run_->setEnabled(plan_.supported);
}

TransferWindow::~TransferWindow() {
    if (worker_) {
        worker_->cancel();
        worker_.reset();  // waits for the thread
    }
}

void TransferWindow::set_status(const char* status) { status_->setText(QString::fromLatin1(status)); }

bool TransferWindow::prompt(SendToDiskDialog& dialog) {
    if (disk_prompt_) return disk_prompt_(dialog);
    return dialog.exec() == QDialog::Accepted;
}

void TransferWindow::run_clicked() {
    if (running_) return;
    if (finished_) run_game();
    else start();
}

void TransferWindow::cancel_clicked() {
    if (!running_) {
        QDialog::reject();
        return;
    }
    worker_->cancel();
    set_status("Canceling...");
}

void TransferWindow::reject() {
    if (!running_) {
        QDialog::reject();
        return;
    }
    close_pending_ = true;
    worker_->cancel();
    set_status("Canceling...");
}

void TransferWindow::closeEvent(QCloseEvent* event) {
    if (!running_) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    reject();
}

void TransferWindow::start() {
    if (!plan_.supported) return;
    set_status("Initializing...");
    CopierJob job = prepare_copier_job(machine_, plan_, device_, settings_.send_backup_ram);
    header_ = job.header;
    worker_ = std::make_unique<CopierWorker>([this](const CopierEvent& e) {
        emit worker_event(int(e.code), e.blocks, QString::fromStdString(e.text));
    });
    progress_->setValue(0);
    if (port_ == kDiskPort) {
        if (!start_disk(job)) {
            set_status(kCopierReady);
            return;
        }
    } else {
        set_status("Sending...");
        const int port = port_;
        PortOpener opener = open_port_;
        worker_->start_parallel(
            std::move(job), [opener, port](std::string& error) { return opener(port, error); },
            parallel_port_name(port));
    }
    running_ = true;
    run_->setEnabled(false);
}

bool TransferWindow::start_disk(const CopierJob& job) {
    const std::string name = device_ == CopierDevice::GameDoctor
                                 ? game_doctor_base_name(job.block_count, random_())
                                 : wildcard_disk_name(machine_.cart.image_path);
    SendToDiskDialog dialog(device_, QString::fromStdString(name), this);
    if (!prompt(dialog) || dialog.file_name().isEmpty()) return false;
    const DiskName typed = split_disk_name(dialog.file_name().toStdString());
    DiskVolumeTarget target;
    // The stored default names the first floppy drive, which has no
    // meaning here: a bare name goes to the home folder instead.
    std::string folder = settings_.transfer_path;
    if (folder == kDefaultTransferPath) folder = QDir::homePath().toStdString();
    target.folder = typed.folder.empty() ? folder : typed.folder;
    target.base = typed.base;
    target.split_blocks = dialog.split_blocks();
    volume_name_ = dialog.file_name();
    split_blocks_ = target.split_blocks;
    set_status("Sending...");
    worker_->start_disk(job, target, disk_space_);
    return true;
}

void TransferWindow::ask_next_volume() {
    if (close_pending_) {
        worker_->cancel();
        return;
    }
    SendToDiskDialog dialog(device_, volume_name_, this);
    dialog.show_as_next_volume(split_blocks_);
    if (prompt(dialog)) {
        split_blocks_ = dialog.split_blocks();
        worker_->resume(split_blocks_);
    } else {
        worker_->cancel();
    }
}

void TransferWindow::transfer_ended() {
    running_ = false;
    if (worker_) worker_->join();
    run_->setEnabled(plan_.supported);
}

void TransferWindow::handle_event(int code, quint32 blocks, const QString& text) {
    switch (CopierEventCode(code)) {
        case CopierEventCode::Progress: {
            progress_->setValue(int(blocks));
            const size_t total = std::max<size_t>(plan_.blocks.size(), 1);
            setWindowTitle(QStringLiteral("%1 (%2% Completed)")
                               .arg(QString::fromLatin1(kTransferCaption))
                               .arg(uint64_t(blocks) * 100 / total));
            return;
        }
        case CopierEventCode::NextVolume:
            ask_next_volume();
            return;
        case CopierEventCode::Finished:
            transfer_ended();
            finished_ = true;
            run_->setText(QStringLiteral("Run"));
            set_status(kCopierReady);
            break;
        case CopierEventCode::Cancelled:
            transfer_ended();
            progress_->setValue(0);
            setWindowTitle(QString::fromLatin1(kTransferCaption));
            set_status(kCopierReady);
            break;
        case CopierEventCode::FileCreationFailed:
        case CopierEventCode::PortFailed: {
            transfer_ended();
            set_status(kCopierReady);
            if (close_pending_) break;
            BoxRequest r;
            r.caption = QString::fromLatin1(kTransferCaption);
            r.text = CopierEventCode(code) == CopierEventCode::FileCreationFailed
                         ? QString::fromLatin1(kFileCreationFailed)
                         : text;
            r.icon = BoxIcon::Error;
            if (messages_) messages_(this, r);
            else show_message_box(this, r);
            break;
        }
    }
    if (close_pending_) {
        close_pending_ = false;
        QDialog::reject();
    }
}

// Starts the game on the copier; the window closes either way.
void TransferWindow::run_game() {
    if (port_ != kDiskPort) {
        std::string error;
        std::unique_ptr<ParallelPort> port = open_port_(port_, error);
        if (port) {
            SwcLink link(*port);
            if (!swc_run_game(link, header_)) error = swc_no_response_text(parallel_port_name(port_));
        }
        if (!error.empty()) {
            BoxRequest r{QString::fromLatin1(kTransferCaption), QString::fromStdString(error), BoxIcon::Error,
                         BoxButtons::Ok};
            if (messages_) messages_(this, r);
            else show_message_box(this, r);
        }
    }
    accept();
}

}  // namespace vt::gui
