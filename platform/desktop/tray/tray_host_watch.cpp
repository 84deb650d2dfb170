#include "platform/desktop/tray/tray_host_watch.h"

#include "platform/desktop/environment/system_environment.h"
#include "platform/desktop/tray/x11_tray_look.h"
#include "platform/logging/log.h"

namespace vorlane {

TrayHostWatch::TrayHostWatch(QDBusConnection sessionBus, xcb_connection_t* x11, int screenNumber) {
  // Answers that come before both parts exist are read once both do, below.
  statusNotifier_ = std::make_unique<StatusNotifierHostWatch>(
      std::move(sessionBus), std::chrono::milliseconds(250), [this] { partChanged(); });
  if (x11 != nullptr) {
    xembed_ = std::make_unique<XEmbedTrayWatch>(x11, screenNumber, [this] { partChanged(); });
  }
  kinds_ = kinds();
  Log::presentation().info("tray: %{public}s", description());
}

std::unique_ptr<TrayHostWatch> TrayHostWatch::forThisDesktop() {
  return std::make_unique<TrayHostWatch>(QDBusConnection::sessionBus(),
                                         SystemEnvironment::qtConnection(), displayScreenNumber());
}

TrayKinds TrayHostWatch::kinds() const {
  return {.statusNotifier = statusNotifier_ && statusNotifier_->isAvailable(),
          .xembed = xembed_ && xembed_->isAvailable()};
}

std::string TrayHostWatch::description() const {
  const TrayKinds now = kinds();
  std::string parts;
  if (now.statusNotifier) parts = "a StatusNotifier host";
  if (now.xembed) parts += parts.empty() ? "an XEmbed tray" : " and an XEmbed tray";
  return parts.empty() ? "none" : parts;
}

std::function<bool()> TrayHostWatch::reader(std::shared_ptr<const TrayHostWatch> watch) {
  return [watch = std::move(watch)] { return watch && watch->isAvailable(); };
}

std::function<TrayKinds()> TrayHostWatch::kindsReader(std::shared_ptr<const TrayHostWatch> watch) {
  return [watch = std::move(watch)] { return watch ? watch->kinds() : TrayKinds{}; };
}

void TrayHostWatch::partChanged() {
  if (!statusNotifier_) return;  // still being made
  Log::presentation().info("tray: %{public}s", description());
  const TrayKinds now = kinds();
  if (now == kinds_) return;
  const bool turned = now.any() != kinds_.any();
  kinds_ = now;
  if (turned) changes_.notify();
  kindChanges_.notify();
}

}  // namespace vorlane
