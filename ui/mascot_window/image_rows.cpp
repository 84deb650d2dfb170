#include "ui/mascot_window/image_rows.h"

#include <algorithm>

namespace vorlane {

std::vector<RowBatch> rowBatches(const QRect& rect, long long maxBytes, int maxRows) {
  std::vector<RowBatch> batches;
  if (rect.isEmpty() || maxRows < 1) return batches;
  const long long rowBytes = static_cast<long long>(rect.width()) * 4;
  const long long fitting = std::min<long long>(maxBytes / rowBytes, maxRows);
  if (fitting < 1) return batches;
  for (int top = rect.top(); top <= rect.bottom();) {
    const int rows = static_cast<int>(std::min<long long>(fitting, rect.bottom() + 1 - top));
    batches.push_back({top, rows});
    top += rows;
  }
  return batches;
}

}  // namespace vorlane
