#include "qt/debugger_windows.h"

#include <QAction>
#include <QMenu>

#include "core/machine.h"
#include "debug/trace_log.h"
#include "qt/inspector_window.h"
#include "qt/main_window.h"
#include "qt/video_viewer_windows.h"

namespace vt::gui {

namespace {

void write_watch_line(void* user, const char* text, size_t size) {
    trace_log_write(*static_cast<TraceLog*>(user), std::string_view(text, size));
}

}  // namespace

DebuggerWindows::DebuggerWindows(MainWindow& window, TraceLog& log) : window_(window), log_(log) {
    Machine& m = window_.machine();
    m.debug.watch_log = &write_watch_line;
    m.debug.watch_log_user = &log_;
}

DebuggerWindows::~DebuggerWindows() {
    Machine& m = window_.machine();
    cpu_trace_stop(m);  // "CPU Trace Stopped." when anything was traced
    trace_log_flush(log_);
    m.debug.watch_log = nullptr;
    m.debug.watch_log_user = nullptr;
    delete inspector_.data();
    for (auto& v : viewers_) delete v.data();
}

void DebuggerWindows::attach_menu(QMenu* tools, QAction* inspector_action) {
    connect(inspector_action, &QAction::triggered, this, [this] { toggle_inspector(); });
    auto* viewers = new QMenu(QStringLiteral("Viewers"), tools);
    viewers_menu_ = viewers;
    viewers->setObjectName(QStringLiteral("menuViewers"));
    struct Item {
        Viewer which;
        const char* name;
        const char* caption;
    };
    static constexpr Item kItems[] = {
        {Viewer::Tiles, "actionTileViewer", "Tiles..."},
        {Viewer::Tilemaps, "actionTilemapViewer", "Tilemaps..."},
        {Viewer::Sprites, "actionSpriteViewer", "Sprites..."},
        {Viewer::Palette, "actionPaletteViewer", "Palette..."},
    };
    for (const Item& item : kItems) {
        QAction* a = viewers->addAction(QString::fromLatin1(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        const Viewer which = item.which;
        connect(a, &QAction::triggered, this, [this, which] { show_viewer(which); });
    }
    const QList<QAction*> actions = tools->actions();
    const qsizetype at = actions.indexOf(inspector_action);
    QAction* before = at >= 0 && at + 1 < actions.size() ? actions[at + 1] : nullptr;
    tools->insertMenu(before, viewers);
}

InspectorWindow* DebuggerWindows::inspector() {
    if (!inspector_) {
        inspector_ = new InspectorWindow(window_.host(), &log_, trace_,
                                         [this](QWidget*, const BoxRequest& r) {
                                             return window_.ask(r.caption.toStdString(), r.text.toStdString(), r.icon,
                                                                r.buttons);
                                         },
                                         &window_);
        inspector_->on_machine_changed = [this] { refresh_viewers(); };
        if (viewers_menu_) inspector_->add_viewers_menu(viewers_menu_);
    }
    return inspector_;
}

void DebuggerWindows::toggle_inspector() {
    if (inspector_ && inspector_->isVisible()) {
        inspector_->close();
        return;
    }
    show_inspector(false);
}

void DebuggerWindows::show_inspector(bool modal) {
    InspectorWindow* w = inspector();
    const Qt::WindowModality modality = modal ? Qt::WindowModal : Qt::NonModal;
    if (w->windowModality() != modality) {
        // The modality of a visible window cannot change.
        if (w->isVisible()) w->hide();
        w->setWindowModality(modality);
    }
    w->show();
    w->raise();
    w->activateWindow();
}

ViewerWindow* DebuggerWindows::viewer(Viewer which) {
    QPointer<ViewerWindow>& v = viewers_[size_t(which)];
    if (!v) {
        // Windows of their own, so an inspector modal to the main window
        // leaves them usable while the machine is stopped.
        const Machine& m = window_.machine();
        switch (which) {
            case Viewer::Tiles: v = new TileViewer(m); break;
            case Viewer::Tilemaps: v = new TilemapViewer(m); break;
            case Viewer::Sprites: v = new SpriteViewer(m); break;
            case Viewer::Palette: v = new PaletteViewer(m); break;
        }
        v->choose_file = [this](FileRequest& r) { return window_.choose_file(r); };
        v->tell = [this](const QString& caption, const QString& text) {
            window_.ask(caption.toStdString(), text.toStdString(), BoxIcon::Error, BoxButtons::Ok);
        };
    }
    return v;
}

void DebuggerWindows::show_viewer(Viewer which) {
    ViewerWindow* v = viewer(which);
    v->refresh();
    v->show();
    v->raise();
}

void DebuggerWindows::refresh_viewers() {
    for (auto& v : viewers_) {
        if (v && v->isVisible()) v->refresh();
    }
}

void DebuggerWindows::after_turn() {
    Machine& m = window_.machine();
    if (m.debug.hit.kind != DebugHitKind::None) {
        const DebugHit hit = m.debug.hit;
        m.debug.hit = {};
        show_inspector(true);
        inspector_->show_stop(hit);
        refresh_viewers();
    }
    if (m.timing.frame_counter != last_frame_) {
        last_frame_ = m.timing.frame_counter;
        refresh_viewers();
    }
}

}  // namespace vt::gui
