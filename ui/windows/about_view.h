#pragma once

#include <QString>
#include <QWidget>

namespace vorlane {

// The About window's content: the mark, the name, the version, the tagline, the mute
// shortcut and where decisions are logged, in a 380 x 320 column centred in whatever holds
// it. No buttons.
class AboutView final : public QWidget {
 public:
  AboutView(const QString& version, const QString& hotKeyName, QWidget* parent = nullptr);
};

}  // namespace vorlane
