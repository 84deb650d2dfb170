#pragma once

#include <QPointF>
#include <memory>
#include <optional>
#include <string>

#include "core/contracts/character.h"
#include "ui/mascot/character/character_node.h"
#include "ui/scene/shape_node.h"

namespace vorlane {

// The mascot: a small monkey made only of shapes, hanging by its upper hand from the rope.
// The node's origin is that grip, so whole-body motions swing it from the rope. Arms, legs
// and tail never rotate: they bend by being re-pathed, once per step or on every frame.
// Body motions live under named keys so that a later motion replaces or cancels them.
class MonkeyCharacterNode final : public CharacterNode, public Character {
 public:
  MonkeyCharacterNode();

  std::string identifier() const override { return "monkey"; }
  std::string displayName() const override { return "Monkey"; }

  // The fur the monkey wears while no tint is set; the appearance panel shows it.
  static Rgba defaultFurColor();

  void startClimbing(bool descending) override;
  void stopClimbing() override;
  void startIdling() override;
  void shout() override;
  void jumpAndShout() override;
  void celebrate() override;
  void wave() override;
  void stopWaving() override;
  double fidget(IdleFidget fidget) override;
  void setLively(bool lively) override;
  void holdSign(bool holding) override;
  // The left hand: the sign pose moves it out to the side, where the billboard hangs.
  Node* signHand() override;
  void setTintColor(std::optional<Rgba> color) override;

  bool isHoldingSign() const { return isHoldingSign_; }

  // The parts, for the scene's tests and the preview.
  Node* content() const { return content_; }
  ShapeNode* torso() const { return torso_; }
  Node* head() const { return head_; }
  ShapeNode* headShape() const { return headShape_; }
  ShapeNode* muzzle() const { return muzzle_; }
  ShapeNode* mouth() const { return mouth_; }
  ShapeNode* leftEye() const { return leftEye_; }
  ShapeNode* rightEye() const { return rightEye_; }
  ShapeNode* leftEar() const { return leftEar_; }
  ShapeNode* rightEar() const { return rightEar_; }
  ShapeNode* leftArm() const { return leftArm_; }
  ShapeNode* rightArm() const { return rightArm_; }
  ShapeNode* leftLeg() const { return leftLeg_; }
  ShapeNode* rightLeg() const { return rightLeg_; }
  ShapeNode* tail() const { return tail_; }
  // Where each limb was last pathed to, in content space.
  QPointF limbEnd(const ShapeNode* limb) const;
  // The curl last given to the tail.
  double tailCurve() const { return tailCurve_; }

  struct Palette {
    static constexpr Rgba fur{0.44, 0.30, 0.21, 1};
    static constexpr Rgba furDark{0.34, 0.22, 0.15, 1};
    static constexpr Rgba face{0.85, 0.68, 0.51, 1};
    static constexpr Rgba mouth{0.35, 0.18, 0.16, 1};
    static constexpr Rgba eye{0, 0, 0, 1};
    static constexpr double tummyAlpha = 0.85;
  };

  static inline const QString idleKey = QStringLiteral("idle");
  static inline const QString climbKey = QStringLiteral("climb");
  static inline const QString bobKey = QStringLiteral("bob");
  static inline const QString tailKey = QStringLiteral("tail");
  static inline const QString settleKey = QStringLiteral("settle");
  static inline const QString celebrateKey = QStringLiteral("celebrate");
  static inline const QString fidgetKey = QStringLiteral("fidget");
  static inline const QString handName = QStringLiteral("hand");

  static constexpr QPointF leftShoulder{-13, 40};
  static constexpr QPointF rightShoulder{13, 40};
  static constexpr QPointF leftHip{-10, 4};
  static constexpr QPointF rightHip{10, 4};
  static constexpr QPointF ropeGrip{0, 92};
  static constexpr QPointF lowerGrip{0, 68};
  static constexpr QPointF restingRightHand{19, 16};
  static constexpr QPointF signLeftHand{-38, 30};
  static constexpr QPointF raisedRightHand{30, 78};
  static constexpr QPointF leftFootRest{-17, -20};
  static constexpr QPointF rightFootRest{17, -20};

 private:
  // --- build, palette and paths ---
  void buildTail();
  void buildLegs();
  void buildTorso();
  void buildArms();
  void buildHead();
  // Re-paths a limb as a thick rounded line and carries its hand, if any, to the end.
  void setArm(ShapeNode* limb, QPointF from, QPointF to);
  void updateTail(double curve);
  void restLegs();

  // --- poses and motions ---
  void setArms(QPointF leftHand, QPointF rightHand);
  void setHangingPose() { setArms(ropeGrip, restingRightHand); }
  void setSignPose() { setArms(signLeftHand, ropeGrip); }
  void raiseRightArm() { setArm(rightArm_, rightShoulder, raisedRightHand); }
  void showClimbStep(bool stepA);
  void swayTail(double period);
  void stopFidgeting();
  // A block or custom step that does nothing once the monkey is gone.
  Action weakly(std::function<void(MonkeyCharacterNode&)> block);
  Action weaklyEachFrame(double duration,
                         std::function<void(MonkeyCharacterNode&, double elapsed)> step);

  Node* content_;
  ShapeNode* torso_;
  Node* head_;
  ShapeNode* headShape_;
  ShapeNode* muzzle_;
  ShapeNode* mouth_;
  ShapeNode* leftEye_;
  ShapeNode* rightEye_;
  ShapeNode* leftEar_;
  ShapeNode* rightEar_;
  ShapeNode* leftArm_;
  ShapeNode* rightArm_;
  ShapeNode* leftLeg_;
  ShapeNode* rightLeg_;
  ShapeNode* tail_;
  bool isHoldingSign_ = false;

  QPointF leftArmEnd_, rightArmEnd_, leftLegEnd_, rightLegEnd_;
  double tailCurve_ = 0;
};

}  // namespace vorlane
