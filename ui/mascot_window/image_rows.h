#pragma once

#include <QRect>
#include <vector>

namespace vorlane {

// One image upload: `rows` rows of the rectangle starting at row `top`.
struct RowBatch {
  int top = 0;
  int rows = 0;
  bool operator==(const RowBatch&) const = default;
};

// Splits a rectangle of 32-bit pixels into uploads of whole rows, each within `maxBytes` of
// pixel data and `maxRows` rows (one piece of memory per row is sent). None when even one row
// does not fit or the rectangle is empty.
std::vector<RowBatch> rowBatches(const QRect& rect, long long maxBytes, int maxRows);

}  // namespace vorlane
