#include "platform/desktop/tray/tray_host_watch.h"

#include "platform/desktop/environment/system_environment.h"
#include "platform/desktop/tray/x11_tray_look.h"
#include "platform/logging/log.h"

namespace vorlane {

TrayHostWatch::TrayHostWatch(QDBusConnection sessionBus, xcb_connection_t* x11,
                             int screenNumber) {
  // Answers that come before both parts exist are read once both do, below.
  statusNotifier_ = std::make_unique<StatusNotifierHostWatch>(
      std::move(sessionBus), std::chrono::milliseconds(250), [this] { partChanged(); });
  if (x11 != nullptr) {
    xembed_ = std::make_unique<XEmbedTrayWatch>(x11, screenNumber, [this] { partChanged(); });
  }
  available_ = isAvailable();
  Log::presentation().info("tray: %{public}s", description());
}

std::unique_ptr<TrayHostWatch> TrayHostWatch::forThisDesktop() {
  return std::make_unique<TrayHostWatch>(QDBusConnection::sessionBus(),
                                         SystemEnvironment::qtConnection(), displayScreenNumber());
}

bool TrayHostWatch::isAvailable() const {
  return (statusNotifier_ && statusNotifier_->isAvailable()) ||
         (xembed_ && xembed_->isAvailable());
}

std::string TrayHostWatch::description() const {
  std::string parts;
  if (statusNotifier_ && statusNotifier_->isAvailable()) parts = "a StatusNotifier host";
  if (xembed_ && xembed_->isAvailable()) {
    parts += parts.empty() ? "an XEmbed tray" : " and an XEmbed tray";
  }
  return parts.empty() ? "none" : parts;
}

std::function<bool()> TrayHostWatch::reader(std::shared_ptr<const TrayHostWatch> watch) {
  return [watch = std::move(watch)] { return watch && watch->isAvailable(); };
}

void TrayHostWatch::partChanged() {
  if (!statusNotifier_) return;  // still being made
  Log::presentation().info("tray: %{public}s", description());
  const bool now = isAvailable();
  if (now == available_) return;
  available_ = now;
  changes_.notify();
}

}  // namespace vorlane
