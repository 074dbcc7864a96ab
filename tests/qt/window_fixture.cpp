#include "tests/qt/window_fixture.h"

#include <QFile>

namespace vt::gui::test {

std::string test_rom(const char* name) { return std::string(VELTRANE_TEST_ROM_DIR) + "/" + name; }

WindowFixture::WindowFixture() = default;

WindowFixture::~WindowFixture() { close_window(); }

void WindowFixture::close_window() { window.reset(); }

MainWindow& WindowFixture::open() {
    close_window();
    MainWindowOptions o;
    o.settings_file = settings_file();
    o.open_sound = false;
    o.trace_log_path = dir.filePath(QStringLiteral("trace.log"));
    o.program_folder = dir.path();
    o.messages = [this](QWidget*, const BoxRequest& r) {
        messages.push_back(r);
        if (on_message) on_message(r);
        if (!answers.empty()) {
            BoxAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        switch (r.buttons) {
            case BoxButtons::Ok: return BoxAnswer::Ok;
            case BoxButtons::OkCancel: return BoxAnswer::Cancel;
            case BoxButtons::YesNo: return BoxAnswer::No;
        }
        return BoxAnswer::Ok;
    };
    o.choose_file = [this](QWidget*, FileRequest& r) {
        file_requests.push_back(r);
        return on_file_dialog ? on_file_dialog(r) : QString();
    };
    o.exit_process = [this](int status) { exit_status = status; };
    o.open_gamepads = false;
    o.demo_data_folder = dir.filePath(QStringLiteral("demo-data"));
    if (adjust_options) adjust_options(o);
    window = std::make_unique<MainWindow>(o);
    return *window;
}

std::string WindowFixture::copy_rom(const char* rom, const char* as) {
    const QString target = dir.filePath(QString::fromLatin1(as));
    QFile::remove(target);
    QFile::copy(QString::fromStdString(test_rom(rom)), target);
    return target.toStdString();
}

}  // namespace vt::gui::test
