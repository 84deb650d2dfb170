#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "coordination/commands/quick_action.h"
#include "core/contracts/visit.h"
#include "core/desktop/idle_fidget.h"
#include "core/desktop/mascot_appearance.h"
#include "core/settings/presence_mode.h"
#include "core/settings/presence_state.h"
#include "ui/mascot/character/character_node.h"
#include "ui/mascot/scene/billboard_node.h"
#include "ui/mascot/scene/mascot_theme.h"
#include "ui/mascot/scene/quick_action_node.h"
#include "ui/mascot/scene/session_completion_node.h"
#include "ui/mascot/scene/speech_bubble_node.h"
#include "ui/scene/rect.h"
#include "ui/scene/scene.h"
#include "ui/scene/shape_node.h"

namespace vorlane {

// The mascot's column: the character on its rope at the right edge, the speech bubble, the
// session sign, the finished-session panel and the pills. Poses: away above the top edge,
// peeking at half size just under the top, visiting at the rest point, working with the
// sign. Motions between poses run on the character under "presence", a visit under
// "visit". Blocks hold the scene weakly: once it is gone they do nothing.
class MascotScene : public Scene {
  Q_OBJECT

 public:
  struct ActiveSession {
    double progress = 0;
    QString time;
    QString caption;
  };

  // Takes over the character.
  MascotScene(QSizeF size, CharacterNode* character);

  // --- poses ---
  // Ignored during a visit or a pull.
  void enterPeek(bool animated);
  // Climbs off the top in 0.5 s and vanishes; the completion runs after the climb, only if
  // the scene still exists.
  void leave(std::function<void()> completion = {});
  // The working pose with the sign, at once.
  void arrangeSessionPose(double progress, const QString& time, const QString& caption);
  void applyAppearance(const MascotAppearance& appearance);
  // The desktop's theme changed: the user's overrides are applied on top of it.
  void applyTheme(const MascotTheme& theme);
  // Calm: the character holds still between visits.
  void setCalm(bool calm);
  double characterTopInset() const { return characterTopInset_; }
  // A different value re-lays the scene out.
  void setCharacterTopInset(double inset);
  QPointF characterPosition() const { return character_->position(); }

  // --- visits ---
  // Climbs down, settles, shows the bubble and reacts, holds, climbs away and ends in the
  // working pose, the peek pose or away; then the completion runs once.
  void perform(const Visit& visit, bool showBubble, std::function<void()> completion);
  // The user clicked: cut the running visit short and climb away in 0.5 s.
  void endVisitEarly();
  // End the running visit at once, without climbing; the completion still runs.
  void abandonVisit();
  // Plays a fidget when the pose allows; its length in seconds, or none when refused.
  std::optional<double> performIdleFidget(IdleFidget fidget);

  // --- state the presenter and the session display set ---
  PresenceState presenceState() const { return presenceState_; }
  PresenceMode presenceMode() const { return presenceMode_; }
  void setPresenceMode(PresenceMode mode) { presenceMode_ = mode; }
  const std::optional<ActiveSession>& activeSession() const { return activeSession_; }
  void setActiveSession(std::optional<ActiveSession> session) {
    activeSession_ = std::move(session);
  }
  bool hasSessionCompletion() const { return hasSessionCompletion_; }
  // A finished-session panel becomes current (shown unless a visit hides it) or goes.
  void setSessionCompletion(bool current);
  bool hasIdleFocusInvitation() const { return hasIdleFocusInvitation_; }
  bool interactionsEnabled() const { return interactionsEnabled_; }
  // False in click-through mode: no hit areas, pills hidden. Turning it back on brings the
  // pills only where a panel or an invitation keeps them; otherwise they wait for the
  // pointer.
  void setInteractionsEnabled(bool enabled);
  bool isDragging() const { return dragStartY_.has_value(); }
  // Marks a pull in progress without moving anything.
  void setDragStartY(std::optional<double> y) { dragStartY_ = y; }

  // --- sessions, the finished-session panel and the focus invitation ---
  // Shows, updates or (no progress) ends the working pose with its sign. Without a time the
  // pose moves and the sign stays as it is. During a visit or a pull the session is only
  // stored, and applied when they end.
  void showSession(std::optional<double> progress, std::optional<QString> time,
                   std::optional<QString> caption);
  // Shows or updates the panel with the pills in rows under it; none clears it.
  void showCompletion(const std::optional<PomodoroSession::Completion>& completion,
                      const QString& currentTime, const QString& elapsedText);
  // "Focus?" on the sign while peeking; true when shown.
  bool showIdleFocusInvitation(int minutes);
  void hideIdleFocusInvitation();
  // Emphasises a panel on show and, unless motion is reduced, waves; true when it did.
  bool remindAboutCompletion(bool reduceMotion);
  // The character is still waving from a reminder.
  bool isCompletionReminderAnimating() const;

