#include "foundation/zone_rules.h"

#include <unicode/basictz.h>
#include <unicode/timezone.h>
#include <unicode/tzrule.h>
#include <unicode/tztrans.h>

#include <algorithm>

namespace vorlane::detail {
namespace {

constexpr std::int64_t dayMs = 86'400'000;
constexpr std::int64_t tableFrom = -2'208'988'800'000;  // 1900-01-01T00:00Z
constexpr std::int64_t tableTo = 7'258'118'400'000;     // 2200-01-01T00:00Z
// Wall times this close to the table's ends may belong to a span it does not hold.
constexpr std::int64_t tableMargin = 2 * dayMs;

}  // namespace

ZoneRules::ZoneRules(std::shared_ptr<const icu::TimeZone> zone) : zone_(std::move(zone)) {
  const auto* basic = dynamic_cast<const icu::BasicTimeZone*>(zone_.get());
  if (basic == nullptr) return;  // no transitions to tabulate: ICU answers every question
  offsets_.push_back(icuOffsetAt(tableFrom));
  icu::TimeZoneTransition transition;
  UDate from = static_cast<UDate>(tableFrom);
  while (basic->getNextTransition(from, false, transition) && transition.getTime() < tableTo) {
    from = transition.getTime();
    const icu::TimeZoneRule* to = transition.getTo();
    if (to == nullptr) break;
    const std::int64_t offset = std::int64_t{to->getRawOffset()} + to->getDSTSavings();
    if (offset == offsets_.back()) continue;  // a renamed rule, no clock change
    transitions_.push_back(static_cast<std::int64_t>(from));
    offsets_.push_back(offset);
  }
  localStarts_.push_back(tableFrom + offsets_[0]);
  for (std::size_t i = 0; i < transitions_.size(); ++i) {
    localStarts_.push_back(transitions_[i] + offsets_[i + 1]);
  }
  // The search below needs the spans' wall-time starts in order; a zone whose clock changes
  // come closer together than their size is left to ICU.
  if (!std::is_sorted(localStarts_.begin(), localStarts_.end())) {
    transitions_.clear();
    offsets_.clear();
    localStarts_.clear();
    return;
  }
  tableStart_ = tableFrom;
  tableEnd_ = tableTo;
}

ZoneRules::~ZoneRules() = default;

std::int64_t ZoneRules::offsetAt(std::int64_t utc) const {
  if (utc < tableStart_ || utc >= tableEnd_) return icuOffsetAt(utc);
  const auto after = std::upper_bound(transitions_.begin(), transitions_.end(), utc);
  return offsets_[static_cast<std::size_t>(after - transitions_.begin())];
}

std::int64_t ZoneRules::resolve(std::int64_t local) const {
  if (local < tableStart_ + tableMargin || local >= tableEnd_ - tableMargin) {
    return icuResolve(local);
  }
  // The last span whose wall times begin at or before `local`.
  const std::size_t k = static_cast<std::size_t>(
      std::upper_bound(localStarts_.begin(), localStarts_.end(), local) - localStarts_.begin() - 1);
  const std::int64_t spanEnd = k < transitions_.size() ? transitions_[k] : tableEnd_;
  if (local >= spanEnd + offsets_[k]) return transitions_[k];  // in the gap before the next span
  if (k > 0 && local < transitions_[k - 1] + offsets_[k - 1]) {
    return local - offsets_[k - 1];  // also shown before the clock went back: the first time
  }
  return local - offsets_[k];
}

std::int64_t ZoneRules::icuOffsetAt(std::int64_t utc) const {
  UErrorCode status = U_ZERO_ERROR;
  int32_t raw = 0;
  int32_t dst = 0;
  zone_->getOffset(static_cast<UDate>(utc), false, raw, dst, status);
  return U_FAILURE(status) ? 0 : std::int64_t{raw} + dst;
}

std::int64_t ZoneRules::icuResolve(std::int64_t local) const {
  const auto* basic = dynamic_cast<const icu::BasicTimeZone*>(zone_.get());
  UErrorCode status = U_ZERO_ERROR;
  int32_t raw = 0;
  int32_t dst = 0;
  if (basic == nullptr) {
    zone_->getOffset(static_cast<UDate>(local), true, raw, dst, status);
    return local - (U_FAILURE(status) ? 0 : std::int64_t{raw} + dst);
  }
  // As ICU's calendar does it: read the wall time with the earlier offset; when the instant
  // found has another offset the wall time was skipped, and the clock change is the answer.
  basic->getOffsetFromLocal(static_cast<UDate>(local), UCAL_TZ_LOCAL_FORMER, UCAL_TZ_LOCAL_FORMER,
                            raw, dst, status);
  if (U_FAILURE(status)) return local;
  const std::int64_t utc = local - (std::int64_t{raw} + dst);
  if (icuOffsetAt(utc) == std::int64_t{raw} + dst) return utc;
  icu::TimeZoneTransition transition;
  if (basic->getPreviousTransition(static_cast<UDate>(utc), true, transition)) {
    return static_cast<std::int64_t>(transition.getTime());
  }
  return utc;
}

}  // namespace vorlane::detail
