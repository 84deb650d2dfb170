#pragma once

#include <QString>
#include <QWidget>

#include "platform/logging/log_sink.h"

namespace vorlane {

// The About window's content: the mark, the name, the version, the tagline, the mute
// shortcut and where decisions are logged in this run, in a 380 x 320 column centred in
// whatever holds it. No buttons.
class AboutView final : public QWidget {
 public:
  AboutView(const QString& version, const QString& hotKeyName, LogDestination log,
            QWidget* parent = nullptr);
};

// The About window's last line for where the log goes.
QString logNote(LogDestination log);

}  // namespace vorlane
