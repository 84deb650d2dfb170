#include "ui/preferences/binding/preferences_binding.h"

#include <utility>

namespace vorlane {

void PreferencesBinding::edit(const std::function<void(Preferences&)>& change) {
  if (isRedrawing()) return;
  const Preferences current = store_.preferences();
  Preferences record = current;
  change(record);
  // Choosing what is already stored (the same hour again) is no change to write.
  if (record == current) return;
  store_.setPreferences(record);
}

PreferencesBinding::Subscription PreferencesBinding::follow(Redraw redraw) {
  draw(redraw, store_.preferences());
  return store_.changes().subscribe(
      [this, redraw = std::move(redraw)](const Preferences& record) { draw(redraw, record); });
}

void PreferencesBinding::draw(const Redraw& redraw, const Preferences& record) {
  ++redrawing_;
  struct Done {
    int& depth;
    ~Done() { --depth; }
  } done{redrawing_};
  redraw(record);
}

}  // namespace vorlane
