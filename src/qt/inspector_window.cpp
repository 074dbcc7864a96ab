#include "qt/inspector_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "coproc/chips.h"
#include "core/debug_target.h"
#include "core/machine.h"
#include "debug/breakpoints.h"
#include "debug/cpu_trace.h"
#include "debug/nes_inspector_data.h"
#include "debug/register_names.h"
#include "debug/spc700_listing.h"
#include "debug/stepping.h"
#include "debug/trace_log.h"
#include "debug/w65816_listing.h"
#include "debug/watchpoints.h"
#include "frontend/emulator_host.h"
#include "qt/breakpoints_dialog.h"
#include "qt/debug_widgets.h"
#include "qt/interrupt_vectors_dialog.h"
#include "qt/memory_view_widget.h"
#include "qt/watch_dialog.h"

namespace vt::gui {

namespace {

constexpr const char* kListingHint = "Click the checkbox to add/remove a CPU breakpoint";

QString hex(uint32_t value, int digits) { return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper(); }

QListWidget* make_listing(QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setFont(debugger_font());
    list->setUniformItemSizes(true);
    return list;
}

// A grid of register labels whose values are not known (a chip that has
// no state to show yet).
Grid unknown_values(std::span<const RegisterName> names) {
    Grid g;
    for (const RegisterName& r : names) g.push_back({register_label(r), "--"});
    return g;
}

QWidget* two_columns(QWidget* left, QWidget* right) {
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(left);
    splitter->addWidget(right);
    return splitter;
}

QWidget* column(std::initializer_list<QWidget*> widgets) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : widgets) layout->addWidget(w);
    return box;
}

}  // namespace

InspectorWindow::InspectorWindow(EmulatorHost& host, TraceLog* log, CpuTrace& trace, MessageSink messages,
                                 QWidget* parent)
    : QDialog(parent), host_(host), log_(log), trace_(trace), messages_(std::move(messages)) {
    setWindowTitle(QStringLiteral("State Inspector"));
    setObjectName(QStringLiteral("frmInspector"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);

    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("pagesInspector"));
    memory_ = new MemoryViewWidget(host_.machine(), this);
    memory_->on_watch = [this](uint32_t address) { open_watch(address); };
    QWidget* built[kInspectorPageCount] = {build_cpu_page(),     build_spc700_page(), build_sa1_page(),
                                           build_super_fx_page(), build_ppu_page(),    build_cpu_io_page(),
                                           build_nes_page(),     build_dsp_ports_page(), memory_,
                                           build_dsp_data_page()};
    for (int i = 0; i < kInspectorPageCount; i++) {
        pages_->addTab(built[i], QString::fromLatin1(inspector_page_caption(InspectorPage(i))));
    }
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0) redraw(InspectorPage(index));  // showing a page redraws it
    });

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("labelStop"));
    auto button = [this](const char* caption, const char* name, const char* hint) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        if (hint) b->setToolTip(QString::fromLatin1(hint));
        b->setAutoDefault(false);
        return b;
    };
    step_ = button("Step", "buttonStep", "Step a single CPU instruction");
    trace_button_ = button(cpu_trace_is_on(host_.machine()) ? kTraceOnCaption : kTraceOffCaption, "buttonTrace",
                           "Enable/Disable CPU logging");
    breakpoints_ = button("Breakpoints", "buttonBreakpoints", "Manage CPU breakpoints");
    interrupts_ = button("Interrupts", "buttonInterrupts", "View Interrupt vector table");
    run_ = button("Run", "buttonRun", nullptr);
    connect(step_, &QPushButton::clicked, this, &InspectorWindow::step);
    connect(trace_button_, &QPushButton::clicked, this, &InspectorWindow::toggle_trace);
    connect(breakpoints_, &QPushButton::clicked, this, &InspectorWindow::show_breakpoints);
    connect(interrupts_, &QPushButton::clicked, this, &InspectorWindow::show_interrupts);
    connect(run_, &QPushButton::clicked, this, &InspectorWindow::run);

    button_row_ = new QHBoxLayout;
    button_row_->addWidget(status_, 1);
    for (QPushButton* b : {step_, trace_button_, breakpoints_, interrupts_, run_}) button_row_->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addLayout(button_row_);
    resize(760, 620);

    watch_timer_.setInterval(250);
    connect(&watch_timer_, &QTimer::timeout, this, &InspectorWindow::refresh_if_changed);
    refresh();
}

InspectorWindow::~InspectorWindow() {
    if (held_) host_.release();
}

