#include "ui/windows/resume_note/resume_note_view.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "ui/kit/desktop_texts.h"
#include "ui/kit/elided_lines.h"
#include "ui/kit/message_line.h"
#include "ui/kit/symbol_image.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_content.h"
#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

constexpr int padding = 20;
// The column is this wide however tall it grows.
constexpr int contentWidth = 460;
constexpr int goalLines = 3;
constexpr int fewestNoteLines = 2;
constexpr int mostNoteLines = 3;

}  // namespace

ResumeNoteView::ResumeNoteView(const QString& goal, const QString& note, bool returning,
                               bool placeSaved, Save save, std::function<void()> resume,
                               QWidget* parent)
    : WindowContent(parent),
      goalText_(goal.isEmpty() ? QStringLiteral("Your focus session") : goal),
      returning_(returning),
      saveAction_(std::move(save)),
      resumeAction_(std::move(resume)) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(padding, padding, padding, padding);
  column->setSpacing(14);

  buildHeading(*column, returning, placeSaved);
  buildGoal(*column);
  buildField(*column, note);
  buildCaption(*column);
  error_ = new MessageLine(TextRole::caption, this);
  error_->setObjectName(QStringLiteral("error"));
  column->addWidget(error_);
  setMessageLine(error_);
  column->addStretch(1);
  buildButtons(*column, returning);

  // Returning, the note is read first: nothing takes the keyboard but the window itself.
  if (returning) setFocusPolicy(Qt::StrongFocus);
  setReturnAction([this] { submit(); });
  // The note field keeps Return for itself; here it saves, and Shift or Alt with it breaks
  // the line (cleaning makes a blank of it anyway).
  setFieldReturnAction(*field_, [this] { submit(); });
  setEscapeAction([this] { closeWindow(); }, EscapeReach::fromFields);
  setFirstField(returning ? static_cast<QWidget*>(this) : field_);
  connect(notNow_, &QPushButton::clicked, this, [this] { closeWindow(); });
  connect(save_, &QPushButton::clicked, this, [this] { submit(); });
  connect(field_->document(), &QTextDocument::contentsChanged, this, [this] { fitField(); });
  fitField();
  layOutGoal();
}

void ResumeNoteView::buildHeading(QVBoxLayout& column, bool returning, bool placeSaved) {
  auto* header = new QHBoxLayout;
  header->setSpacing(6);
  header->addWidget(symbolLabel(QStringLiteral("bookmark"), 16, accentColor(*this), this));
  heading_ = plainLabel(returning    ? QStringLiteral("Pick up where you left off")
                        : placeSaved ? QStringLiteral("Paused. Your place is safe.")
                                     : QStringLiteral("Paused. Your place could not be saved."),
                        this);
  heading_->setObjectName(QStringLiteral("heading"));
  setTextRole(*heading_, TextRole::headline);
  header->addWidget(heading_);
  header->addStretch(1);
  column.addLayout(header);
}

void ResumeNoteView::buildGoal(QVBoxLayout& column) {
  goal_ = plainLabel(QString(), this);
  goal_->setObjectName(QStringLiteral("goal"));
  goal_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  goal_->setToolTip(goalText_);
  setTextRole(*goal_, TextRole::body);
  column.addWidget(goal_);
}

void ResumeNoteView::buildField(QVBoxLayout& column, const QString& note) {
  field_ = new QPlainTextEdit(this);
  field_->setObjectName(QStringLiteral("note"));
  field_->setPlaceholderText(QStringLiteral("Next: fix the failing login test"));
  field_->setAccessibleName(QStringLiteral("Optional next step"));
  field_->setTabChangesFocus(true);
  field_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  field_->setPlainText(note);
  field_->moveCursor(QTextCursor::End);
  column.addWidget(field_);
}

void ResumeNoteView::buildCaption(QVBoxLayout& column) {
  auto* caption = plainLabel(QString::fromUtf8(resumeNoteNote), this);
  caption->setObjectName(QStringLiteral("caption"));
  caption->setWordWrap(true);
  setTextRole(*caption, TextRole::caption);
  setSecondary(*caption);
  column.addWidget(caption);
}

void ResumeNoteView::buildButtons(QVBoxLayout& column, bool returning) {
  auto* buttons = new QHBoxLayout;
  notNow_ = new QPushButton(QStringLiteral("Not now"), this);
  // "&&": a single one would underline the next letter as a shortcut.
  save_ = new QPushButton(
      returning ? QStringLiteral("Save && resume") : QStringLiteral("Save next step"), this);
  save_->setDefault(true);
  buttons->addWidget(notNow_);
  buttons->addStretch(1);
  buttons->addWidget(save_);
  column.addLayout(buttons);
}

void ResumeNoteView::submit() {
  const std::string note = field_->toPlainText().toStdString();
  const QPointer<ResumeNoteView> self(this);
  if (!attempt([&] {
        if (saveAction_) saveAction_(note);
      })) {
    return;
  }
  if (!self) return;
  // The session of the "Leave yourself a next step" form stays paused.
  if (returning_) {
    if (resumeAction_) resumeAction_();
  } else {
    closeWindow();
  }
}

void ResumeNoteView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layOutGoal();
}

void ResumeNoteView::fitField() {
  // Two lines at least, three at most; beyond that the field scrolls.
  const int lines = std::clamp(static_cast<int>(std::ceil(field_->document()->size().height())),
                               fewestNoteLines, mostNoteLines);
  const int margins = 2 * field_->frameWidth() +
                      2 * static_cast<int>(std::ceil(field_->document()->documentMargin()));
  const int height = lines * field_->fontMetrics().lineSpacing() + margins;
  if (field_->height() != height) field_->setFixedHeight(height);
}

void ResumeNoteView::layOutGoal() {
  // Before the window shows, the content has no width of its own yet.
  const int available = (isVisible() ? width() : contentWidth) - 2 * padding;
  const QString shown = elidedLines(goalText_, goal_->font(), available, goalLines);
  if (goal_->text() != shown) goal_->setText(shown);
}

}  // namespace vorlane
