#pragma once

#include <QString>
#include <QWidget>
#include <exception>
#include <functional>
#include <optional>

namespace vorlane {

class MessageLine;

// What a window's content keeps with the window that hosts it: the action of Return and the
// action of Escape, which the host routes to it, the host's close action, the line its
// refusals are shown in, and `attempt`, which runs an action and shows what went wrong there.
// Main thread only.
class WindowContent : public QWidget {
 public:
  // How far Escape has to come before it reaches the content's action.
  enum class EscapeReach {
    // Only what the focused control left alone: a field that uses Escape keeps it.
    leftAlone,
    // From inside every field too; an open drop-down list or menu still closes alone first.
    fromFields,
  };

  explicit WindowContent(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

  // Return or Enter anywhere in the content that no control took for itself.
  void setReturnAction(std::function<void()> action);
  // Return or Enter in `field` runs `action` before the field sees the key, and nowhere else
  // (the field would pass it on to the content too). A field of several lines keeps Return
  // with Shift or Alt, to break the line.
  void setFieldReturnAction(QWidget& field, std::function<void()> action);
  // Without one, Escape left alone closes the window.
  void setEscapeAction(std::function<void()> action, EscapeReach reach);
  // Takes the keyboard each time the content is shown.
  void setFirstField(QWidget* field);
  // Where `attempt` shows a failure; none keeps failures silent.
  void setMessageLine(MessageLine* line);
  // Given once by the host that shows the content.
  void setCloseAction(std::function<void()> close);

  // Closes the window that hosts the content; nothing before a host gave its close action.
  void closeWindow();

  const std::function<void()>& returnAction() const { return returnAction_; }
  const std::function<void()>& escapeAction() const { return escapeAction_; }
  EscapeReach escapeReach() const { return escapeReach_; }

  // Runs `action`; should it throw, shows the failure's sentence in the message line (when
  // the content is still there: an action may close its window). Returns whether it ran
  // through.
  bool attempt(const std::function<void()>& action);
  // Runs `action` and gives the sentence of its failure, none when it ran through; shows
  // nothing, for a content that draws its refusal with the rest of its state.
  static std::optional<QString> failureOf(const std::function<void()>& action);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> returnAction_;
  std::function<void()> escapeAction_;
  std::function<void()> closeAction_;
  QWidget* returnField_ = nullptr;
  std::function<void()> fieldReturnAction_;
  EscapeReach escapeReach_ = EscapeReach::leftAlone;
  QWidget* firstField_ = nullptr;
  MessageLine* messageLine_ = nullptr;
};

// The sentence a window shows for an action that threw: the error's own sentence, with the
// reminder parser's refusals worded as the reminder editor words them, or a general one when
// the error carries no words (or is not an exception at all).
QString failureSentence(std::exception_ptr error);

}  // namespace vorlane
