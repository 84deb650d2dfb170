#pragma once

#include <optional>

#include "core/desktop/idle_fidget.h"
#include "ui/scene/node.h"
#include "ui/scene/rgba.h"

namespace vorlane {

// The figure that hangs from the rope. The scene drives it only through these calls; its
// origin is the point where the rope attaches. Members with bodies are the defaults a
// character may keep.
class CharacterNode : public Node {
 public:
  // Repeating climbing motion; descending may be faster than ascending.
  virtual void startClimbing(bool descending) = 0;
  // Ends the climbing motion and settles upright.
  virtual void stopClimbing() = 0;
  // The resting sway; replaces any climbing motion.
  virtual void startIdling() = 0;
  virtual void shout() = 0;
  virtual void jumpAndShout() = 0;
  virtual void celebrate() = 0;
  // A short rotation of the whole node under "attention".
  virtual void wave();
  // Cuts a running wave short and rights the node; without a wave, changes nothing.
  virtual void stopWaving();
  // Seconds the fidget lasts, 0 when nothing was played. By default `sway` plays nothing
  // and every other fidget is a wave of 0.7 s.
  virtual double fidget(IdleFidget fidget);
  // True resumes idling; false stops all motion and holds still.
  virtual void setLively(bool lively) = 0;
  // Takes up or leaves the pose that holds the session sign.
  virtual void holdSign(bool holding) = 0;
  // The node the billboard hangs from.
  virtual Node* signHand() = 0;
  // Recolours the body; none restores the character's own colours. By default nothing.
  virtual void setTintColor(std::optional<Rgba> color);

  static inline const QString attentionKey = QStringLiteral("attention");
};

}  // namespace vorlane