// --- pages ------------------------------------------------------------------

QWidget* InspectorWindow::build_cpu_page() {
    cpu_listing_ = make_listing(nullptr);
    cpu_listing_->setObjectName(QStringLiteral("listCpu"));
    cpu_listing_->setToolTip(QString::fromLatin1(kListingHint));
    connect(cpu_listing_, &QListWidget::itemChanged, this, &InspectorWindow::cpu_line_changed);
    cpu_registers_ = make_grid(8, 2, nullptr);
    cpu_registers_->setObjectName(QStringLiteral("gridCpu"));
    cpu_registers_->setMaximumWidth(200);
    return two_columns(cpu_listing_, cpu_registers_);
}

QWidget* InspectorWindow::build_spc700_page() {
    spc_listing_ = make_listing(nullptr);
    spc_listing_->setObjectName(QStringLiteral("listSpc700"));
    spc_registers_ = make_grid(6, 2, nullptr);
    spc_io_ = make_grid(16, 2, nullptr);
    auto* grids = column({spc_registers_, spc_io_});
    grids->setMaximumWidth(220);
    return two_columns(spc_listing_, grids);
}

QWidget* InspectorWindow::build_sa1_page() {
    sa1_listing_ = make_listing(nullptr);
    sa1_writes_ = make_grid(53, 2, nullptr);
    sa1_reads_ = make_grid(12, 2, nullptr);
    sa1_registers_ = make_grid(8, 2, nullptr);
    fill_grid(sa1_writes_, unknown_values(sa1_write_register_names()));
    fill_grid(sa1_reads_, unknown_values(sa1_read_register_names()));
    auto* grids = column({sa1_writes_, sa1_reads_, sa1_registers_});
    grids->setMaximumWidth(220);
    return two_columns(sa1_listing_, grids);
}

QWidget* InspectorWindow::build_super_fx_page() {
    super_fx_values_ = make_grid(0, 2, nullptr);
    Grid g;
    for (const char* key : kSuperFxKeys) g.push_back({key, "--"});
    fill_grid(super_fx_values_, g);
    auto* log = new QPushButton(QStringLiteral("Log to File"));
    log->setObjectName(QStringLiteral("buttonLogToFile"));
    return column({super_fx_values_, log});
}

QWidget* InspectorWindow::build_ppu_page() {
    ppu_settings_ = make_grid(0, 2, nullptr);
    ppu_settings_->setObjectName(QStringLiteral("gridPpuSettings"));
    ppu_registers_ = make_grid(60, 2, nullptr);
    ppu_registers_->setObjectName(QStringLiteral("gridPpu"));
    oam_ = make_grid(128, 8, nullptr);
    oam_->horizontalHeader()->setVisible(true);
    QStringList columns;
    for (const char* c : kOamColumns) columns << QString::fromLatin1(c);
    oam_->setHorizontalHeaderLabels(columns);
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(ppu_settings_);
    splitter->addWidget(ppu_registers_);
    splitter->addWidget(oam_);
    return splitter;
}

QWidget* InspectorWindow::build_cpu_io_page() {
    cpu_io_settings_ = make_grid(0, 2, nullptr);
    cpu_io_settings_->setObjectName(QStringLiteral("gridCpuSettings"));
    cpu_io_registers_ = make_grid(30, 2, nullptr);
    cpu_io_registers_->setObjectName(QStringLiteral("gridCpuIo"));
    dma_ = make_grid(8, 8, nullptr);
    dma_->horizontalHeader()->setVisible(true);
    dma_->verticalHeader()->setVisible(true);
    QStringList channels;
    for (int ch = 0; ch < 8; ch++) channels << QStringLiteral("Ch %1").arg(ch);
    dma_->setHorizontalHeaderLabels(channels);
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(column({cpu_io_settings_, dma_}));
    splitter->addWidget(cpu_io_registers_);
    return splitter;
}

QWidget* InspectorWindow::build_nes_page() {
    nes_settings_ = make_grid(0, 2, nullptr);
    nes_settings_->setObjectName(QStringLiteral("gridNesPpuSettings"));
    Grid g;
    for (const char* key : {"Screen Size", "Screen Base Address", "Screen Name Address", "Screen Clipping",
                            "Screen Visible", "Sprite Size", "Sprite Base Address", "Sprite Clipping",
                            "Sprite Visible"}) {
        g.push_back({key, "--"});
    }
    fill_grid(nes_settings_, g);
    nes_registers_ = make_grid(8, 2, nullptr);
    nes_registers_->setObjectName(QStringLiteral("gridNesPpu"));
    fill_grid(nes_registers_, unknown_values(nes_ppu_register_names()));
    nes_sprites_ = make_grid(64, 4, nullptr);
    nes_sprites_->setObjectName(QStringLiteral("gridNesSprites"));
    return column({nes_settings_, nes_registers_, nes_sprites_});
}

