#include "qt/about_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace vt::gui {

namespace {

QDialogButtonBox* ok_button(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    return buttons;
}

constexpr const char* kReleaseNotes =
    "<h3>Veltrane 0.1</h3>"
    "<ul>"
    "<li>Runs Super Nintendo Gamepaks: plain, headered, split and interleaved images.</li>"
    "<li>Keyboard joypads on both ports, the console mouse and the Super Scope; keys are set in "
    "Input / Configure Input.</li>"
    "<li>Sound at 44,100 Hz; the program keeps real-time speed (hold Tab to run as fast as possible).</li>"
    "<li>Battery RAM is kept beside the image (or in the BackupRAM folder).</li>"
    "<li>Save states in 100 slots per Gamepak (Tools / State Manager) and real-time saves (.rts).</li>"
    "<li>Screen captures as PNG (Gamepak / Save PNG), named after the image.</li>"
    "<li>Pause (Pause key) and frame advance (\\), quick saves on F1-F10 (Shift saves), rewind by holding "
    "Backspace, fast forward on Tab (Shift+Tab toggles, speed in Options / Emulation Settings).</li>"
    "<li>A resizable window with the picture in whole multiples or fitted, sharp or smooth; full screen on F11 "
    "or Alt+Enter.</li>"
    "<li>Game controllers as joypads, plugged in at any time; the pointer is captured for mouse and Super Scope "
    "games (Escape releases it).</li>"
    "<li>Audio settings: volume, mute and the output device.</li>"
    "</ul>";

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Veltrane"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QStringLiteral("<h2>Veltrane</h2>"
                                           "<p>Version 0.1</p>"
                                           "<p>A Super Nintendo emulator and debugger.</p>"),
                            this);
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(text);
    layout->addWidget(ok_button(this));
}

ReleaseNotesDialog::ReleaseNotesDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Release Notes"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QTextBrowser(this);
    text->setHtml(QString::fromLatin1(kReleaseNotes));
    layout->addWidget(text);
    layout->addWidget(ok_button(this));
    resize(480, 320);
}

}  // namespace vt::gui
