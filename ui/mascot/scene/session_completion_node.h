#pragma once

#include <QString>

#include "core/focus/pomodoro_session.h"
#include "ui/mascot/scene/mascot_theme.h"
#include "ui/scene/label_node.h"
#include "ui/scene/shape_node.h"

namespace vorlane {

// The finished-session panel: title, the time now, the nudge, how long ago it ended and,
// when the period had one, its goal. 148 points high without a goal, 196 with one. A
// reminder emphasises its border until the completion is cleared.
class SessionCompletionNode final : public Node {
 public:
  SessionCompletionNode();

  // Fills and lays the panel out for the completion, and unhides it.
  void update(const PomodoroSession::Completion& completion, const QString& currentTime,
              const QString& elapsedText);
  void applyTheme(const MascotTheme& theme);
  const MascotTheme& theme() const { return theme_; }

  bool isEmphasized() const { return isEmphasized_; }
  // Takes effect at the next applyTheme.
  void setEmphasized(bool emphasized) { isEmphasized_ = emphasized; }
  double panelHeight() const { return panelHeight_; }

  ShapeNode* background() const { return background_; }
  LabelNode* title() const { return title_; }
  LabelNode* clock() const { return clock_; }
  LabelNode* nudge() const { return nudge_; }
  LabelNode* elapsed() const { return elapsed_; }
  LabelNode* focus() const { return focus_; }

  static constexpr double width = 228;

 private:
  void setPanelHeight(double height);

  ShapeNode* background_;
  LabelNode* title_;
  LabelNode* clock_;
  LabelNode* nudge_;
  LabelNode* elapsed_;
  LabelNode* focus_;
  double panelHeight_ = 148;
  MascotTheme theme_ = MascotTheme::light();
  bool isEmphasized_ = false;
};

}  // namespace vorlane