  // --- pills ---
  const std::vector<QuickAction>& actions() const { return actions_; }
  void setActions(std::vector<QuickAction> actions) { actions_ = std::move(actions); }
  int workMinutes() const { return workMinutes_; }
  void setWorkMinutes(int minutes) { workMinutes_ = minutes; }
  bool isMuted() const { return isMuted_; }
  void setMuted(bool muted) { isMuted_ = muted; }
  bool quickActionsAreInteractive() const { return quickActionsAreInteractive_; }
  // Brings the pills in where the state allows (with a small greeting outside a panel).
  void showQuickActions();
  // Fades the pills out unless a panel or an invitation keeps them.
  void hideQuickActions();
  // The pills in layout order: row by row under the panel, top to bottom in the column.
  const std::vector<QuickActionNode*>& actionNodes() const { return actionNodes_; }
  // The first pill whose frame holds the point, while the pills take clicks.
  std::optional<QuickAction> quickAction(QPointF point) const;
  // Highlights every pill under the point and no other.
  void highlightQuickAction(QPointF point);

  // --- live areas and the pull-down drag ---
  // The character with all its parts, grown by 6 points.
  Rect characterFrame() const;
  // Where the character can be grabbed (4 more points around), or the zero rectangle when
  // it cannot: click-through, faded out, or away.
  Rect characterHitFrame() const;
  // One rectangle per pill while they take clicks, else none.
  std::vector<Rect> quickActionFrames() const;
  // The union of the live rectangles; the null rectangle when nothing is live.
  Rect interactiveFrame() const;
  bool containsInteractivePoint(QPointF point) const;
  // A pull from the peek or working pose. `updateDrag` takes the pointer's y minus the
  // press's (negative downwards); `endDrag` reports a pull of 70 points or more, else the
  // character springs back. Out-of-order calls do nothing.
  void beginDrag();
  void updateDrag(double translationY);
  bool endDrag();
  void cancelDrag();

  std::function<void()> onCelebrate;
  std::function<void()> onGeometryChanged;
  // The pills were laid out anew (shown, moved, relabelled).
  std::function<void()> onQuickActionsRebuilt;

  // --- the nodes, for the presenter, the preview and tests ---
  CharacterNode* character() const { return character_; }
  Node* bannerLayer() const { return bannerLayer_; }
  ShapeNode* rope() const { return rope_; }
  SpeechBubbleNode* bubble() const { return bubble_; }
  BillboardNode* billboard() const { return billboard_; }
  SessionCompletionNode* sessionCompletion() const { return sessionCompletion_; }
  Node* quickActions() const { return quickActions_; }
  const MascotTheme& theme() const { return theme_; }
  const MascotAppearance& appearance() const { return appearance_; }
  bool isCalm() const { return isCalm_; }
  // Geometry in scene points.
  double ropeX() const { return size().width() - ropeInset; }
  double offscreenY() const { return size().height() + 150; }
  double peekY() const { return size().height() - characterTopInset_ - 30; }
  double workingY() const { return size().height() - characterTopInset_ - 140; }
  double restY() const { return (size().height() - characterTopInset_) * (1 - restFraction); }
  double returnY() const;
  double sessionHandY(double progress) const;
  QPointF bubbleAnchor() const { return {ropeX() - 52, restY() - 34}; }
  double maxBubbleWidth() const;

  static constexpr double ropeInset = 78;
  static constexpr double restFraction = 0.34;
  static inline const QString presenceKey = QStringLiteral("presence");
  static inline const QString visitKey = QStringLiteral("visit");

 protected:
  void didChangeSize(QSizeF oldSize) override;
  void frameUpdate() override;
  void didFinishUpdate() override;

 private:
  void relayoutPlacement();
  void redrawRope();
  void attachBillboardPost();
  void applyResolvedTheme();
  void placeBillboard(double handY, const QString& time, const QString& caption);
  bool completionIsVisible() const;
  void rebuildQuickActions();
  void layOutQuickActions();
  double quickActionsTopY() const;
  QuickActionNode* makePill(QuickAction action) const;
  void performArrival(const Visit& visit, bool showBubble);
  void finishVisit();
  // Runs `block` only while the scene exists.
  Action weakly(std::function<void(MascotScene&)> block);

  CharacterNode* character_;
  Node* characterLayer_;
  Node* bannerLayer_;
  MascotAppearance appearance_;
  MascotTheme systemTheme_ = MascotTheme::light();
  bool interactionsEnabled_ = true;
  ShapeNode* rope_;
  std::optional<QPointF> lastRopeStart_;
  std::optional<QPointF> lastRopeEnd_;
  SpeechBubbleNode* bubble_;
  BillboardNode* billboard_;
  Node* quickActions_;
  double characterTopInset_ = 0;
  SessionCompletionNode* sessionCompletion_;
  bool hasSessionCompletion_ = false;
  bool hidesCompletionForVisit_ = false;
  std::function<void()> completion_;
  PresenceState presenceState_ = PresenceState::away;
  std::optional<ActiveSession> activeSession_;
  bool hasIdleFocusInvitation_ = false;
  bool isCalm_ = false;
  PresenceMode presenceMode_ = PresenceMode::peek;
  MascotTheme theme_ = MascotTheme::light();
  std::optional<double> ropeProgressLength_;
  bool quickActionsAreInteractive_ = false;
  std::optional<double> dragStartY_;
  double dragStartScale_ = 0.5;
  std::vector<QuickAction> actions_{QuickAction::vorlane, QuickAction::startPomodoro,
                                    QuickAction::mute};
  int workMinutes_ = 25;
  bool isMuted_ = false;
  std::vector<QuickActionNode*> actionNodes_;
};

}  // namespace vorlane
