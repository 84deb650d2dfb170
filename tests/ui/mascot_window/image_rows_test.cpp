#include "ui/mascot_window/image_rows.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(RowBatches, WholeRowsWithinTheRequestSizeAndRowCount) {
  struct Row {
    const char* name;
    QRect rect;
    long long maxBytes;
    int maxRows;
    std::vector<RowBatch> expected;
  };
  const Row rows[] = {
      {"fits in one", {10, 20, 30, 5}, 1 << 20, 256, {{20, 5}}},
      {"split by bytes: three rows of 120 bytes a request",
       {0, 0, 30, 7},
       400,
       256,
       {{0, 3}, {3, 3}, {6, 1}}},
      {"split by rows", {5, 100, 2, 5}, 1 << 20, 2, {{100, 2}, {102, 2}, {104, 1}}},
      {"exactly full", {0, 7, 25, 4}, 400, 4, {{7, 4}}},
      {"one row too wide for a request", {0, 0, 200, 3}, 400, 256, {}},
      {"nothing to send", {4, 4, 0, 10}, 400, 256, {}},
      {"no row allowed", {0, 0, 4, 4}, 400, 0, {}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(rowBatches(row.rect, row.maxBytes, row.maxRows), row.expected) << row.name;
  }
}

}  // namespace
}  // namespace vorlane
