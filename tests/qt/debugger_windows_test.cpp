// The debugger's windows: the Breakpoints and Interrupt Vectors dialogs with
// their keys, messages and Cancel copy, the State Inspector's pages,
// buttons, listing check boxes and memory view, the stop at a breakpoint
// with Step and Run, the trace button, and the video viewers.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <algorithm>

#include "core/machine.h"
#include "debug/breakpoints.h"
#include "debug/cpu_trace.h"
#include "debug/video_viewers.h"
#include "debug/watchpoints.h"
#include "qt/breakpoints_dialog.h"
#include "qt/debugger_windows.h"
#include "qt/inspector_window.h"
#include "qt/interrupt_vectors_dialog.h"
#include "qt/memory_view_widget.h"
#include "qt/video_viewer_windows.h"
#include "qt/watch_dialog.h"
#include "tests/qt/qt_test_suites.h"
#include "tests/qt/window_fixture.h"

namespace vt::gui::test {

namespace {

// The smoke cartridge's main loop.
constexpr uint32_t kMainLoop = 0x00801F;

uint32_t pc_of(const Machine& m) { return (uint32_t(m.cpu.pbr) << 16) | m.cpu.pc; }

InspectorWindow* open_inspector(MainWindow& w) {
    w.findChild<QAction*>(QStringLiteral("actionStateInspector"))->trigger();
    auto* inspector = w.findChild<InspectorWindow*>();
    if (!inspector) qFatal("no inspector");
    return inspector;
}

// Turns of the run loop until `done` or a number of frames' time.
template <class Done>
bool run_turns_until(MainWindow& w, Done done) {
    for (int i = 0; i < 400 && !done(); i++) {
        w.set_application_active(false);
        w.set_application_active(true);
        w.idle_turn();
    }
    return done();
}

// The viewers are windows of their own.
template <class T>
T* top_level() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* t = qobject_cast<T*>(w)) return t;
    }
    return nullptr;
}

QStringList visible_tabs(QTabWidget* tabs) {
    QStringList names;
    for (int i = 0; i < tabs->count(); i++) {
        if (tabs->isTabVisible(i)) names << tabs->tabText(i);
    }
    return names;
}

}  // namespace

class DebuggerWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void breakpoints_dialog_keys_messages_and_cancel() {
        auto m = make_machine();
        std::vector<BoxRequest> asked;
        BreakpointsDialog d(m->debug, [&](QWidget*, const BoxRequest& r) {
            asked.push_back(r);
            return BoxAnswer::Ok;
        });
        QCOMPARE(d.windowTitle(), QStringLiteral("Breakpoints"));
        QTest::keyClicks(d.address_box(), QStringLiteral("12G4"));
        QCOMPARE(d.address_box()->text(), QStringLiteral("124"));
        d.findChild<QPushButton*>(QStringLiteral("buttonAdd"))->click();
        QCOMPARE(d.list()->count(), 1);
        QCOMPARE(d.list()->item(0)->text(), QStringLiteral("000124"));
        QCOMPARE(d.list()->item(0)->checkState(), Qt::Checked);
        QVERIFY(d.address_box()->text().isEmpty());

        QTest::keyClicks(d.address_box(), QStringLiteral("124"));
        d.add();
        QCOMPARE(asked.size(), size_t(1));
        QCOMPARE(asked[0].caption, QStringLiteral("Add Breakpoint"));
        QCOMPARE(asked[0].text, QStringLiteral("Breakpoint already exists.  "));
        QCOMPARE(int(asked[0].icon), int(BoxIcon::Error));
        QCOMPARE(m->debug.breakpoints.size(), size_t(1));

        d.address_box()->setText(QStringLiteral("999"));
        d.findChild<QPushButton*>(QStringLiteral("buttonRemove"))->click();
        QCOMPARE(asked.back().caption, QStringLiteral("Remove Breakpoint"));
        QCOMPARE(asked.back().text, QStringLiteral("Breakpoint does not exist.  "));

