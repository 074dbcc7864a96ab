// The main window's menus and the commands behind them.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "cart/image_files.h"
#include "frontend/menu_rules.h"
#include "frontend/notices.h"
#include "frontend/recent_files.h"
#include "qt/about_dialog.h"
#include "qt/debugger_windows.h"
#include "qt/display_dialog.h"
#include "qt/folders_dialog.h"
#include "qt/icons.h"
#include "qt/input_dialog.h"
#include "qt/main_window.h"
#include "qt/properties_window.h"
#include "qt/sdl_audio.h"
#include "qt/state_manager.h"
#include "qt/transfer_options_dialog.h"
#include "qt/transfer_window.h"
#include "qt/video_bridge.h"
#include "state/state_file.h"

namespace vt::gui {

namespace {

constexpr const char* kFileWriteFailed =
    "The specified file could not be written to disk.  \rMake sure the specified path exists.";

QAction* add_action(QMenu* menu, const char* object_name, const QString& caption, const QKeySequence& shortcut = {}) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(object_name));
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    return a;
}

}  // namespace

void MainWindow::build_menus() {
    QMenuBar* bar = menuBar();

    // Gamepak
    gamepak_menu_ = bar->addMenu(QStringLiteral("&Gamepak"));
    gamepak_menu_->setObjectName(QStringLiteral("menuGamepak"));
    connect(add_action(gamepak_menu_, "actionLoad", QStringLiteral("Load..."), QKeySequence(Qt::CTRL | Qt::Key_L)),
            &QAction::triggered, this, [this] { cmd_load(); });
    reload_menu_ = gamepak_menu_->addMenu(QStringLiteral("Reload"));
    reload_menu_->setObjectName(QStringLiteral("menuReload"));
    reload_menu_->setToolTipsVisible(true);  // each item's full path
    connect(add_action(gamepak_menu_, "actionLoadDemo", QStringLiteral("Load Demo")), &QAction::triggered, this,
            [this] { cmd_load_demo(); });
    properties_action_ = add_action(gamepak_menu_, "actionProperties", QStringLiteral("Properties"),
                                    QKeySequence(Qt::CTRL | Qt::Key_Return));
    properties_action_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    properties_action_->setCheckable(true);
    connect(properties_action_, &QAction::triggered, this, [this] { cmd_properties(); });
    connect(add_action(gamepak_menu_, "actionSavePng", QStringLiteral("Save PNG"), QKeySequence(Qt::CTRL | Qt::Key_P)),
            &QAction::triggered, this, [this] { cmd_save_png(); });
    connect(add_action(gamepak_menu_, "actionReset", QStringLiteral("Reset"), QKeySequence(Qt::CTRL | Qt::Key_Delete)),
            &QAction::triggered, this, [this] { cmd_reset(); });
    gamepak_menu_->addSeparator();
    save_backup_action_ = add_action(gamepak_menu_, "actionSaveBackupRam", QStringLiteral("Save BackupRAM"),
                                     QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(save_backup_action_, &QAction::triggered, this, [this] { cmd_save_backup_ram(); });
    save_rts_action_ = add_action(gamepak_menu_, "actionSaveRts", QStringLiteral("Save RTS..."));
    connect(save_rts_action_, &QAction::triggered, this, [this] { cmd_save_rts(); });
    gamepak_menu_->addSeparator();
    connect(add_action(gamepak_menu_, "actionExit", QStringLiteral("Exit"), QKeySequence(Qt::CTRL | Qt::Key_Q)),
            &QAction::triggered, this, [this] { close(); });
    connect(gamepak_menu_, &QMenu::aboutToShow, this, [this] { update_gamepak_menu(); });

    // Input
    input_menu_ = bar->addMenu(QStringLiteral("&Input"));
    input_menu_->setObjectName(QStringLiteral("menuInput"));
    for (int port = 0; port < 2; port++) {
        device_menu_[port] = input_menu_->addMenu(port == 0 ? QStringLiteral("Device #&1") : QStringLiteral("Device #&2"));
        device_menu_[port]->setObjectName(QStringLiteral("menuDevice%1").arg(port + 1));
        device_groups_[port] = new QActionGroup(this);
        const uint8_t* choices = port == 0 ? kDevice1Choices : kDevice2Choices;
        const int count = port == 0 ? int(std::size(kDevice1Choices)) : int(std::size(kDevice2Choices));
        for (int i = 0; i < count; i++) {
            const uint8_t device = choices[i];
            QAction* a = device_menu_[port]->addAction(QString::fromLatin1(device_choice_caption(device)));
            a->setObjectName(QStringLiteral("actionDevice%1_%2").arg(port + 1).arg(device_choice_caption(device)));
            a->setCheckable(true);
            a->setData(int(device));
            device_groups_[port]->addAction(a);
            connect(a, &QAction::triggered, this, [this, port, device] { cmd_set_device(port, device); });
        }
    }
    for (int n = 3; n <= 5; n++) {
        QMenu* unused = input_menu_->addMenu(QStringLiteral("Device #&%1").arg(n));
        unused->setObjectName(QStringLiteral("menuDevice%1").arg(n));
        unused->setEnabled(false);
    }
    input_menu_->addSeparator();
    connect(add_action(input_menu_, "actionConfigureInput", QStringLiteral("&Configure Input...")), &QAction::triggered,
            this, [this] { cmd_configure_input(); });
    connect(input_menu_, &QMenu::aboutToShow, this, [this] { update_input_menu(); });

    // Options
    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("menuOptions"));
    QAction* sound = add_action(options, "actionEnableSound", QStringLiteral("Enable Sound"));
    sound->setVisible(false);
    sound->setEnabled(false);
    connect(add_action(options, "actionDisplayOptions", QStringLiteral("Display Options...")), &QAction::triggered,
            this, [this] { cmd_display_options(); });
    connect(add_action(options, "actionFolderPreferences", QStringLiteral("Folder Preferences...")),
            &QAction::triggered, this, [this] { cmd_folder_preferences(); });
    add_play_options(options);
    QMenu* frame_rate = options->addMenu(QStringLiteral("Frame Rate"));
    frame_rate->setObjectName(QStringLiteral("menuFrameRate"));
    auto* rate_group = new QActionGroup(this);
    for (int i = 0; i < kFrameRateItems; i++) {
        QAction* a = frame_rate->addAction(QString::fromLatin1(frame_rate_caption(i, false)));
        a->setObjectName(QStringLiteral("actionFrameRate%1").arg(i));
        a->setCheckable(true);
        rate_group->addAction(a);
        frame_rate_actions_[i] = a;
        connect(a, &QAction::triggered, this, [this, i] { cmd_frame_rate(i); });
    }
    frame_rate_actions_[kFrameRateItems - 1]->setChecked(true);
    frame_rate->addSeparator();
    QAction* automatic = add_action(frame_rate, "actionFrameRateAuto", QStringLiteral("Auto"));
    automatic->setEnabled(false);
    QMenu* filters = options->addMenu(QStringLiteral("Filters"));
    filters->setObjectName(QStringLiteral("menuFilters"));
    add_action(filters, "actionFilterMono", QStringLiteral("Mono"))->setEnabled(false);
    add_action(filters, "actionFilterScanlines", QStringLiteral("Scanlines"))->setEnabled(false);
    filters->menuAction()->setVisible(false);
    options->addSeparator();
    full_screen_action_ = add_action(options, "actionFullScreen", QStringLiteral("Full Screen Mode"));
    full_screen_action_->setShortcuts({QKeySequence(Qt::Key_F11), QKeySequence(Qt::ALT | Qt::Key_Return)});
    connect(full_screen_action_, &QAction::triggered, this, [this] { toggle_full_screen(); });

    // Control: pause, frame advance, fast forward and quick saves.
    build_control_menu(bar);

    // Tools
    tools_menu_ = bar->addMenu(QStringLiteral("&Tools"));
    tools_menu_->setObjectName(QStringLiteral("menuTools"));
    inspector_action_ = add_action(tools_menu_, "actionStateInspector", QStringLiteral("State Inspector..."));
    debugger_ = std::make_unique<DebuggerWindows>(*this, log_);
    debugger_->attach_menu(tools_menu_, inspector_action_);
    transfer_action_ = add_action(tools_menu_, "actionTransferGamepak", QStringLiteral("Transfer Gamepak..."));
    connect(transfer_action_, &QAction::triggered, this, [this] { cmd_transfer_gamepak(); });
    state_manager_action_ = add_action(tools_menu_, "actionStateManager", QStringLiteral("State Manager..."));
    connect(state_manager_action_, &QAction::triggered, this, [this] { cmd_state_manager(); });
    tools_menu_->addSeparator();
    connect(add_action(tools_menu_, "actionConfigureTools", QStringLiteral("Configure Tools...")), &QAction::triggered,
            this, [this] { cmd_configure_tools(); });
    connect(tools_menu_, &QMenu::aboutToShow, this, [this] { update_tools_menu(); });

    // Help
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    connect(add_action(help, "actionReleaseNotes", QStringLiteral("Release Notes")), &QAction::triggered, this,
            [this] { cmd_release_notes(); });
    help->addSeparator();
    connect(add_action(help, "actionAbout", QStringLiteral("&About...")), &QAction::triggered, this,
            [this] { cmd_about(); });

    update_gamepak_menu();
    update_input_menu();
    update_tools_menu();

    // Shortcuts keep working in full screen, where the menu bar is hidden.
    for (QAction* a : bar->findChildren<QAction*>())
        if (!a->shortcuts().isEmpty()) addAction(a);
}

