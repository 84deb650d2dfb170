#pragma once

namespace vorlane {

// What becomes of a visit that may not be shown.
enum class SuppressionFallback { silentNotification, drop };

}  // namespace vorlane
