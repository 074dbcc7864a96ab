// The log file: created empty, CR LF line ends.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "debug/trace_log.h"

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

}  // namespace
}  // namespace vt