// --- menu states -------------------------------------------------------------

void MainWindow::update_gamepak_menu() {
    const Machine& m = machine();
    const MenuInputs in = menu_inputs(m.timing.gamepak_loaded, m.cart, m.cart.pal, int(settings_.recent.entries.size()),
                                      properties_ && properties_->isVisible());
    const GamepakMenu g = gamepak_menu(in);
    properties_action_->setChecked(g.properties_checked);

    reload_menu_->clear();
    for (const RecentFile& f : settings_.recent.entries) {
        QAction* a = reload_menu_->addAction(recent_file_icon(f.icon), QString::fromStdString(recent_caption(f.path)));
        a->setToolTip(QString::fromStdString(f.path));
        const std::string path = f.path;
        connect(a, &QAction::triggered, this, [this, path] { open_file(path); });
    }
    if (!settings_.recent.entries.empty()) {
        reload_menu_->addSeparator();
        QAction* clear = add_action(reload_menu_, "actionClearRecent", QStringLiteral("Clear List"));
        connect(clear, &QAction::triggered, this, [this] {
            settings_.recent.entries.clear();
            update_gamepak_menu();
        });
    }
    reload_menu_->setEnabled(g.reload_enabled);
    save_backup_action_->setEnabled(g.save_backup_enabled);
    save_backup_action_->setIcon(g.save_backup_enabled ? battery_icon() : QIcon());
    save_rts_action_->setEnabled(g.save_rts_enabled);
}