QWidget* InspectorWindow::build_dsp_ports_page() {
    dsp_ports_ = make_grid(0, 2, nullptr);
    fill_grid(dsp_ports_, {{"DR", "--"}, {"SR", "--"}});
    return dsp_ports_;
}

QWidget* InspectorWindow::build_dsp_data_page() {
    dsp_data_ = make_grid(8, 16, nullptr);
    dsp_data_->setObjectName(QStringLiteral("gridDspData"));
    dsp_data_->horizontalHeader()->setVisible(true);
    dsp_data_->verticalHeader()->setVisible(true);
    dsp_data_->horizontalHeader()->setStretchLastSection(false);
    dsp_data_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    QStringList columns, rows;
    for (int i = 0; i < 16; i++) columns << hex(uint32_t(i), 1);
    for (int i = 0; i < 8; i++) rows << hex(uint32_t(i * 16), 2);
    dsp_data_->setHorizontalHeaderLabels(columns);
    dsp_data_->setVerticalHeaderLabels(rows);
    return dsp_data_;
}

// --- refreshing ----------------------------------------------------------------

void InspectorWindow::refresh() {
    const Machine& m = host_.machine();
    dirty_.fill(true);
    cpu_lines_.clear();  // the listing is built afresh
    for (int i = 0; i < kInspectorPageCount; i++) pages_->setTabVisible(i, inspector_page_visible(m, InspectorPage(i)));
    const bool loaded = host_.gamepak_loaded();
    step_->setEnabled(loaded);
    breakpoints_->setEnabled(loaded);
    interrupts_->setEnabled(loaded);
    trace_button_->setEnabled(log_ && trace_log_is_open(*log_));
    trace_button_->setText(QString::fromLatin1(cpu_trace_is_on(m) ? kTraceOnCaption : kTraceOffCaption));
    if (pages_->currentIndex() >= 0) redraw(InspectorPage(pages_->currentIndex()));
    seen_ = {m.timing.cpu_steps, m.timing.frame_counter, m.cart.crc32,
             uint64_t(loaded) | (uint64_t(m.cart.coprocessor) << 8) | (uint64_t(m.cart.nes) << 16)};
}

void InspectorWindow::refresh_if_changed() {
    const Machine& m = host_.machine();
    const std::array<uint64_t, 4> now = {
        m.timing.cpu_steps, m.timing.frame_counter, m.cart.crc32,
        uint64_t(host_.gamepak_loaded()) | (uint64_t(m.cart.coprocessor) << 8) | (uint64_t(m.cart.nes) << 16)};
    if (now != seen_) refresh();
}

