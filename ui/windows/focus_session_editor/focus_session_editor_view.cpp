#include "ui/windows/focus_session_editor/focus_session_editor_view.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "core/focus/focus_input.h"
#include "ui/kit/desktop_texts.h"
#include "ui/kit/message_line.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_content.h"
#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

QString hint(bool replacing, bool starter) {
  if (replacing) {
    return QStringLiteral(
        "Your current session stays unchanged until you start this new one. "
        "Adding minutes instead keeps the same task.");
  }
  if (starter) {
    return QStringLiteral(
        "Just five minutes. Then keep going, mark it done, or stop for now. "
        "Nothing starts automatically.");
  }
  return QString::fromUtf8(focusEditorHint);
}

QString limitSentence() {
  return QStringLiteral("Keep the goal to %1 characters.").arg(FocusInput::maximumLength);
}

}  // namespace

FocusSessionEditorView::FocusSessionEditorView(int minutes, bool replacing, bool starter,
                                               Start start, QWidget* parent)
    : WindowContent(parent), startAction_(std::move(start)) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(20, 20, 20, 20);
  column->setSpacing(14);

  auto* prompt = plainLabel(starter ? QStringLiteral("What\u2019s one small step you can take?")
                                    : QStringLiteral("What are you focusing on?"),
                            this);
  prompt->setObjectName(QStringLiteral("prompt"));
  prompt->setWordWrap(true);
  setTextRole(*prompt, TextRole::headline);
  column->addWidget(prompt);

  field_ = new QLineEdit(this);
  field_->setObjectName(QStringLiteral("goal"));
  field_->setPlaceholderText(QStringLiteral("e.g. Finish the proposal"));
  field_->setAccessibleName(QStringLiteral("What are you focusing on?"));
  column->addWidget(field_);
  setFocusProxy(field_);

  auto* note = plainLabel(hint(replacing, starter), this);
  note->setObjectName(QStringLiteral("hint"));
  note->setWordWrap(true);
  setTextRole(*note, TextRole::caption);
  setSecondary(*note);
  column->addWidget(note);

  limit_ = new MessageLine(TextRole::caption, this);
  limit_->setObjectName(QStringLiteral("limit"));
  setMessageLine(limit_);
  column->addWidget(limit_);
  column->addStretch(1);

  auto* buttons = new QHBoxLayout;
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  start_ = new QPushButton(QStringLiteral("Start %1 min").arg(minutes), this);
  start_->setDefault(true);
  buttons->addStretch(1);
  buttons->addWidget(cancel_);
  buttons->addWidget(start_);
  column->addLayout(buttons);

  // Return starts only a valid goal.
  setReturnAction([this] { confirm(); });
  setEscapeAction([this] { closeWindow(); }, EscapeReach::fromFields);
  setFirstField(field_);
  connect(cancel_, &QPushButton::clicked, this, [this] { closeWindow(); });
  connect(start_, &QPushButton::clicked, this, [this] { confirm(); });
  connect(field_, &QLineEdit::textChanged, this, [this] { goalEdited(); });
  goalEdited();
}

bool FocusSessionEditorView::valid() const { return valid_; }

void FocusSessionEditorView::goalEdited() {
  const std::string cleaned = FocusInput::cleaned(field_->text().toStdString());
  valid_ = FocusInput::isValidGoal(cleaned);
  start_->setEnabled(valid_);
  // Only a goal too long is told so; one with nothing to see waits as an empty one does. A
  // refusal of the start goes with the edit.
  if (FocusInput::fitsGoal(cleaned)) {
    limit_->clearMessage();
  } else {
    limit_->showError(limitSentence());
  }
}

void FocusSessionEditorView::confirm() {
  if (!valid_) return;
  const std::string goal = FocusInput::cleaned(field_->text().toStdString());
  // The editor only lets through goals the session accepts, so a refusal is not expected;
  // should one come, it is said rather than closed as if it had started.
  attempt([&] { startAction_(goal); });
}

}  // namespace vorlane
