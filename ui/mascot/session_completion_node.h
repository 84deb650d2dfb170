#pragma once

#include "ui/mascot/mascot_theme.h"
#include "ui/scene/node.h"

namespace vorlane {

// The finished-session panel under the mascot. The scene places, hides and recolours it;
// its content comes with the session panels' own change.
class SessionCompletionNode final : public Node {
 public:
  void applyTheme(const MascotTheme& theme) { theme_ = theme; }
  const MascotTheme& theme() const { return theme_; }

 private:
  MascotTheme theme_ = MascotTheme::light();
};

}  // namespace vorlane
