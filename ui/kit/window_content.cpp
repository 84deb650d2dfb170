#include "ui/kit/window_content.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <string>

#include "core/reminders/reminder_editing.h"
#include "ui/kit/message_line.h"

namespace vorlane {

WindowContent::WindowContent(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}

void WindowContent::setReturnAction(std::function<void()> action) {
  returnAction_ = std::move(action);
}

void WindowContent::setEscapeAction(std::function<void()> action, EscapeReach reach) {
  escapeAction_ = std::move(action);
  escapeReach_ = reach;
}

void WindowContent::setFieldReturnAction(QWidget& field, std::function<void()> action) {
  if (returnField_ != nullptr) returnField_->removeEventFilter(this);
  returnField_ = &field;
  fieldReturnAction_ = std::move(action);
  field.installEventFilter(this);
}

void WindowContent::setFirstField(QWidget* field) { firstField_ = field; }

void WindowContent::setMessageLine(MessageLine* line) { messageLine_ = line; }

void WindowContent::setCloseAction(std::function<void()> close) { closeAction_ = std::move(close); }

void WindowContent::closeWindow() {
  if (closeAction_) closeAction_();
}

bool WindowContent::attempt(const std::function<void()>& action) {
  const QPointer<WindowContent> self(this);
  const std::optional<QString> failure = failureOf(action);
  if (failure && self && messageLine_ != nullptr) messageLine_->showError(*failure);
  return !failure;
}

std::optional<QString> WindowContent::failureOf(const std::function<void()>& action) {
  try {
    if (action) action();
  } catch (...) {
    return failureSentence(std::current_exception());
  }
  return std::nullopt;
}

bool WindowContent::event(QEvent* event) {
  if (event->type() == QEvent::Show && firstField_ != nullptr) {
    firstField_->setFocus(Qt::OtherFocusReason);
  }
  return QWidget::event(event);
}

bool WindowContent::eventFilter(QObject* watched, QEvent* event) {
  if (watched == returnField_ && event->type() == QEvent::KeyPress && fieldReturnAction_) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool lines = qobject_cast<QPlainTextEdit*>(returnField_) != nullptr ||
                       qobject_cast<QTextEdit*>(returnField_) != nullptr;
    const bool breaksLine = lines && (key->modifiers() & (Qt::ShiftModifier | Qt::AltModifier));
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !breaksLine) {
      const auto action = fieldReturnAction_;
      action();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

QString failureSentence(std::exception_ptr error) {
  static const QString unknown = QStringLiteral("That did not work. Try again.");
  try {
    if (error) std::rethrow_exception(error);
  } catch (const std::exception& e) {
    const std::string sentence = ReminderEditing::message(e);
    return sentence.empty() ? unknown : QString::fromStdString(sentence);
  } catch (...) {
  }
  return unknown;
}

}  // namespace vorlane