void InspectorWindow::redraw(InspectorPage page) {
    const Machine& m = host_.machine();
    dirty_[size_t(page)] = false;
    switch (page) {
        case InspectorPage::Cpu: redraw_cpu(); break;
        case InspectorPage::Spc700: {
            std::vector<ListingLine> lines = spc700_listing(m, m.apu.pc, kSpc700ListingLines);
            spc_listing_->clear();
            for (const ListingLine& l : lines) spc_listing_->addItem(qs(l.text));
            spc_listing_->setCurrentRow(0);
            fill_grid(spc_registers_, spc700_register_grid(m));
            fill_grid(spc_io_, spc700_io_grid(m));
            break;
        }
        case InspectorPage::Sa1: {
            sa1_listing_->clear();
            if (const DebugTarget* t = chip_for(m.cart.coprocessor).debug_target) {
                uint32_t pc = t->pc(m);
                for (int i = 0; i < kCpuListingLines; i++) {
                    const DisassembledLine line = t->disassemble(m, pc);
                    sa1_listing_->addItem(hex(pc, 6).toLower() + QLatin1Char(' ') + qs(line.text));
                    pc += line.length;
                }
                const DebugRegisters regs = t->registers(m);
                Grid g;
                for (int i = 0; i < regs.count; i++) {
                    const DebugRegister& r = regs.list[size_t(i)];
                    g.push_back({r.name, hex(r.value, (r.bits + 3) / 4).toStdString()});
                }
                fill_grid(sa1_registers_, g);
            }
            break;
        }
        case InspectorPage::NesPpu: {
            if (!m.cart.nes) break;
            fill_grid(nes_settings_, nes_ppu_settings(m));
            fill_grid(nes_registers_, nes_ppu_register_grid(m));
            const auto rows = nes_sprite_grid(m);
            for (size_t r = 0; r < rows.size(); r++) {
                for (size_t c = 0; c < rows[r].size(); c++) set_cell(nes_sprites_, int(r), int(c), qs(rows[r][c]));
            }
            break;
        }
        case InspectorPage::SuperFx:
        case InspectorPage::DspPorts: break;  // filled by the chips' own code when they exist
        case InspectorPage::Ppu: {
            fill_grid(ppu_settings_, ppu_settings(m));
            fill_grid(ppu_registers_, ppu_register_grid(m));
            const auto rows = oam_grid(m);
            for (size_t r = 0; r < rows.size(); r++) {
                for (size_t c = 0; c < rows[r].size(); c++) set_cell(oam_, int(r), int(c), qs(rows[r][c]));
            }
            break;
        }
        case InspectorPage::CpuIo: {
            fill_grid(cpu_io_settings_, cpu_io_settings(m));
            fill_grid(cpu_io_registers_, cpu_io_register_grid(m));
            const DmaGrid dma = dma_grid(m);
            QStringList labels;
            for (const std::string& l : dma.row_labels) labels << qs(l);
            dma_->setVerticalHeaderLabels(labels);
            for (size_t r = 0; r < dma.values.size(); r++) {
                for (int ch = 0; ch < 8; ch++) set_cell(dma_, int(r), ch, qs(dma.values[r][size_t(ch)]));
            }
            break;
        }
        case InspectorPage::Bus: memory_->refresh(); break;
        case InspectorPage::DspData: {
            const auto bytes = dsp_register_bytes(m);
            for (int r = 0; r < 8; r++) {
                for (int c = 0; c < 16; c++) set_cell(dsp_data_, r, c, hex(bytes[size_t(r)][size_t(c)], 2));
            }
            break;
        }
    }
}

void InspectorWindow::redraw_cpu() {
    const Machine& m = host_.machine();
    const uint32_t pc = (uint32_t(m.cpu.pbr) << 16) | m.cpu.pc;
    const auto at = std::find(cpu_lines_.begin(), cpu_lines_.end(), pc);
    if (at == cpu_lines_.end()) {
        rebuild_cpu_listing();
    } else {
        update_cpu_checks();
        cpu_listing_->setCurrentRow(int(at - cpu_lines_.begin()));
    }
    fill_grid(cpu_registers_, cpu_register_grid(m));
}