void MainWindow::update_input_menu() {
    for (int port = 0; port < 2; port++) {
        const uint8_t device = devices_.bindings[port].device;
        device_menu_[port]->setIcon(device_icon(device));
        bool any = false;
        for (QAction* a : device_groups_[port]->actions()) {
            const bool chosen = a->data().toInt() == int(device);
            a->setChecked(chosen);
            any = any || chosen;
        }
        if (!any) device_groups_[port]->actions().last()->setChecked(true);  // "None"
    }
}

void MainWindow::update_tools_menu() {
    const Machine& m = machine();
    const ToolsMenu t = tools_menu(menu_inputs(m.timing.gamepak_loaded, m.cart, m.cart.pal, 0, false));
    inspector_action_->setEnabled(t.state_inspector_enabled);
    transfer_action_->setEnabled(t.transfer_enabled);
    state_manager_action_->setEnabled(t.state_manager_enabled);
}

void MainWindow::update_frame_rate_menu() {
    const bool pal = machine().ppu.stat78 & 0x10;
    for (int i = 0; i < kFrameRateItems; i++)
        frame_rate_actions_[i]->setText(QString::fromLatin1(frame_rate_caption(i, pal)));
    frame_rate_actions_[frame_rate_item_for_skip(host_.frame_skip())]->setChecked(true);
}

// --- Gamepak menu ------------------------------------------------------------

void MainWindow::cmd_load() {
    QString chosen;
    {
        HostHold hold(host_);
        FileRequest request;
        request.title = QStringLiteral("Load");
        request.folder = QString::fromStdString(settings_.search_path.empty() ? settings_.last_directory : settings_.search_path);
        request.filter = QString::fromLatin1(kLoadFilter);
        request.filter_index = settings_.filter_index;
        chosen = choose_file(request);
        settings_.filter_index = request.filter_index;
    }
    if (!chosen.isEmpty()) open_file(chosen.toStdString());
}

void MainWindow::cmd_properties() {
    if (properties_ && properties_->isVisible()) {
        properties_->hide();
    } else {
        const bool first = !properties_;
        if (first) properties_ = new PropertiesWindow(machine(), settings_, this);
        properties_->refresh();
        properties_->show();
        // Beside the main window and wholly on screen.
        if (first) place_properties_window();
        properties_->raise();
    }
    properties_action_->setChecked(properties_ && properties_->isVisible());
}

void MainWindow::cmd_save_png() {
    const Machine& m = machine();
    if (!host_.gamepak_loaded()) return;
    const std::string path = capture_file_path(m.cart.image_path, settings_.capture_path);
    std::string error;
    if (!write_png_capture(m, path, settings_.capture_format, &error))
        show_host_message({"Save PNG Capture", kFileWriteFailed, MessageIcon::Error, file_problem(path, error)});
    else
        notify(png_saved_notice(path));
}

void MainWindow::cmd_reset() {
    if (!host_.gamepak_loaded()) return;
    if (ask("System Reset", "Are you sure you want to reset the system?  ", BoxIcon::Warning, BoxButtons::YesNo) !=
        BoxAnswer::Yes)
        return;
    host_.reset();
    if (audio_) audio_->clear();
}

