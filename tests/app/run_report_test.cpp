#include "app/run_report.h"

#include <gtest/gtest.h>

namespace vireo {
namespace {

TEST(RunReport, ProgressDetailShowsLinesElapsedAndTimeLeft) {
  struct Row {
    RunProgress progress;
    int language;
    const char* expected;
  };
  const Row rows[] = {
      {{0, 0, 0, 0, 0}, 0, ""},                                               // no run
      {{0, 1000, 0, 0, 0}, 0, "0 righe   00:00:00"},                          // nothing read yet
      {{250, 1000, 40, 0, 0.5}, 1000, "40 lines   00:00:00"},                 // the first second: no pace
      {{250, 1000, 40, 160, 10}, 1000, "40 / 160 lines   00:00:10   left 00:00:30"},
      {{999, 1000, 99, 0, 3600}, 0, "99 righe   01:00:00   mancano 00:00:04"},  // rounded up
      {{1000, 1000, 100, 0, 12}, 1000, "100 lines   00:00:12"},            // all read
  };
  for (const Row& row : rows) EXPECT_EQ(progress_detail(row.progress, row.language), row.expected);
}

TEST(RunReport, EndTextSaysHowTheRunEnded) {
  EXPECT_EQ(run_end_text(RunEnd::finished, 1234, 75.9, 1000), "finished: 1234 lines delivered in 00:01:15");
  EXPECT_EQ(run_end_text(RunEnd::cancelled, 3, 1, 1000), "cancelled: 3 lines delivered in 00:00:01");
  EXPECT_EQ(run_end_text(RunEnd::failed, 0, 0, 0), "fallito: 0 righe inviate in 00:00:00");
}

}  // namespace
}  // namespace vireo
