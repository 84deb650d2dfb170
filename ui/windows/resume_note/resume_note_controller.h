#pragma once

#include "coordination/windows/feature_windows.h"
#include "ui/kit/feature_window.h"

namespace vorlane {

// The resume note window: "Leave yourself a next step" after a pause, "Where was I?" before
// resuming a focus that has a note. Fixed 460 x 260 (taller when its lines need it). Every
// request rebuilds it, even while on screen, so an open note switches form and unsaved typing
// goes. The note is stored by `save`; "Save & resume" resumes only after a save that went
// through.
class ResumeNoteController final : public ResumeNoteWindow {
 public:
  static constexpr int width = 460;
  static constexpr int height = 260;

  void show(const std::string& goal, const std::string& note, bool returning, bool placeSaved,
            std::function<void(const std::string&)> save, std::function<void()> resume) override;
  // Closes the window if it is open; harmless otherwise.
  void close() override;

  FeatureWindow& host() { return host_; }

 private:
  FeatureWindow host_;
};

}  // namespace vorlane
