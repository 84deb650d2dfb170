#include "ui/preferences/panels/desktop_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <cmath>
#include <map>

#include "ui/kit/desktop_texts.h"
#include "ui/mascot_window/target_screen.h"
#include "ui/preferences/controls/form_section.h"

namespace vorlane {
namespace {

// Where the mascot hangs on a display it has no entry for: the right edge, at the top.
const MascotPlacement defaultPlacement(1.0, 0.0);

struct Preset {
  const char* title;
  double horizontal;
};
constexpr Preset presets[] = {{"Left", 0.0}, {"Center", 0.5}, {"Right", 1.0}};

int stepOf(double fraction) { return int(std::lround(fraction * DesktopPanel::sliderSteps)); }

double fractionAt(int step) { return double(step) / DesktopPanel::sliderSteps; }

QSlider* fractionSlider(const QString& name, QWidget* parent) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setRange(0, DesktopPanel::sliderSteps);
  slider->setSingleStep(10);
  slider->setPageStep(100);
  slider->setAccessibleName(name);
  return slider;
}

}  // namespace

DesktopPanel::DesktopPanel(PreferencesBinding& binding, ScreenProvider& screens, bool trayShown,
                           QWidget* parent)
    : PreferencesPanel(binding, parent), provider_(screens), screens_(provider_.screens()) {
  buildPresence();
  setTrayShown(trayShown);
  buildDisplay();
  buildPosition();
  buildClock();
  finishColumn();
  fillScreenRows();
  follow();

  // The displays of the running desktop; a test's provider is refreshed by the test.
  auto* application = qobject_cast<QGuiApplication*>(QGuiApplication::instance());
  if (application == nullptr) return;
  const auto watch = [this](QScreen* screen) {
    connect(screen, &QScreen::availableGeometryChanged, this, &DesktopPanel::refreshScreens);
  };
  for (QScreen* screen : QGuiApplication::screens()) watch(screen);
  connect(application, &QGuiApplication::screenAdded, this, [this, watch](QScreen* screen) {
    watch(screen);
    refreshScreens();
  });
  // Queued: while the signal runs, the display is still in Qt's list.
  connect(application, &QGuiApplication::screenRemoved, this, &DesktopPanel::refreshScreens,
          Qt::QueuedConnection);
  connect(application, &QGuiApplication::primaryScreenChanged, this, &DesktopPanel::refreshScreens);
}

void DesktopPanel::buildPresence() {
  FormSection* section = addSection(QStringLiteral("Presence & clicks"));
  presenceSection_ = section;
  presence_ = new QComboBox(section);
  presence_->setObjectName(QStringLiteral("presenceMode"));
  for (const PresenceMode mode : allPresenceModes) {
    const std::string_view name = displayName(mode);
    const std::string_view raw = rawValue(mode);
    presence_->addItem(QString::fromUtf8(name.data(), qsizetype(name.size())),
                       QString::fromUtf8(raw.data(), qsizetype(raw.size())));
  }
  connect(presence_, &QComboBox::activated, this, [this](int index) {
    const auto mode = presenceModeFromRaw(presence_->itemData(index).toString().toStdString());
    if (!mode) return;
    binding_.edit([mode](Preferences& p) { p.presenceMode = *mode; });
  });
  section->addRow(QStringLiteral("Between visits"), presence_);
  presenceNote_ = section->addNote(QString::fromUtf8(presenceWithoutTrayNote));
  presenceNote_->setObjectName(QStringLiteral("presenceWithoutTrayNote"));

  clickThrough_ =
      toggle(QStringLiteral("Click-through mascot"), &Preferences::mascotClickThrough, section);
  section->addRow(clickThrough_);
  clickThroughNote_ = section->addNote(QString::fromUtf8(clickThroughNote));
}

void DesktopPanel::setTrayShown(bool shown) {
  trayShown_ = shown;
  // Without a tray the monkey stays on show between visits, whatever the choice.
  presenceSection_->setRowVisible(presenceNote_, !shown);
  // Without a tray, a click-through monkey would leave no way to reach the menu again; the
  // mascot's own menu does not offer it either.
  presenceSection_->setRowVisible(clickThrough_, shown);
  presenceSection_->setRowVisible(clickThroughNote_, shown);
}

void DesktopPanel::buildDisplay() {
  FormSection* section = addSection(QStringLiteral("Display"));
  screen_ = new QComboBox(section);
  screen_->setObjectName(QStringLiteral("preferredScreen"));
  screen_->setMinimumContentsLength(24);
  connect(screen_, &QComboBox::activated, this, [this](int index) {
    const std::string id = screen_->itemData(index).toString().toStdString();
    binding_.edit([&id](Preferences& p) {
      // The empty tag is "Display with the active window": nothing stored.
      p.preferredScreenID = id.empty() ? std::nullopt : std::optional<std::string>(id);
    });
  });
  section->addRow(QStringLiteral("Show on"), screen_);
}

