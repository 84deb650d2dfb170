#pragma once

#include <string>
#include <utility>

#include "core/contracts/visit.h"

namespace vorlane {

// A clickable visit that says `text` and shows it in a headline bubble, with the standard
// choreography.
inline Visit headlineVisit(UUID id, Visit::Kind kind, Date scheduledFor, const std::string& text) {
  return Visit{std::move(id),
               std::move(kind),
               scheduledFor,
               text,
               text,
               true,
               Visit::BubbleStyle::headline,
               Choreography::standard(),
               true};
}

}  // namespace vorlane
