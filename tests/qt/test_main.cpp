// Runs every widget test class on Qt's offscreen platform.
#include <QApplication>
#include <QTest>

#include "tests/qt/qt_test_suites.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int failures = 0;
    for (const auto& make : vt::gui::test::suites()) {
        std::unique_ptr<QObject> suite = make();
        failures += QTest::qExec(suite.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
