// The widget test classes register themselves here so that one executable
// runs them all.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace vt::gui::test {

using SuiteFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<SuiteFactory>& suites();

template <typename T>
struct RegisterSuite {
    RegisterSuite() { suites().push_back([] { return std::make_unique<T>(); }); }
};

}  // namespace vt::gui::test
