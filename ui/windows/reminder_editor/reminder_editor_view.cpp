#include "ui/windows/reminder_editor/reminder_editor_view.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "foundation/text.h"
#include "ui/kit/message_line.h"
#include "ui/kit/window_content.h"
#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

// The confirmation names at most this many characters of the phrase, so that a very long one
// cannot grow the window past the screen.
constexpr std::size_t longestNamedPhrase = 100;

constexpr const char* addHelp =
    "Type one reminder, then click Add or press Return.\n"
    "Examples: 4pm standup, in 25m stretch, weekdays 9:30am yoga.\n"
    "A clock time that has passed is scheduled for tomorrow.";
constexpr const char* editHelp =
    "Leave blank to keep the exact date and time. Or enter 4pm, in 25m, daily 9am, or weekdays "
    "9:30am.";

}  // namespace

ReminderEditorView::ReminderEditorView(std::optional<Reminder> reminder, Save save,
                                       Describe describe, QWidget* parent)
    : WindowContent(parent),
      reminder_(std::move(reminder)),
      saveAction_(std::move(save)),
      describe_(std::move(describe)) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(20, 20, 20, 20);
  column->setSpacing(12);

  addLine(editing() ? QStringLiteral("Message")
                    : QStringLiteral("What should the character remind you about?"),
          TextRole::headline);

  if (editing()) {
    field_ = addField(QStringLiteral("Message"), QStringLiteral("Reminder message"));
    field_->setText(QString::fromStdString(reminder_->phrase));
    const std::string schedule = describe_ ? describe_(*reminder_) : std::string();
    addLine(QStringLiteral("Scheduled: ") + QString::fromStdString(schedule), TextRole::callout)
        ->setObjectName(QStringLiteral("schedule"));
    schedule_ = addField(QStringLiteral("Reschedule (optional), e.g. in 25m"),
                         QStringLiteral("Reschedule, optional"));
  } else {
    field_ = addField(QStringLiteral("in 25m stretch"),
                      QStringLiteral("Reminder with time and message"));
  }
  setFocusProxy(field_);

  QLabel* help = addLine(QString::fromLatin1(editing() ? editHelp : addHelp), TextRole::caption);
  help->setObjectName(QStringLiteral("help"));
  setSecondary(*help);

  error_ = new MessageLine(TextRole::callout, this);
  error_->setObjectName(QStringLiteral("error"));
  column->addWidget(error_);
  setMessageLine(error_);
  confirmation_ = addLine(QString(), TextRole::callout);
  confirmation_->setObjectName(QStringLiteral("confirmation"));
  setSecondary(*confirmation_);
  confirmation_->hide();
  column->addStretch(1);

  auto* buttons = new QHBoxLayout;
  close_ = new QPushButton(QStringLiteral("Close"), this);
  save_ = new QPushButton(
      editing() ? QStringLiteral("Save changes") : QStringLiteral("Add reminder"), this);
  save_->setDefault(true);
  for (QPushButton* button : {close_, save_}) button->setAccessibleName(button->text());
  buttons->addStretch(1);
  buttons->addWidget(close_);
  buttons->addWidget(save_);
  column->addLayout(buttons);

  // Return in either field saves; neither is guarded.
  setReturnAction([this] { submit(); });
  setEscapeAction([this] { closeWindow(); }, EscapeReach::fromFields);
  setFirstField(field_);
  connect(close_, &QPushButton::clicked, this, [this] { closeWindow(); });
  connect(save_, &QPushButton::clicked, this, [this] { submit(); });
}

QLineEdit* ReminderEditorView::addField(const QString& placeholder, const QString& accessibleName) {
  auto* field = new QLineEdit(this);
  field->setPlaceholderText(placeholder);
  field->setAccessibleName(accessibleName);
  layout()->addWidget(field);
  return field;
}

QLabel* ReminderEditorView::addLine(const QString& text, TextRole role) {
  QLabel* line = plainLabel(text, this);
  line->setWordWrap(true);
  setTextRole(*line, role);
  layout()->addWidget(line);
  return line;
}

void ReminderEditorView::submit() {
  const std::string text = field_->text().toStdString();
  const std::string schedule = schedule_ ? schedule_->text().toStdString() : std::string();
  const QPointer<ReminderEditorView> self(this);
  std::optional<Reminder> stored;
  const bool ran = attempt([&] { stored = saveAction_(text, schedule); });
  // Saving may have reopened the window with a new content, letting go of this one.
  if (!self) return;
  if (ran && stored) {
    saved(*stored);
  } else {
    confirmation_->hide();
    confirmation_->clear();
  }
}

void ReminderEditorView::saved(const Reminder& reminder) {
  error_->clearMessage();
  if (editing()) {
    closeWindow();
    return;
  }
  const std::string schedule = describe_ ? describe_(reminder) : std::string();
  std::string named = reminder.phrase;
  if (graphemeCount(named) > longestNamedPhrase) {
    named = graphemePrefix(named, longestNamedPhrase) + "\u2026";
  }
  confirmation_->setText(QStringLiteral("Added \"") + isolatedText(QString::fromStdString(named)) +
                         QStringLiteral("\" for ") + QString::fromStdString(schedule) +
                         QStringLiteral(". Add another, or close this window."));
  confirmation_->show();
  field_->clear();
  field_->setFocus(Qt::OtherFocusReason);
}

}  // namespace vorlane