void MainWindow::cmd_save_backup_ram() {
    if (!host_.gamepak_loaded()) return;
    const BatteryWrite saved = host_.save_battery_ram();
    if (!saved.ok)
        show_host_message({kSaveBackupRamCaption, saved.message, MessageIcon::Warning, saved.problem}, BoxButtons::OkCancel);
    else if (saved.written)
        notify(backup_ram_saved_notice(machine().cart.has_battery
                                           ? battery_file_path(machine().cart, host_.battery_folders())
                                           : std::string(kBsxSramFileName)));
}

void MainWindow::cmd_save_rts() {
    const Machine& m = machine();
    if (!host_.gamepak_loaded()) return;
    FileRequest request;
    request.save = true;
    request.title = QStringLiteral("Save As");
    request.folder = QString::fromStdString(path_folder(m.cart.image_path));
    request.file_name = QString::fromStdString(join_path(path_folder(m.cart.image_path), path_stem(m.cart.image_path) + ".rts"));
    request.filter = QString::fromLatin1(kRtsFilter);
    const QString chosen = choose_file(request);
    if (chosen.isEmpty()) return;
    std::string problem;
    if (!host_.save_rts_file(chosen.toStdString(), &problem))
        show_host_message({"Save RTS", kFileWriteFailed, MessageIcon::Error, problem});
    else
        notify(rts_saved_notice(chosen.toStdString()));
}

// --- Input menu ----------------------------------------------------------------

void MainWindow::cmd_set_device(int port, uint8_t device) {
    devices_.bindings[size_t(port)].device = device;
    mouse_released_by_user_ = false;  // a mouse or scope chosen now takes the pointer
    apply_input_bindings();
    update_input_menu();
}

void MainWindow::cmd_configure_input() {
    HostHold hold(host_);
    InputDialog dialog(devices_.bindings, settings_.pads, this);
    // Controller buttons reach the dialog while it is open, to be captured.
    input_dialog_ = &dialog;
    const bool accepted = dialog.exec() == QDialog::Accepted;
    input_dialog_ = nullptr;
    if (accepted) {
        devices_.bindings = dialog.bindings();
        settings_.pads = dialog.pads();
        apply_input_bindings();
    }
}

// --- Options menu --------------------------------------------------------------

void MainWindow::cmd_display_options() {
    if (display_ && display_->isVisible()) return;
    if (!display_) {
        display_ = new DisplayDialog(this);
        connect(display_, &DisplayDialog::brightness_changed, this, [this](int v) { apply_brightness(machine(), v); });
        connect(display_, &DisplayDialog::brightness_chosen, this, [this](int v) {
            settings_.brightness = v;
            apply_brightness(machine(), v);
        });
    }
    display_->start(settings_.brightness);
    display_->move(frameGeometry().topLeft() + QPoint(32, 80));
    display_->show();
}

void MainWindow::cmd_folder_preferences() {
    FoldersDialog dialog(settings_, this);
    if (dialog.exec() == QDialog::Accepted) dialog.store(settings_);
}

void MainWindow::cmd_frame_rate(int item) {
    host_.set_frame_skip(frame_rate_item_skip(item));
    update_frame_rate_menu();
}

// --- Tools and Help -------------------------------------------------------------

void MainWindow::cmd_state_manager() {
    if (!host_.gamepak_loaded() || machine().cart.nes) return;
    HostHold hold(host_);
    StateManager manager(host_, settings_, this);
    manager.set_message_sink([this](QWidget*, const BoxRequest& r) {
        return ask(r.caption.toStdString(), r.text.toStdString(), r.icon, r.buttons);
    });
    if (manager.exec() == QDialog::Accepted) notify(state_loaded_notice(manager.loaded_path()));
    if (audio_) audio_->clear();
}

void MainWindow::cmd_transfer_gamepak() {
    if (!host_.gamepak_loaded() || machine().cart.nes) return;
    HostHold hold(host_);
    TransferWindow window(machine(), settings_, this);
    window.set_message_sink([this](QWidget*, const BoxRequest& r) {
        return ask(r.caption.toStdString(), r.text.toStdString(), r.icon, r.buttons);
    });
    window.exec();
    if (audio_) audio_->clear();
}

void MainWindow::cmd_configure_tools() {
    TransferOptionsDialog dialog(settings_, this);
    if (dialog.exec() == QDialog::Accepted) dialog.store(settings_);
}

void MainWindow::cmd_release_notes() {
    ReleaseNotesDialog dialog(this);
    dialog.exec();
}

void MainWindow::cmd_about() {
    AboutDialog dialog(this);
    dialog.exec();
}

}  // namespace vt::gui
