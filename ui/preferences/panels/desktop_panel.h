#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/mascot_window/screen_info.h"
#include "ui/preferences/panels/preferences_panel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace vorlane {

class FormSection;

// The Desktop page: how the mascot sits on the desktop. Presence between visits,
// click-through, the display it is shown on, its position on that display (kept per display)
// and the floating clock. Without a system tray, the user's way back to the menu is the
// monkey itself: click-through is not offered, and a note beside the presence says that
// "Only during visits" waits for a tray. Both follow setTrayShown.
class DesktopPanel final : public PreferencesPanel {
 public:
  // The sliders' grid: fractions in thousandths.
  static constexpr int sliderSteps = 1000;

  // `screens` must outlive the panel. The panel follows the desktop's displays itself; a
  // test calls refreshScreens() after changing its provider. `trayShown`: whether a system
  // tray is there as the panel opens.
  DesktopPanel(PreferencesBinding& binding, ScreenProvider& screens, bool trayShown,
               QWidget* parent);

  // A tray came or went while the panel is open: click-through and the note follow.
  void setTrayShown(bool shown);

  // Reads the displays again: the "Show on" rows, the edited display, the sliders' enabling.
  void refreshScreens();

  // The display whose position the panel edits; none without any display.
  std::optional<ScreenInfo> editedScreen() const;

  QComboBox* presencePicker() const { return presence_; }
  // The note that "Only during visits" waits for a tray; shown only without one.
  QLabel* presenceNote() const { return presenceNote_; }
  // None while click-through is not offered: without a tray.
  QCheckBox* clickThroughToggle() const { return trayShown_ ? clickThrough_ : nullptr; }
  QComboBox* screenPicker() const { return screen_; }
  QPushButton* presetButton(int index) const { return presets_[std::size_t(index)]; }
  QPushButton* resetButton() const { return reset_; }
  QSlider* horizontalSlider() const { return horizontal_; }
  QSlider* verticalSlider() const { return vertical_; }
  QCheckBox* currentTimeToggle() const { return currentTime_; }

 protected:
  void redraw(const Preferences& record) override;

 private:
  void buildPresence();
  void buildDisplay();
  void buildPosition();
  void buildClock();
  void fillScreenRows();
  // The placement shown for the edited display: its entry, else the default.
  MascotPlacement shownPlacement(const Preferences& record) const;
  // Writes the edited display's entry, built from its current one; nothing without a display.
  void editPlacement(std::optional<double> horizontal, std::optional<double> vertical);

  ScreenProvider& provider_;
  std::vector<ScreenInfo> screens_;
  FormSection* presenceSection_ = nullptr;
  QComboBox* presence_ = nullptr;
  QLabel* presenceNote_ = nullptr;
  QCheckBox* clickThrough_ = nullptr;
  QLabel* clickThroughNote_ = nullptr;
  bool trayShown_ = false;
  QComboBox* screen_ = nullptr;
  std::vector<QPushButton*> presets_;
  QPushButton* reset_ = nullptr;
  QSlider* horizontal_ = nullptr;
  QSlider* vertical_ = nullptr;
  QCheckBox* currentTime_ = nullptr;
};

}  // namespace vorlane
