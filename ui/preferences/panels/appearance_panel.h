#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "core/desktop/mascot_appearance.h"
#include "foundation/calendar.h"
#include "ui/kit/confirmation_prompt.h"
#include "ui/preferences/controls/color_chooser.h"
#include "ui/preferences/controls/mascot_style_preview.h"
#include "ui/preferences/panels/preferences_panel.h"

class QLabel;
class QPushButton;
class QSlider;
class QToolButton;

namespace vorlane {

class ColorWellRow;

// The Appearance page: how opaque the monkey, the rope and the banners are, the fur, rope
// and banner colours, the rope's thickness, a live preview in light and dark, and a reset to
// the defaults behind a confirmation. Every change is one write of the whole record, so the
// mascot on the desktop follows at once. A stored value out of range is shown sanitised and
// written back only when the user changes something.
class AppearancePanel final : public PreferencesPanel {
 public:
  struct Services {
    // The user's locale for the percentages and the thickness.
    std::function<Calendar()> calendar;
    std::shared_ptr<ConfirmationPrompt> confirmation;
    std::shared_ptr<ColorChooser> colors;
    // How the preview draws the scene; the real render when empty.
    MascotStylePreview::Renderer previewRenderer;
  };

  // The sliders' grids, from integers so that every stop is exact: 21 opacities of
  // twentieths, and half points from 1 to 8.
  static constexpr int opacitySteps = 20;
  static double opacityAt(int step);
  static int opacityStep(double opacity);
  static constexpr int thinnestStep = 2;
  static constexpr int thickestStep = 16;
  static double ropeWidthAt(int step);
  static int ropeWidthStep(double width);

  AppearancePanel(PreferencesBinding& binding, Services services, QWidget* parent);

  QToolButton* previewToggle() const { return previewToggle_; }
  // The light still; null until the preview is first opened.
  MascotStylePreview* lightPreview() const { return lightPreview_; }
  QSlider* monkeyOpacity() const { return monkeyOpacity_.slider; }
  QSlider* ropeOpacity() const { return ropeOpacity_.slider; }
  QSlider* bannerOpacity() const { return bannerOpacity_.slider; }
  QLabel* monkeyPercent() const { return monkeyOpacity_.percent; }
  QLabel* ropePercent() const { return ropeOpacity_.percent; }
  QLabel* bannerPercent() const { return bannerOpacity_.percent; }
  ColorWellRow* furColor() const { return fur_; }
  ColorWellRow* ropeColor() const { return rope_; }
  ColorWellRow* bannerColor() const { return banner_; }
  QSlider* thickness() const { return thickness_; }
  QLabel* thicknessText() const { return thicknessText_; }
  QPushButton* resetButton() const { return reset_; }

 protected:
  void redraw(const Preferences& record) override;
  void changeEvent(QEvent* event) override;

 private:
  struct OpacityRow {
    QSlider* slider = nullptr;
    QLabel* percent = nullptr;
  };

  OpacityRow addOpacityRow(FormSection* section, const QString& title,
                           double MascotAppearance::*field);
  ColorWellRow* addColorRow(FormSection* section, const QString& title,
                            std::optional<MascotColor> MascotAppearance::*field);
  void buildPreview();
  void setPreviewExpanded(bool expanded);
  void askReset();
  // One user change of the appearance, made to its sanitised value and written whole.
  void editAppearance(const std::function<void(MascotAppearance&)>& change);
  bool isDark() const;

  Services services_;
  QToolButton* previewToggle_ = nullptr;
  QWidget* previewBox_ = nullptr;
  MascotStylePreview* lightPreview_ = nullptr;
  MascotStylePreview* darkPreview_ = nullptr;
  OpacityRow monkeyOpacity_;
  OpacityRow ropeOpacity_;
  OpacityRow bannerOpacity_;
  ColorWellRow* fur_ = nullptr;
  ColorWellRow* rope_ = nullptr;
  ColorWellRow* banner_ = nullptr;
  QSlider* thickness_ = nullptr;
  QLabel* thicknessText_ = nullptr;
  QPushButton* reset_ = nullptr;
};

}  // namespace vorlane
