#pragma once

#include "ui/preferences/controls/color_chooser.h"

namespace vorlane {

// The colour dialog over the parent's window, opened with open() (never a nested event
// loop). The dialog is the parent's child, so it goes, unanswered, when the parent goes.
class ColorDialogChooser final : public ColorChooser {
 public:
  void choose(QWidget& parent, const QColor& initial, const QString& title,
              std::function<void(const QColor&)> chosen) override;
};

}  // namespace vorlane
