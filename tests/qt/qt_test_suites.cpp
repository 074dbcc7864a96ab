#include "tests/qt/qt_test_suites.h"

namespace vt::gui::test {

std::vector<SuiteFactory>& suites() {
    static std::vector<SuiteFactory> list;
    return list;
}

}  // namespace vt::gui::test