void DesktopPanel::buildPosition() {
  FormSection* section = addSection(QStringLiteral("Position on this display"));
  section->addNote(QString::fromUtf8(desktopPanelDragNote));

  auto* buttons = new QWidget(section);
  auto* row = new QHBoxLayout(buttons);
  row->setContentsMargins(0, 0, 0, 0);
  for (const Preset& preset : presets) {
    auto* button = new QPushButton(QString::fromLatin1(preset.title), buttons);
    const double horizontal = preset.horizontal;
    connect(button, &QPushButton::clicked, this,
            [this, horizontal] { editPlacement(horizontal, std::nullopt); });
    row->addWidget(button);
    presets_.push_back(button);
  }
  row->addStretch(1);
  reset_ = new QPushButton(QStringLiteral("Reset position"), buttons);
  connect(reset_, &QPushButton::clicked, this,
          [this] { editPlacement(defaultPlacement.horizontal(), defaultPlacement.vertical()); });
  row->addWidget(reset_);
  section->addRow(buttons);

  horizontal_ = fractionSlider(QStringLiteral("Horizontal position"), section);
  horizontal_->setObjectName(QStringLiteral("horizontalPosition"));
  // Every step is written, as the thumb moves; a redraw sets the value under a blocker.
  connect(horizontal_, &QSlider::valueChanged, this,
          [this](int step) { editPlacement(fractionAt(step), std::nullopt); });
  section->addRow(QStringLiteral("Horizontal position"), horizontal_);
  vertical_ = fractionSlider(QStringLiteral("Vertical offset"), section);
  vertical_->setObjectName(QStringLiteral("verticalOffset"));
  connect(vertical_, &QSlider::valueChanged, this,
          [this](int step) { editPlacement(std::nullopt, fractionAt(step)); });
  section->addRow(QStringLiteral("Vertical offset"), vertical_);
  section->addNote(
      QStringLiteral("Positions are remembered per display. Movement is bounded to keep the "
                     "banners and their controls visible."));
}

void DesktopPanel::buildClock() {
  FormSection* section = addSection(QStringLiteral("Current-time clock"));
  currentTime_ =
      toggle(QStringLiteral("Show current time"), &Preferences::showCurrentTime, section);
  section->addRow(currentTime_);
  section->addNote(
      QStringLiteral("The clock moves independently: drag it, or right-click to hide/reset. It "
                     "stays visible when the character is hidden."));
}

void DesktopPanel::fillScreenRows() {
  const QSignalBlocker blocker(screen_);
  screen_->clear();
  screen_->addItem(QStringLiteral("Display with the active window"), QString());
  // Two displays of the same model are told apart by their connectors.
  std::map<std::string, int> sameLabel;
  for (const ScreenInfo& screen : screens_) ++sameLabel[screen.label];
  for (const ScreenInfo& screen : screens_) {
    const std::string& label = screen.label.empty() ? screen.id : screen.label;
    QString text = QString::fromStdString(label);
    if (!screen.label.empty() && sameLabel[screen.label] > 1 && screen.label != screen.id) {
      text += QStringLiteral(" (%1)").arg(QString::fromStdString(screen.id));
    }
    screen_->addItem(text, QString::fromStdString(screen.id));
  }
}

void DesktopPanel::refreshScreens() {
  screens_ = provider_.screens();
  fillScreenRows();
  redraw(binding_.record());
}

std::optional<ScreenInfo> DesktopPanel::editedScreen() const {
  return connectedTargetScreen(screens_, binding_.record().preferredScreenID,
                               provider_.activeWindowScreen(), provider_.primaryIndex());
}

MascotPlacement DesktopPanel::shownPlacement(const Preferences& record) const {
  const std::optional<ScreenInfo> screen = editedScreen();
  // With no display, the entry under the empty key, which this panel never writes.
  const auto entry = record.mascotPlacements.find(screen ? screen->id : std::string());
  return entry == record.mascotPlacements.end() ? defaultPlacement : entry->second;
}

void DesktopPanel::editPlacement(std::optional<double> horizontal, std::optional<double> vertical) {
  // Chosen at the moment of the change, so the edit goes to the display shown now.
  const std::optional<ScreenInfo> screen = editedScreen();
  if (!screen) return;
  binding_.edit([&](Preferences& p) {
    const auto entry = p.mascotPlacements.find(screen->id);
    const MascotPlacement current =
        entry == p.mascotPlacements.end() ? defaultPlacement : entry->second;
    p.mascotPlacements.insert_or_assign(screen->id,
                                        MascotPlacement(horizontal.value_or(current.horizontal()),
                                                        vertical.value_or(current.vertical())));
  });
}

void DesktopPanel::redraw(const Preferences& record) {
  const QSignalBlocker a(presence_), b(screen_), c(horizontal_), d(vertical_);
  presence_->setCurrentIndex(presence_->findData(QString::fromUtf8(
      rawValue(record.presenceMode).data(), qsizetype(rawValue(record.presenceMode).size()))));
  // A display that is not connected has no row: the picker shows none, and the stored
  // choice stays until the user picks a row.
  screen_->setCurrentIndex(
      screen_->findData(QString::fromStdString(record.preferredScreenID.value_or(std::string()))));

  const MascotPlacement placement = shownPlacement(record);
  // The thumb the user holds is not moved under the pointer.
  if (!horizontal_->isSliderDown()) horizontal_->setValue(stepOf(placement.horizontal()));
  if (!vertical_->isSliderDown()) vertical_->setValue(stepOf(placement.vertical()));
  const std::optional<ScreenInfo> screen = editedScreen();
  // At or below the canvas's least height, the vertical fraction has no room to move.
  vertical_->setEnabled(screen &&
                        screen->availableGeometry.height() > MascotPlacement::minimumCanvasHeight);
}

}  // namespace vorlane
