#pragma once

#include <QString>
#include <QWidget>

namespace vorlane {

// The About window: the mark, the name, the version, the tagline, the mute shortcut and
// where decisions are logged. Fixed 460 x 340, titled and closable, no buttons.
class AboutWindow final : public QWidget {
 public:
  static constexpr int width = 460;
  static constexpr int height = 340;

  AboutWindow(const QString& version, const QString& hotKeyName, QWidget* parent = nullptr);
};

}  // namespace vorlane
