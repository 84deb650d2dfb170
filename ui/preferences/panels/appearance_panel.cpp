#include "ui/preferences/panels/appearance_panel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "foundation/number_formatter.h"
#include "ui/kit/desktop_texts.h"
#include "ui/kit/message_box_prompt.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_text.h"
#include "ui/mascot/character/monkey_character_node.h"
#include "ui/mascot/scene/mascot_theme.h"
#include "ui/preferences/controls/color_dialog_chooser.h"
#include "ui/preferences/controls/color_well_row.h"
#include "ui/preferences/controls/form_section.h"

namespace vorlane {
namespace {

constexpr int previewHeight = 160;
constexpr int percentWidth = 44;

QString qt(const std::string& text) { return QString::fromStdString(text); }

// The nearest stop of a grid; a value that is not a number shows the default stop.
int nearestStep(double value, double stepsPerUnit, int low, int high, int fallback) {
  if (!std::isfinite(value)) return fallback;
  return static_cast<int>(std::clamp(std::round(value * stepsPerUnit), double(low), double(high)));
}

// Digits of one width, so a value does not shift while its slider moves. Only the family is
// set: the size still comes from the page.
void useMonospacedDigits(QLabel& label) { label.setFont(withMonospacedDigits(QFont())); }

QLabel* percentLabel(QWidget* parent) {
  QLabel* label = plainLabel(QString(), parent);
  useMonospacedDigits(*label);
  label->setFixedWidth(percentWidth);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

}  // namespace

double AppearancePanel::opacityAt(int step) {
  return std::clamp(step, 0, opacitySteps) / double(opacitySteps);
}

int AppearancePanel::opacityStep(double opacity) {
  return nearestStep(opacity, opacitySteps, 0, opacitySteps, opacitySteps);
}

double AppearancePanel::ropeWidthAt(int step) {
  return std::clamp(step, thinnestStep, thickestStep) / 2.0;
}

int AppearancePanel::ropeWidthStep(double width) {
  return nearestStep(width, 2, thinnestStep, thickestStep, 8);
}

AppearancePanel::AppearancePanel(PreferencesBinding& binding, Services services, QWidget* parent)
    : PreferencesPanel(binding, parent), services_(std::move(services)) {
  if (!services_.confirmation) services_.confirmation = std::make_shared<MessageBoxPrompt>();
  if (!services_.colors) services_.colors = std::make_shared<ColorDialogChooser>();
  if (!services_.calendar) services_.calendar = [] { return Calendar::current(); };

  FormSection* preview = addSection(QString());
  previewToggle_ = new QToolButton(preview);
  previewToggle_->setText(QStringLiteral("Live preview"));
  previewToggle_->setCheckable(true);
  previewToggle_->setAutoRaise(true);
  previewToggle_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  previewToggle_->setArrowType(Qt::RightArrow);
  connect(previewToggle_, &QToolButton::toggled, this, &AppearancePanel::setPreviewExpanded);
  preview->addRow(previewToggle_);
  previewBox_ = new QWidget(preview);
  previewBox_->setVisible(false);
  preview->addRow(previewBox_);

  FormSection* opacity = addSection(QStringLiteral("Opacity"));
  monkeyOpacity_ =
      addOpacityRow(opacity, QStringLiteral("Monkey"), &MascotAppearance::monkeyOpacity);
  ropeOpacity_ = addOpacityRow(opacity, QStringLiteral("Rope"), &MascotAppearance::ropeOpacity);
  bannerOpacity_ = addOpacityRow(opacity, QStringLiteral("Banners & controls"),
                                 &MascotAppearance::bannerOpacity);
  opacity->addNote(QString::fromUtf8(hiddenPartNote));

  FormSection* colors = addSection(QStringLiteral("Colors"));
  fur_ = addColorRow(colors, QStringLiteral("Monkey fur"), &MascotAppearance::monkeyColor);
  rope_ = addColorRow(colors, QStringLiteral("Rope"), &MascotAppearance::ropeColor);
  banner_ = addColorRow(colors, QStringLiteral("Banners"), &MascotAppearance::bannerColor);
  colors->addNote(
      QStringLiteral("Banner text automatically switches to black or white for contrast. Default "
                     "colors follow light/dark appearance."));

  FormSection* rope = addSection(QStringLiteral("Rope"));
  auto* thicknessRow = new QWidget(rope);
  auto* thicknessColumn = new QVBoxLayout(thicknessRow);
  thicknessColumn->setContentsMargins(0, 0, 0, 0);
  thickness_ = new QSlider(Qt::Horizontal, thicknessRow);
  thickness_->setObjectName(QStringLiteral("ropeWidth"));
  thickness_->setRange(thinnestStep, thickestStep);
  thickness_->setPageStep(2);
  thickness_->setAccessibleName(QStringLiteral("Thickness"));
  connect(thickness_, &QSlider::valueChanged, this, [this](int step) {
    const double width = ropeWidthAt(step);
    editAppearance([width](MascotAppearance& a) { a.ropeWidth = width; });
  });
  thicknessColumn->addWidget(thickness_);
  thicknessText_ = plainLabel(QString(), thicknessRow);
  useMonospacedDigits(*thicknessText_);
  setSecondary(*thicknessText_);
  thicknessColumn->addWidget(thicknessText_);
  rope->addRow(QStringLiteral("Thickness"), thicknessRow);

  FormSection* reset = addSection(QString());
  reset_ = new QPushButton(QStringLiteral("Reset appearance\u2026"), reset);
  reset_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(reset_, &QPushButton::clicked, this, &AppearancePanel::askReset);
  reset->addRow(reset_);
  reset->addNote(QStringLiteral(
      "Resets colors, opacity and rope thickness\u2014not your position or session."));
  finishColumn();
  follow();
}

AppearancePanel::OpacityRow AppearancePanel::addOpacityRow(FormSection* section,
                                                           const QString& title,
                                                           double MascotAppearance::*field) {
  auto* row = new QWidget(section);
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 0, 0, 0);
  line->setSpacing(12);
  OpacityRow out{new QSlider(Qt::Horizontal, row), percentLabel(row)};
  out.slider->setRange(0, opacitySteps);
  out.slider->setPageStep(2);
  out.slider->setAccessibleName(title + QStringLiteral(" opacity"));
  connect(out.slider, &QSlider::valueChanged, this, [this, field](int step) {
    const double opacity = opacityAt(step);
    editAppearance([field, opacity](MascotAppearance& a) { a.*field = opacity; });
  });
  line->addWidget(out.slider, 1);
  line->addWidget(out.percent);
  section->addRow(title, row);
  return out;
}

ColorWellRow* AppearancePanel::addColorRow(FormSection* section, const QString& title,
                                           std::optional<MascotColor> MascotAppearance::*field) {
  auto* row = new ColorWellRow(title, section);
  row->onPick = [this, row, title, field] {
    services_.colors->choose(*this, row->shownColor(), title, [this, field](const QColor& color) {
      // The chooser may hand back a translucent colour: only its opaque sRGB part is kept.
      const std::optional<MascotColor> picked = mascotColorFrom(color);
      editAppearance([field, picked](MascotAppearance& a) { a.*field = picked; });
    });
  };
  row->onDefault = [this, field] {
    editAppearance([field](MascotAppearance& a) { a.*field = std::nullopt; });
  };
  section->addRow(title, row);
  return row;
}

void AppearancePanel::editAppearance(const std::function<void(MascotAppearance&)>& change) {
  binding_.edit([&change](Preferences& p) {
    MascotAppearance appearance = p.mascotAppearance.sanitized();
    change(appearance);
    p.mascotAppearance = appearance;
  });
}

bool AppearancePanel::isDark() const { return MascotTheme::matching(palette()).isDark; }

void AppearancePanel::redraw(const Preferences& record) {
  const MascotAppearance shown = record.mascotAppearance.sanitized();
  const Calendar calendar = services_.calendar();
  const NumberFormatter percent(calendar, NumberFormatter::Style::percent);
  for (auto [row, value] :
       {std::pair{monkeyOpacity_, shown.monkeyOpacity}, std::pair{ropeOpacity_, shown.ropeOpacity},
        std::pair{bannerOpacity_, shown.bannerOpacity}}) {
    const QSignalBlocker block(row.slider);
    // The thumb the user holds is not moved under the pointer.
    if (!row.slider->isSliderDown()) row.slider->setValue(opacityStep(value));
    row.percent->setText(qt(percent.format(value)));
  }
  {
    const QSignalBlocker block(thickness_);
    if (!thickness_->isSliderDown()) thickness_->setValue(ropeWidthStep(shown.ropeWidth));
  }
  const NumberFormatter decimal(calendar, NumberFormatter::Style::decimal);
  thicknessText_->setText(qt(decimal.format(shown.ropeWidth)) + QStringLiteral(" pt"));

  // Only the rope and banner defaults follow light or dark; the fur's is the monkey's own.
  const MascotTheme& theme = isDark() ? MascotTheme::dark() : MascotTheme::light();
  fur_->showColor(shown.monkeyColor, MonkeyCharacterNode::Palette::fur.toQColor());
  rope_->showColor(shown.ropeColor, theme.rope.toQColor());
  banner_->showColor(shown.bannerColor, theme.boardFill.toQColor());

  if (lightPreview_) lightPreview_->showAppearance(shown, false);
  if (darkPreview_) darkPreview_->showAppearance(shown, true);
}

void AppearancePanel::changeEvent(QEvent* event) {
  PreferencesPanel::changeEvent(event);
  const bool paletteChanged =
      event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange;
  if (paletteChanged && reset_ != nullptr) redraw(binding_.record());
}

void AppearancePanel::setPreviewExpanded(bool expanded) {
  previewToggle_->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
  if (expanded && !lightPreview_) buildPreview();
  previewBox_->setVisible(expanded);
}

void AppearancePanel::buildPreview() {
  auto* column = new QVBoxLayout(previewBox_);
  column->setContentsMargins(0, 0, 0, 0);
  auto* pair = new QWidget(previewBox_);
  pair->setAccessibleName(QStringLiteral("Preview of the monkey, rope and focus banner"));
  auto* row = new QHBoxLayout(pair);
  row->setContentsMargins(0, 0, 0, 0);
  lightPreview_ = new MascotStylePreview(pair, services_.previewRenderer);
  darkPreview_ = new MascotStylePreview(pair, services_.previewRenderer);
  for (MascotStylePreview* preview : {lightPreview_, darkPreview_}) {
    preview->setFixedHeight(previewHeight);
    row->addWidget(preview, 1);
  }
  // The desktops each theme is made for.
  lightPreview_->setBackdrop(QColor(252, 252, 253));
  darkPreview_->setBackdrop(QColor(44, 44, 48));
  lightPreview_->setAccessibleName(QStringLiteral("Light"));
  darkPreview_->setAccessibleName(QStringLiteral("Dark"));
  column->addWidget(pair);
  QLabel* note = plainLabel(QStringLiteral("Changes also apply on your desktop."), previewBox_);
  setSecondary(*note);
  column->addWidget(note);
  const MascotAppearance shown = binding_.record().mascotAppearance.sanitized();
  lightPreview_->showAppearance(shown, false);
  darkPreview_->showAppearance(shown, true);
}

void AppearancePanel::askReset() {
  services_.confirmation->ask(
      *this,
      {.message = QStringLiteral("Reset mascot appearance to its defaults?"),
       .confirmLabel = QStringLiteral("Reset appearance"),
       .destructive = false},
      [this](bool confirmed) {
        // Only the appearance: placements, speech and the rest of the record stay.
        if (confirmed)
          binding_.edit([](Preferences& p) { p.mascotAppearance = MascotAppearance(); });
      });
}

}  // namespace vorlane
