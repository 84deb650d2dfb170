#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "ui/kit/window_content.h"

class QPushButton;

namespace vorlane {

// The welcome window's content: what the mascot does, when it stays away and how to mute
// it, with an offer to see it at once. It acts only through its two callbacks. Escape is
// "Not now"; Return is "Show me". Closing its window from the title bar calls neither.
class WelcomeView final : public WindowContent {
 public:
  // `trayAvailable`: a system tray shows the status menu; without one the menu is the
  // monkey's own, and the window says so.
  WelcomeView(const QString& hotKeyName, bool trayAvailable, std::function<void()> onVorlaneNow,
              std::function<void()> onDismiss, QWidget* parent = nullptr);

  QPushButton* notNowButton() const { return notNow_; }
  QPushButton* showMeButton() const { return showMe_; }

 private:
  void showMe();
  void notNow();

  std::function<void()> onVorlaneNow_;
  std::function<void()> onDismiss_;
  QPushButton* notNow_ = nullptr;
  QPushButton* showMe_ = nullptr;
};

// The third line of the welcome window for a shortcut's name.
QString muteLine(const QString& hotKeyName);
// Where the welcome window sends the user for the menu.
QString whereTheMenuIs(bool trayAvailable);

}  // namespace vorlane
