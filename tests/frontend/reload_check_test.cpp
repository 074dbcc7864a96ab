#include "frontend/reload_check.h"

#include <gtest/gtest.h>

#include <map>

namespace vt {
namespace {

struct FakeDates {
    std::map<std::string, uint32_t> dates;
    int reads = 0;
    FileDateReader reader() {
        return [this](const std::string& p) {
            reads++;
            auto it = dates.find(p);
            return it == dates.end() ? 0u : it->second;
        };
    }
};

TEST(ReloadCheck, AsksOnlyWhenTheDateChanged) {
    FakeDates files;
    files.dates["/g/a.sfc"] = 1000;
    ReloadCheck rc;
    reload_check_watch(rc, "/g/a.sfc", 1000);
    reload_check_rearm(rc);

    EXPECT_FALSE(reload_check_on_activate(rc, true, files.reader()));
    reload_check_rearm(rc);

    files.dates["/g/a.sfc"] = 2000;
    EXPECT_TRUE(reload_check_on_activate(rc, true, files.reader()));
    EXPECT_EQ(rc.date, 2000u);  // stored whatever the answer
    reload_check_rearm(rc);
    EXPECT_FALSE(reload_check_on_activate(rc, true, files.reader()));
}

TEST(ReloadCheck, DisarmedWhileAskingAndSilentWithoutAGamepak) {
    FakeDates files;
    files.dates["/g/a.sfc"] = 5;
    ReloadCheck rc;
    reload_check_watch(rc, "/g/a.sfc", 1);
    reload_check_rearm(rc);
    EXPECT_TRUE(reload_check_on_activate(rc, true, files.reader()));
    // The question box itself reactivates the program: no second question.
    files.dates["/g/a.sfc"] = 6;
    EXPECT_FALSE(reload_check_on_activate(rc, true, files.reader()));
    reload_check_rearm(rc);

    const int reads = files.reads;
    EXPECT_FALSE(reload_check_on_activate(rc, false, files.reader()));
    EXPECT_EQ(files.reads, reads);  // nothing loaded: the file is not even looked at
}

TEST(ReloadCheck, AFileThatCannotBeReadSkipsTheQuestion) {
    FakeDates files;
    ReloadCheck rc;
    reload_check_watch(rc, "/g/gone.sfc", 1234);
    reload_check_rearm(rc);
    EXPECT_FALSE(reload_check_on_activate(rc, true, files.reader()));
    EXPECT_EQ(rc.date, 1234u);
}

}  // namespace
}  // namespace vt
