// The State Inspector: one page per processor or chip of the loaded
// cartridge (listings with breakpoint check boxes, register grids with the
// console's register names, decoded settings), the memory view, and the
// buttons Step, Trace, Breakpoints, Interrupts and Run. The machine is held
// while the window is open; Run closes it, so emulation continues. The
// program shows it from the Tools menu, and modally when the debugger
// stops the machine.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "debug/inspector_data.h"
#include "qt/message_box.h"

class QHBoxLayout;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace vt {
class EmulatorHost;
struct CpuTrace;
struct DebugHit;
struct TraceLog;
}  // namespace vt

namespace vt::gui {

class MemoryViewWidget;

inline constexpr const char* kTraceOffCaption = "Trace";
inline constexpr const char* kTraceOnCaption = "Trace CPU";

class InspectorWindow : public QDialog {
    Q_OBJECT
public:
    // `log`: the program's log; the Trace button is enabled only when it
    // could be created. `trace` is the trace writer's state, kept by the
    // caller while tracing is on.
    InspectorWindow(EmulatorHost& host, TraceLog* log, CpuTrace& trace, MessageSink messages,
                    QWidget* parent = nullptr);
    ~InspectorWindow() override;

    // Marks every page for redrawing, shows the pages of the loaded
    // cartridge, sets the buttons and redraws the page in front.
    void refresh();
    // Says why the debugger stopped the machine.
    void show_stop(const DebugHit& hit);

    void step();
    void toggle_trace();
    void show_breakpoints();
    void show_interrupts();
    void run();  // closes the window: emulation continues
    // A "Viewers" button with the video viewers' menu.
    void add_viewers_menu(QMenu* menu);

    QTabWidget* pages() const { return pages_; }
    int page_index(InspectorPage page) const { return int(page); }
    QListWidget* cpu_listing() const { return cpu_listing_; }
    QTableWidget* cpu_registers() const { return cpu_registers_; }
    MemoryViewWidget* memory_view() const { return memory_; }
    QLabel* status() const { return status_; }
    QPushButton* step_button() const { return step_; }
    QPushButton* trace_button() const { return trace_button_; }
    QPushButton* breakpoints_button() const { return breakpoints_; }
    QPushButton* interrupts_button() const { return interrupts_; }
    QPushButton* run_button() const { return run_; }
    // The 24-bit addresses of the listing's lines.
    const std::vector<uint32_t>& cpu_listing_addresses() const { return cpu_lines_; }

    // Called after the inspector changed the machine (a step), so other
    // windows can follow.
    std::function<void()> on_machine_changed;
    // Lets tests answer the dialogs the window opens: called with each
    // dialog before it runs modally.
    std::function<void(QDialog*)> on_dialog;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* build_cpu_page();
    QWidget* build_spc700_page();
    QWidget* build_sa1_page();
    QWidget* build_super_fx_page();
    QWidget* build_ppu_page();
    QWidget* build_cpu_io_page();
    QWidget* build_nes_page();
    QWidget* build_dsp_ports_page();
    QWidget* build_dsp_data_page();

    void redraw(InspectorPage page);
    void redraw_cpu();
    void rebuild_cpu_listing();
    void update_cpu_checks();
    void cpu_line_changed(QListWidgetItem* item);
    void open_watch(uint32_t address);
    void refresh_if_changed();
    int run_dialog(QDialog& dialog);

    EmulatorHost& host_;
    TraceLog* log_;
    CpuTrace& trace_;
    MessageSink messages_;
    bool held_ = false;

    QTabWidget* pages_ = nullptr;
    std::array<bool, kInspectorPageCount> dirty_{};
    QLabel* status_ = nullptr;
    QPushButton* step_ = nullptr;
    QPushButton* trace_button_ = nullptr;
    QPushButton* breakpoints_ = nullptr;
    QPushButton* interrupts_ = nullptr;
    QPushButton* run_ = nullptr;
    QHBoxLayout* button_row_ = nullptr;

    QListWidget* cpu_listing_ = nullptr;
    QTableWidget* cpu_registers_ = nullptr;
    std::vector<uint32_t> cpu_lines_;
    bool filling_listing_ = false;

    QListWidget* spc_listing_ = nullptr;
    QTableWidget* spc_registers_ = nullptr;
    QTableWidget* spc_io_ = nullptr;

    QListWidget* sa1_listing_ = nullptr;
    QTableWidget* sa1_writes_ = nullptr;
    QTableWidget* sa1_reads_ = nullptr;
    QTableWidget* sa1_registers_ = nullptr;

    QTableWidget* super_fx_values_ = nullptr;

    QTableWidget* ppu_settings_ = nullptr;
    QTableWidget* ppu_registers_ = nullptr;
    QTableWidget* oam_ = nullptr;
    QTableWidget* nes_settings_ = nullptr;
    QTableWidget* nes_registers_ = nullptr;
    QTableWidget* nes_sprites_ = nullptr;

    QTableWidget* cpu_io_settings_ = nullptr;
    QTableWidget* cpu_io_registers_ = nullptr;
    QTableWidget* dma_ = nullptr;

    QTableWidget* dsp_ports_ = nullptr;
    MemoryViewWidget* memory_ = nullptr;
    QTableWidget* dsp_data_ = nullptr;

    // What the window last showed, to notice a machine changed by others
    // (a load, a reset, a loaded state) while it is open.
    QTimer watch_timer_;
    std::array<uint64_t, 4> seen_{};
};

}  // namespace vt::gui
