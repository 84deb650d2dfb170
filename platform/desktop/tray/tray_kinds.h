#pragma once

namespace vorlane {

// Which kinds of tray are there to show the program's status item: a StatusNotifierItem host
// on the session bus, an XEmbed tray manager on the X screen, both or neither.
struct TrayKinds {
  bool statusNotifier = false;
  bool xembed = false;

  bool any() const { return statusNotifier || xembed; }
  bool operator==(const TrayKinds&) const = default;
};

}  // namespace vorlane
