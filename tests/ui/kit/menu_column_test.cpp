// How many rows one column of a menu holds on a screen.

#include "ui/kit/menu_column.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(MenuColumn, RowsThatFitTheHeight) {
  const struct {
    int rowHeight, availableHeight;
    std::size_t rows;
  } cases[] = {
      {23, 792, 34},  // 1280x800 less a panel
      {23, 23 * 34, 34}, {23, 23 * 34 - 1, 33}, {23, 23 * 34 + 22, 34},
      {46, 1080, 23},    {23, 22, 1},  // no room for a row: the first still shows
      {23, 0, 1},        {23, -40, 1},          {0, 800, 1},  // no height measured
      {-5, 800, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(rowsThatFit(c.rowHeight, c.availableHeight), c.rows)
        << c.rowHeight << " px rows in " << c.availableHeight << " px";
  }
}

}  // namespace
}  // namespace vorlane