        // Enter adds, like the button.
        d.address_box()->clear();
        QTest::keyClicks(d.address_box(), QStringLiteral("7e2000"));
        QTest::keyClick(d.address_box(), Qt::Key_Return);
        QCOMPARE(m->debug.breakpoints, (std::vector<uint32_t>{0x000124, 0x7E2000}));
        QVERIFY(d.isVisible() == false || d.result() == 0);  // Enter did not close the dialog

        // Clicking a line copies its address; unticking disables it.
        emit d.list()->itemClicked(d.list()->item(1));
        QCOMPARE(d.address_box()->text(), QStringLiteral("7E2000"));
        d.list()->item(1)->setCheckState(Qt::Unchecked);
        QVERIFY(breakpoint_find(m->debug, 0x7E2000).disabled);
        d.findChild<QPushButton*>(QStringLiteral("buttonDisable"))->click();
        QVERIFY(breakpoint_find(m->debug, 0x000124).disabled);
        QCOMPARE(d.list()->item(0)->checkState(), Qt::Unchecked);

        // Remove through the box.
        d.address_box()->setText(QStringLiteral("000124"));
        d.remove();
        QCOMPARE(m->debug.breakpoints.size(), size_t(1));

        // Cancel puts back the list the dialog opened with.
        d.reject();
        QVERIFY(m->debug.breakpoints.empty());
    }

    void breakpoints_dialog_ok_keeps_the_edits() {
        auto m = make_machine();
        breakpoint_add(m->debug, 0x008000);
        BreakpointsDialog d(m->debug, [](QWidget*, const BoxRequest&) { return BoxAnswer::Ok; });
        QCOMPARE(d.list()->count(), 1);
        d.address_box()->setText(QStringLiteral("8000"));
        d.remove();
        d.address_box()->setText(QStringLiteral("9000"));
        d.add();
        d.findChild<QPushButton*>(QStringLiteral("buttonOk"))->click();
        QCOMPARE(m->debug.breakpoints, std::vector<uint32_t>{0x009000});
    }

    void interrupt_vectors_tick_equal_handlers_together() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        InterruptVectorsDialog d(w.machine(), true);
        QCOMPARE(d.windowTitle(), QStringLiteral("Interrupt Vectors"));
        QVERIFY(d.windowFlags() & Qt::WindowStaysOnTopHint);
        QTableWidget* t = d.table();
        QCOMPARE(t->horizontalHeaderItem(0)->text(), QStringLiteral("W65C02S"));
        QCOMPARE(t->horizontalHeaderItem(1)->text(), QStringLiteral("W65C816S"));
        QCOMPARE(t->verticalHeaderItem(0)->text(), QStringLiteral("IRQ"));
        QCOMPARE(t->verticalHeaderItem(5)->text(), QStringLiteral("COP"));
        QCOMPARE(t->item(1, 0)->text(), QStringLiteral("008000"));  // RESET
        const QString irq = t->item(0, 0)->text();
        QCOMPARE(t->item(0, 1)->text(), irq);  // the same IRQ handler in both modes
        QCOMPARE(t->item(5, 1)->text(), irq);  // and for COP in native mode

        d.toggle(0, 1);
        QCOMPARE(t->item(0, 0)->checkState(), Qt::Checked);
        QCOMPARE(t->item(5, 1)->checkState(), Qt::Checked);
        QCOMPARE(t->item(2, 1)->checkState(), Qt::Unchecked);  // NMI elsewhere
        QVERIFY(breakpoint_find(w.machine().debug, irq.toUInt(nullptr, 16)).exists);
        breakpoint_set_disabled(w.machine().debug, irq.toUInt(nullptr, 16), true);
        d.refresh();
        QCOMPARE(t->item(0, 0)->checkState(), Qt::PartiallyChecked);
        // A click on a box with a breakpoint behind it removes it.
        t->item(0, 0)->setCheckState(Qt::Checked);
        QCOMPARE(t->item(5, 1)->checkState(), Qt::Unchecked);
        QVERIFY(w.machine().debug.breakpoints.empty());

        InterruptVectorsDialog empty(w.machine(), false);
        QVERIFY(!empty.table()->isEnabled());
    }

    void inspector_pages_buttons_and_listing() {
        WindowFixture f;
        MainWindow& w = f.open();
        InspectorWindow* in = open_inspector(w);
        QCOMPARE(in->windowTitle(), QStringLiteral("State Inspector"));
        QVERIFY(in->isVisible());
        QVERIFY(!in->step_button()->isEnabled());  // no Gamepak yet
        QVERIFY(!in->breakpoints_button()->isEnabled());
        QVERIFY(in->trace_button()->isEnabled());  // the log exists
        QCOMPARE(in->step_button()->toolTip(), QStringLiteral("Step a single CPU instruction"));
        QCOMPARE(in->trace_button()->toolTip(), QStringLiteral("Enable/Disable CPU logging"));
        QCOMPARE(in->breakpoints_button()->toolTip(), QStringLiteral("Manage CPU breakpoints"));
        QCOMPARE(in->interrupts_button()->toolTip(), QStringLiteral("View Interrupt vector table"));
        QCOMPARE(w.host().hold_count(), 1u);

        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        in->refresh();
        QVERIFY(in->step_button()->isEnabled());
        QCOMPARE(visible_tabs(in->pages()), (QStringList{QStringLiteral("W65C816S"), QStringLiteral("SPC700"),
                                                          QStringLiteral("PPU"), QStringLiteral("CPU"),
                                                          QStringLiteral("DSP"), QStringLiteral("BUS"),
                                                          QStringLiteral("DSP")}));
        QCOMPARE(in->cpu_listing()->count(), 64);
        QCOMPARE(in->cpu_listing()->item(0)->text(), QStringLiteral("008000 sei     "));
        QCOMPARE(in->cpu_listing()->item(5)->text(), QStringLiteral("008007 ldx     #$1fff"));  // after REP #$10
        QCOMPARE(in->cpu_registers()->item(7, 1)->text(), QStringLiteral("34 E+"));

        // Step: the registers follow and the current line moves.
        in->step();
        in->step();
        QCOMPARE(pc_of(w.machine()), 0x008002u);
        QCOMPARE(in->cpu_listing()->currentRow(), 2);
        in->step();
        QCOMPARE(in->cpu_registers()->item(7, 1)->text(), QStringLiteral("35 E-"));

        // A tick adds a breakpoint at the line; a disabled one shows greyed.
        in->cpu_listing()->item(10)->setCheckState(Qt::Checked);
        const uint32_t line10 = in->cpu_listing_addresses()[10];
        QVERIFY(breakpoint_find(w.machine().debug, line10).exists);
        breakpoint_set_disabled(w.machine().debug, line10, true);
        in->refresh();  // the listing is built again from the PC
        const auto& lines = in->cpu_listing_addresses();
        const int row = int(std::find(lines.begin(), lines.end(), line10) - lines.begin());
        QVERIFY(row < int(lines.size()));
        QCOMPARE(in->cpu_listing()->item(row)->checkState(), Qt::PartiallyChecked);
        in->cpu_listing()->item(row)->setCheckState(Qt::Unchecked);
        QVERIFY(!breakpoint_find(w.machine().debug, line10).exists);

        // Run closes the window and lets the machine go.
        in->run_button()->click();
        QVERIFY(!in->isVisible());
        QCOMPARE(w.host().hold_count(), 0u);
    }

    void breakpoint_stops_into_the_inspector_then_step_and_run() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        breakpoint_add(w.machine().debug, kMainLoop);
        QVERIFY(run_turns_until(w, [&] { return w.findChild<InspectorWindow*>() != nullptr; }));
        auto* in = w.findChild<InspectorWindow*>();
        QVERIFY(in->isVisible());
        QCOMPARE(in->windowModality(), Qt::WindowModal);  // the main window waits; the viewers do not
        QVERIFY(in->findChild<QPushButton*>(QStringLiteral("buttonViewers")));
        QCOMPARE(in->status()->text(), QStringLiteral("Breakpoint at 00801F"));
        QCOMPARE(pc_of(w.machine()), kMainLoop);
        QCOMPARE(w.host().run_state(), RunState::Held);
        QCOMPARE(in->cpu_listing()->currentRow(), 0);
        QCOMPARE(in->cpu_listing()->item(0)->checkState(), Qt::Checked);

        in->step_button()->click();
        QCOMPARE(pc_of(w.machine()), kMainLoop + 2);
        QVERIFY(w.machine().apu.clock >= w.machine().timing.line_clock);  // the audio CPU caught up

        in->run_button()->click();
        QVERIFY(!in->isVisible());
        const uint16_t counter = uint16_t(w.machine().mem.wram[0x12] | (w.machine().mem.wram[0x13] << 8));
        QVERIFY(run_turns_until(w, [&] { return in->isVisible(); }));
        QCOMPARE(pc_of(w.machine()), kMainLoop);  // round the loop once: INC ran once more
        QCOMPARE(uint16_t(w.machine().mem.wram[0x12] | (w.machine().mem.wram[0x13] << 8)), uint16_t(counter + 1));
        in->run();
    }

    void trace_button_writes_the_three_headers() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        InspectorWindow* in = open_inspector(w);
        in->trace_button()->click();
        QCOMPARE(in->trace_button()->text(), QStringLiteral("Trace CPU"));
        in->step();
        in->run();
        QVERIFY(run_turns_until(w, [&] { return w.machine().timing.frame_counter >= 1; }));
        in = open_inspector(w);
        QCOMPARE(in->trace_button()->text(), QStringLiteral("Trace CPU"));
        in->trace_button()->click();
        QCOMPARE(in->trace_button()->text(), QStringLiteral("Trace"));
        in->run();
        QFile log(QString::fromStdString(f.path("trace.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        QVERIFY(text.contains("CPU Trace Started @ Frame:00000000 HCT:0000 VCT:0000\r\n008000 sei"));
        QVERIFY(text.contains("\r\n\r\nContinuing @ Frame:"));
        QVERIFY(text.contains("CPU Trace Stopped.\r\n\r\n"));
    }

    void memory_view_jump_keys_and_watch() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("smoke.sfc")));
        InspectorWindow* in = open_inspector(w);
        in->pages()->setCurrentIndex(in->page_index(InspectorPage::Bus));
        MemoryViewWidget* view = in->memory_view();
        w.machine().mem.wram[0x2005] = 0x3F;
        QTest::keyClicks(view->jump_box(), QStringLiteral("7E2x005"));
        QCOMPARE(view->jump_box()->text(), QStringLiteral("7E2005"));
        QCOMPARE(view->table()->item(0, 0)->text(), QStringLiteral("7E2000"));
        QCOMPARE(view->table()->item(0, 6)->text(), QStringLiteral("3F"));
        QCOMPARE(view->table()->currentColumn(), 6);
        QTest::keyClick(view->table(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(view->table()->item(0, 0)->text(), QStringLiteral("7F2000"));
        QTest::keyClick(view->table(), Qt::Key_PageUp);
        QCOMPARE(view->table()->item(0, 0)->text(), QStringLiteral("7F1F00"));
        view->character_button()->setChecked(true);
        view->jump_box()->setText(QStringLiteral("7E2000"));
        QCOMPARE(view->table()->item(0, 6)->text(), QStringLiteral("?"));
        view->jump_box()->setText(QStringLiteral("6000"));
        QCOMPARE(view->table()->item(0, 1)->text(), QString());  // nothing mapped

        // A double-click opens the watch dialog for the byte.
        in->on_dialog = [](QDialog* d) {
            auto* watch = qobject_cast<WatchDialog*>(d);
            QVERIFY(watch);
            QCOMPARE(watch->windowTitle(), QStringLiteral("Add Watch: 006003"));
            QVERIFY(watch->write_box()->isEnabled());
            watch->write_box()->setChecked(true);
            watch->trace_box()->setChecked(true);
            watch->accept();
        };
        emit view->table()->cellDoubleClicked(0, 4);
        QCOMPARE(watch_find(w.machine().debug, 0x006003), kWatchWrite | kWatchTrace);
        QVERIFY(w.machine().debug.watching);
        in->on_dialog = [](QDialog* d) {
            auto* watch = qobject_cast<WatchDialog*>(d);
            QVERIFY(watch->write_box()->isChecked());  // the entry's attributes
            watch->reject();
        };
        emit view->table()->cellDoubleClicked(0, 4);
        QCOMPARE(watch_find(w.machine().debug, 0x006003), kWatchWrite | kWatchTrace);
        in->run();
    }

    void viewers_show_the_pictures_and_save_them() {
        WindowFixture f;
        MainWindow& w = f.open();
        QVERIFY(w.load_gamepak_file(test_rom("video_sprites.sfc")));
        QVERIFY(run_turns_until(w, [&] { return w.machine().timing.frame_counter >= 3; }));
        const Machine& m = w.machine();

        w.findChild<QAction*>(QStringLiteral("actionTileViewer"))->trigger();
        auto* tiles = top_level<TileViewer>();
        QVERIFY(tiles && tiles->isVisible());
        QCOMPARE(tiles->image(), viewer_qimage(tile_image(m, TileFormat::Bpp4, 0)));
        tiles->palette_box()->setValue(8);
        QCOMPARE(tiles->image(), viewer_qimage(tile_image(m, TileFormat::Bpp4, 8)));

        w.findChild<QAction*>(QStringLiteral("actionSpriteViewer"))->trigger();
        auto* sprites = top_level<SpriteViewer>();
        QCOMPARE(sprites->image(), viewer_qimage(sprite_image(m)));
        const SpriteInfo s0 = sprite_info(m, 0);
        QCOMPARE(sprites->describe(s0.x & 511, s0.y), QString::fromStdString(sprite_description(s0)));

        w.findChild<QAction*>(QStringLiteral("actionTilemapViewer"))->trigger();
        auto* maps = top_level<TilemapViewer>();
        QCOMPARE(maps->image(), viewer_qimage(tilemap_image(m, 0, true)));
        w.findChild<QAction*>(QStringLiteral("actionPaletteViewer"))->trigger();
        QCOMPARE(top_level<PaletteViewer>()->image(), viewer_qimage(palette_image(m)));

        // Save PNG through the file dialog.
        f.on_file_dialog = [&](FileRequest&) { return QString::fromStdString(f.path("sprites.png")); };
        sprites->findChild<QPushButton*>(QStringLiteral("buttonSavePng"))->click();
        QImage saved(QString::fromStdString(f.path("sprites.png")));
        QCOMPARE(saved.size(), QSize(512, 256));
        QCOMPARE(saved.convertToFormat(QImage::Format_ARGB32), sprites->image());

        // A frame later the viewers show the new state.
        w.machine().ppu.cgram[2] = 0xFF;
        QVERIFY(run_turns_until(w, [&] { return w.machine().timing.frame_counter >= 4; }));
        QCOMPARE(top_level<PaletteViewer>()->image(), viewer_qimage(palette_image(m)));
    }
};

static RegisterSuite<DebuggerWindowsTest> registered;

}  // namespace vt::gui::test

#include "debugger_windows_test.moc"
