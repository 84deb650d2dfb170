#pragma once

#include <functional>
#include <memory>
#include <string>

#include "foundation/calendar.h"
#include "foundation/date.h"
#include "platform/services/voice_catalogue.h"
#include "ui/preferences/panels/preferences_panel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace vorlane {

// The Voice page: speech on or off, the voice, the speaking rate and the phrase template,
// with a spoken preview.
class VoicePanel final : public PreferencesPanel {
 public:
  struct Services {
    // The voices to offer; none offers only "System default".
    std::shared_ptr<const VoiceCatalogue> voices;
    // Speaks a sentence at once, as an announcement of now would be.
    std::function<void(const std::string&)> onPreview;
    std::function<Calendar()> calendar;
    std::function<Date()> now;
  };

  // The rate slider's grid: 400 steps of 0.001 from 0.3 to 0.7.
  static constexpr int rateSteps = 400;
  static float rateAt(int step);
  // The step nearest a stored rate; a rate that is not a number shows the middle.
  static int stepOf(float rate);
  // Longest template the field holds; a longer stored one is shown cut, and kept until edited.
  static constexpr int longestTemplate = 1000;

  VoicePanel(PreferencesBinding& binding, Services services, QWidget* parent);

  QCheckBox* speechToggle() const { return speech_; }
  QComboBox* voicePicker() const { return voice_; }
  QSlider* rateSlider() const { return rate_; }
  QLineEdit* templateField() const { return template_; }
  QPushButton* previewButton() const { return preview_; }
  QLabel* bundledNote() const { return bundledNote_; }

 protected:
  void redraw(const Preferences& record) override;

 private:
  void fillVoices();
  void preview();

  Services services_;
  QCheckBox* speech_ = nullptr;
  QComboBox* voice_ = nullptr;
  QSlider* rate_ = nullptr;
  QLineEdit* template_ = nullptr;
  QPushButton* preview_ = nullptr;
  QLabel* bundledNote_ = nullptr;
};

}  // namespace vorlane
