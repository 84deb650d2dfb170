#pragma once

#include "ui/mascot/character/character_node.h"
#include "ui/scene/shape_node.h"

namespace vorlane {

// The least a character provides: a rounded brown body and an orange head that sway,
// climb and hop. Every motion runs under one key, so each replaces the previous one.
class PlaceholderCharacterNode final : public CharacterNode {
 public:
  PlaceholderCharacterNode();

  void startClimbing(bool descending) override;
  void stopClimbing() override;
  void startIdling() override;
  void shout() override;
  void jumpAndShout() override;
  void celebrate() override { jumpAndShout(); }
  void setLively(bool lively) override;
  void holdSign(bool) override {}
  Node* signHand() override { return content_; }

  Node* content() const { return content_; }
  ShapeNode* body() const { return body_; }
  ShapeNode* head() const { return head_; }

  static inline const QString motionKey = QStringLiteral("motion");
  static constexpr Rgba brown{0.635, 0.518, 0.369, 1};
  static constexpr Rgba orange{1.0, 0.584, 0.0, 1};

 private:
  Node* content_;
  ShapeNode* body_;
  ShapeNode* head_;
};

}  // namespace vorlane
