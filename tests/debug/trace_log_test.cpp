// The log file: created empty, CR LF line ends, the block of each load.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cart/loader.h"
#include "core/machine.h"
#include "debug/trace_log.h"
#include "support/test_rom.h"

namespace vt {
namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(TraceLog, CreatesAnEmptyFileAndEndsLinesWithCrLf) {
    std::string path = ::testing::TempDir() + "veltrane_trace_create.log";
    {
        std::ofstream old(path);
        old << "left over from last time";
    }
    TraceLog log;
    ASSERT_TRUE(trace_log_create(log, path));
    trace_log_flush(log);
    EXPECT_EQ(contents(path), "");
    trace_log_write_line(log, "one");
    trace_log_write(log, "two");
    trace_log_close(log);
    EXPECT_EQ(contents(path), "one\r\ntwo");
}

TEST(TraceLog, UncreatableFileDisablesTheLog) {
    TraceLog log;
    EXPECT_FALSE(trace_log_create(log, "/no/such/folder/trace.log"));
    EXPECT_TRUE(log.disabled);
    EXPECT_FALSE(trace_log_is_open(log));
    trace_log_write_line(log, "ignored");  // no crash, nothing written
    EXPECT_EQ(std::string(kTraceLogCreateFailed),
              "Could not create log file. CPU Tracing will be disabled for this session.  ");
}

TEST(TraceLog, EveryLoadAppendsItsBlock) {
    std::string path = ::testing::TempDir() + "veltrane_trace_loads.log";
    TraceLog log;
    ASSERT_TRUE(trace_log_create(log, path));
    auto m = make_machine();
    LoadOptions options;
    options.log = &log;
    const std::string rom = test::test_rom_path("smoke");
    ASSERT_TRUE(load_gamepak(*m, rom, options).loaded());
    ASSERT_FALSE(load_gamepak(*m, "/no/such/image.sfc", options).loaded());
    ASSERT_TRUE(load_gamepak(*m, rom, options).loaded());
    trace_log_close(log);

    std::string text = contents(path);
    std::string one = "\"" + rom + "\" loaded.\r\n---------------- ROM Information ----------------\r\n";
    size_t first = text.find(one);
    ASSERT_EQ(first, 0u);
    size_t second = text.find(one, 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(text.substr(0, second), text.substr(second));  // a failed load writes nothing
    EXPECT_NE(text.find("\r\nChecksum: OK\r\nCRC32:    "), std::string::npos);
}

}  // namespace
}  // namespace vt