// 64 lines disassembled forward from the PC, following CLC, SEC, XCE, REP
// and SEP; the current line selected.
void InspectorWindow::rebuild_cpu_listing() {
    const Machine& m = host_.machine();
    const std::vector<ListingLine> lines = main_cpu_listing(m, main_cpu_listing_start(m, true), kCpuListingLines);
    filling_listing_ = true;
    cpu_listing_->clear();
    cpu_lines_.clear();
    for (const ListingLine& l : lines) {
        auto* item = new QListWidgetItem(qs(l.text), cpu_listing_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        cpu_lines_.push_back(l.address);
    }
    filling_listing_ = false;
    update_cpu_checks();
    cpu_listing_->setCurrentRow(0);
}

// Ticked for an enabled breakpoint, greyed for a disabled one.
void InspectorWindow::update_cpu_checks() {
    const Debugger& d = host_.machine().debug;
    filling_listing_ = true;
    for (int i = 0; i < cpu_listing_->count() && i < int(cpu_lines_.size()); i++) {
        const BreakpointFind b = breakpoint_find(d, cpu_lines_[size_t(i)]);
        const Qt::CheckState state = !b.exists ? Qt::Unchecked : b.disabled ? Qt::PartiallyChecked : Qt::Checked;
        if (cpu_listing_->item(i)->checkState() != state) cpu_listing_->item(i)->setCheckState(state);
    }
    filling_listing_ = false;
}

// Ticking adds a breakpoint at the line (or enables the disabled one
// there); the box stays ticked only if that worked. Unticking removes it.
void InspectorWindow::cpu_line_changed(QListWidgetItem* item) {
    if (filling_listing_) return;
    const int row = cpu_listing_->row(item);
    if (row < 0 || row >= int(cpu_lines_.size())) return;
    Debugger& d = host_.machine().debug;
    const uint32_t address = cpu_lines_[size_t(row)];
    if (item->checkState() == Qt::Unchecked) {
        breakpoint_remove(d, address);
    } else if (breakpoint_find(d, address).exists) {
        breakpoint_set_disabled(d, address, false);
    } else {
        breakpoint_add(d, address);
    }
    update_cpu_checks();
}

void InspectorWindow::show_stop(const DebugHit& hit) {
    QString text;
    switch (hit.kind) {
        case DebugHitKind::None: break;
        case DebugHitKind::Breakpoint: text = QStringLiteral("Breakpoint at %1").arg(hex(hit.address, 6)); break;
        case DebugHitKind::WatchWrite:
            text = QStringLiteral("Watch: %1 written to %2 by the instruction at %3")
                       .arg(hex(hit.value, 2), hex(hit.address, 6), hex(hit.instruction, 6));
            break;
        case DebugHitKind::WatchRead:
            text = QStringLiteral("Watch: %1 read from %2 by the instruction at %3")
                       .arg(hex(hit.value, 2), hex(hit.address, 6), hex(hit.instruction, 6));
            break;
        case DebugHitKind::Interrupt: {
            static constexpr const char* kKinds[] = {"NMI", "IRQ", "BRK", "COP"};
            text = QStringLiteral("%1 entered: handler at %2").arg(QString::fromLatin1(kKinds[hit.value & 3]),
                                                                   hex(hit.address, 6));
            break;
        }
    }
    status_->setText(text);
}

// --- buttons ----------------------------------------------------------------------

void InspectorWindow::step() {
    if (!host_.gamepak_loaded()) return;
    Machine& m = host_.machine();
    m.debug.hit = {};
    debug_step(m);
    show_stop(m.debug.hit);
    m.debug.hit = {};
    dirty_.fill(true);
    redraw(InspectorPage(pages_->currentIndex()));
    seen_[0] = m.timing.cpu_steps;
    seen_[1] = m.timing.frame_counter;
    if (on_machine_changed) on_machine_changed();
}

void InspectorWindow::toggle_trace() {
    Machine& m = host_.machine();
    if (cpu_trace_is_on(m)) {
        cpu_trace_stop(m);
        if (log_) trace_log_flush(*log_);
    } else if (log_) {
        trace_.sink = trace_log_sink(*log_);
        cpu_trace_start(m, trace_);
    }
    trace_button_->setText(QString::fromLatin1(cpu_trace_is_on(m) ? kTraceOnCaption : kTraceOffCaption));
}

int InspectorWindow::run_dialog(QDialog& dialog) {
    if (on_dialog) {
        on_dialog(&dialog);
        return dialog.result();
    }
    return dialog.exec();
}

void InspectorWindow::show_breakpoints() {
    if (!host_.gamepak_loaded()) return;
    BreakpointsDialog dialog(host_.machine().debug, messages_, this);
    if (run_dialog(dialog) == QDialog::Accepted) update_cpu_checks();
}

void InspectorWindow::show_interrupts() {
    if (!host_.gamepak_loaded()) return;
    InterruptVectorsDialog dialog(host_.machine(), host_.gamepak_loaded(), this);
    run_dialog(dialog);
    update_cpu_checks();
}

void InspectorWindow::open_watch(uint32_t address) {
    Machine& m = host_.machine();
    WatchDialog dialog(address, watch_find(m.debug, address), this);
    if (run_dialog(dialog) != QDialog::Accepted) return;
    watch_set(m, address, dialog.attributes());  // a full list takes no more, silently
}

void InspectorWindow::add_viewers_menu(QMenu* menu) {
    auto* viewers = new QPushButton(QStringLiteral("Viewers"), this);
    viewers->setObjectName(QStringLiteral("buttonViewers"));
    viewers->setToolTip(QStringLiteral("Tiles, tilemaps, sprites and the palette"));
    viewers->setAutoDefault(false);
    viewers->setMenu(menu);
    button_row_->insertWidget(button_row_->indexOf(run_), viewers);
}

void InspectorWindow::run() {
    status_->clear();
    close();
}

void InspectorWindow::showEvent(QShowEvent* event) {
    if (!held_) {
        host_.hold();
        held_ = true;
    }
    refresh();
    watch_timer_.start();
    QDialog::showEvent(event);
}

void InspectorWindow::hideEvent(QHideEvent* event) {
    watch_timer_.stop();
    if (held_) {
        host_.release();
        held_ = false;
    }
    QDialog::hideEvent(event);
}

}  // namespace vt::gui
