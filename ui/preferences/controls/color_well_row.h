#pragma once

#include <QColor>
#include <QWidget>
#include <functional>
#include <optional>

#include "core/desktop/mascot_color.h"

class QPushButton;
class QToolButton;

namespace vorlane {

// One colour setting: a well showing the colour (the stored one, else the default it stands
// for) that opens a chooser, and "Default", which clears the stored colour. The row only
// reports the user's presses; the panel decides what they store.
class ColorWellRow final : public QWidget {
 public:
  ColorWellRow(const QString& title, QWidget* parent);

  // The stored colour as an opaque colour, or `fallback` while none is stored; "Default" is
  // offered only while one is stored.
  void showColor(const std::optional<MascotColor>& stored, const QColor& fallback);
  QColor shownColor() const { return shown_; }

  QToolButton* well() const { return well_; }
  QPushButton* defaultButton() const { return default_; }

  std::function<void()> onPick;
  std::function<void()> onDefault;

 private:
  QToolButton* well_;
  QPushButton* default_;
  QColor shown_;
};

}  // namespace vorlane
