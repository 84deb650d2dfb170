#include "ui/tray/status_button_model.h"

namespace vorlane {
namespace {

std::string symbolFor(const StatusSnapshot& s) {
  if (s.session.completion()) return "checkmark.circle.fill";
  if (s.session.isPaused()) return "pause.circle";
  if (s.session.endsAt()) return "timer";
  if (s.muted) return "figure.climbing.circle";
  return "figure.climbing";
}

}  // namespace

StatusButtonModel statusButton(const StatusSnapshot& s) {
  StatusButtonModel model;
  model.symbol = symbolFor(s);
  model.title = s.statusText;
  model.showsTitle = !s.statusText.empty();
  model.toolTip = "Vorlane - " + s.nextVisit;
  model.accessibleLabel = model.showsTitle ? "Vorlane, " + s.statusText : "Vorlane";
  return model;
}

}  // namespace vorlane
