// The method boundary of the engine binding, exercised in process with a recording reporter.

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "boundary.hpp"

namespace {

struct Report {
    std::string description;
    std::string function;
};

std::vector<Report> reports;

void record(const char* description, const char* function) { reports.push_back({description, function}); }

class MethodBoundary : public ::testing::Test {
protected:
    void SetUp() override { reports.clear(); }
};

TEST_F(MethodBoundary, RunsTheBodyAndReportsNothingWhenItSucceeds) {
    int runs = 0;
    EXPECT_TRUE(vantrel::guarded("vantrel::LoopCore::step", record, [&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(reports.empty());
}

TEST_F(MethodBoundary, ReportsAnInternalErrorUnderTheFunctionPath) {
    EXPECT_FALSE(vantrel::guarded("vantrel::LoopCore::select_room", record,
                                  [] { throw vantrel_sim::InternalError("room 3: index 9 outside a list of 2"); }));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].description, "Internal error: room 3: index 9 outside a list of 2");
    EXPECT_EQ(reports[0].function, "vantrel::LoopCore::select_room");
}

TEST_F(MethodBoundary, StopsEveryOtherExceptionToo) {
    EXPECT_FALSE(vantrel::guarded("f", record, [] { throw std::bad_alloc(); }));
    EXPECT_FALSE(vantrel::guarded("f", record, [] { throw std::runtime_error("disk"); }));
    EXPECT_FALSE(vantrel::guarded("f", record, [] { throw 42; }));
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].description, "Unexpected exception: std::bad_alloc");
    EXPECT_EQ(reports[1].description, "Unexpected exception: disk");
    EXPECT_EQ(reports[2].description, "Unexpected exception of unknown type");
}

TEST_F(MethodBoundary, CutsAnOverlongDescriptionInsteadOfOverflowing) {
    const std::string long_text(2000, 'x');
    EXPECT_FALSE(vantrel::guarded("f", record, [&] { throw vantrel_sim::InternalError(long_text); }));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].description.size(), 511u);
}

}  // namespace
