// The debugger's windows as the main window reaches them: the State
// Inspector (Tools menu, and shown modally when a breakpoint, a watch or an
// interrupt trap stops the machine) and the video viewers. The main window
// calls after_turn() after every turn of its run loop; nothing is shown
// from inside a run.
#pragma once

#include <QObject>
#include <QPointer>
#include <array>
#include <cstdint>

#include "debug/cpu_trace.h"

class QAction;
class QMenu;

namespace vt {
struct TraceLog;
}

namespace vt::gui {

class InspectorWindow;
class MainWindow;
class ViewerWindow;

enum class Viewer { Tiles, Tilemaps, Sprites, Palette };
inline constexpr int kViewerCount = 4;

class DebuggerWindows : public QObject {
    Q_OBJECT
public:
    // `log`: the program's log, where the CPU trace and watch lines go.
    DebuggerWindows(MainWindow& window, TraceLog& log);
    // Ends a trace in progress with its stop line.
    ~DebuggerWindows() override;

    // "State Inspector..." shows or hides the inspector; the viewers go
    // into a "Viewers" submenu after it.
    void attach_menu(QMenu* tools, QAction* inspector_action);
    // After a turn of the run loop: when the debugger stopped the machine,
    // the inspector comes up modally and says why; the viewers follow a
    // new frame.
    void after_turn();

    InspectorWindow* inspector();  // created when first needed
    void toggle_inspector();
    // Shows the inspector; `modal` blocks the main window until Run (the
    // viewers stay usable).
    void show_inspector(bool modal);
    ViewerWindow* viewer(Viewer which);  // created when first needed
    void show_viewer(Viewer which);
    void refresh_viewers();

private:
    MainWindow& window_;
    TraceLog& log_;
    CpuTrace trace_;
    QPointer<InspectorWindow> inspector_;
    QMenu* viewers_menu_ = nullptr;
    std::array<QPointer<ViewerWindow>, kViewerCount> viewers_{};
    uint32_t last_frame_ = 0xFFFFFFFF;
};

}  // namespace vt::gui
