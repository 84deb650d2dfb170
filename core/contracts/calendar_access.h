#pragma once

namespace vorlane {

// Whether the user lets us read their calendar files: Linux has no calendar permission, so
// this is their answer to our own question. Never stored here.
enum class CalendarAccess { notAsked, granted, refused };

}  // namespace vorlane
