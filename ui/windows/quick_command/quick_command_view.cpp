#include "ui/windows/quick_command/quick_command_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

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
// The window's width before it is first laid out.
constexpr int windowWidth = 510;
// A reply longer than this is cut with an ellipsis, in the user's text when it carries one:
// the window keeps its size, the time it answers with stays, and the whole text stays in the
// tray's reminder row and the editor.
constexpr int replyLines = 2;

}  // namespace

QuickCommandView::QuickCommandView(bool shortcutAvailable, Execute execute, QWidget* parent)
    : WindowContent(parent), execute_(std::move(execute)) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(padding, padding, padding, padding);
  column->setSpacing(14);
  buildHeader(*column);
  buildField(*column);
  buildExamples(*column, shortcutAvailable);
  buildResultLine(*column);
  column->addStretch(1);
  buildButtons(*column);

  // Return is not guarded by the Run button's rule.
  setReturnAction([this] { run(); });
  setEscapeAction([this] { closeWindow(); }, EscapeReach::fromFields);
  setFirstField(field_);
  connect(close_, &QPushButton::clicked, this, [this] { closeWindow(); });
  connect(run_, &QPushButton::clicked, this, [this] { run(); });
  connect(field_, &QLineEdit::textChanged, this, [this] { updateRunButton(); });
  updateRunButton();
}

void QuickCommandView::buildHeader(QVBoxLayout& column) {
  auto* header = new QHBoxLayout;
  header->setSpacing(6);
  auto* bolt = symbolLabel(QStringLiteral("bolt.circle"), 16, accentColor(*this), this);
  auto* headline = plainLabel(QStringLiteral("A small action. Back to your work."), this);
  setTextRole(*headline, TextRole::headline);
  auto* hotKey = plainLabel(QString::fromUtf8(quickCommandShortcutName), this);
  setTextRole(*hotKey, TextRole::caption);
  setSecondary(*hotKey);
  header->addWidget(bolt);
  header->addWidget(headline);
  header->addStretch(1);
  header->addWidget(hotKey);
  column.addLayout(header);
}

void QuickCommandView::buildField(QVBoxLayout& column) {
  field_ = new QLineEdit(this);
  field_->setObjectName(QStringLiteral("command"));
  field_->setPlaceholderText(QStringLiteral("focus 25m finish proposal"));
  field_->setAccessibleName(QStringLiteral("Quick action command"));
  field_->setClearButtonEnabled(false);
  column.addWidget(field_);
  setFocusProxy(field_);
}

void QuickCommandView::buildExamples(QVBoxLayout& column, bool shortcutAvailable) {
  auto* examples = plainLabel(QStringLiteral("focus 25m finish proposal\n"
                                             "remind in 40m check the oven\n"
                                             "pause \u00B7 resume \u00B7 stop"),
                              this);
  examples->setObjectName(QStringLiteral("examples"));
  examples->setFont(withMonospacedDigits(roleFont(TextRole::callout, font())));
  examples->setTextInteractionFlags(Qt::TextSelectableByMouse);
  setSecondary(*examples);
  column.addWidget(examples);

  if (!shortcutAvailable) {
    auto* warning = plainLabel(QString::fromUtf8(shortcutUnavailableWarning), this);
    warning->setObjectName(QStringLiteral("shortcut-warning"));
    warning->setWordWrap(true);
    setTextRole(*warning, TextRole::caption);
    setSecondary(*warning);
    column.addWidget(warning);
  }
}

void QuickCommandView::buildResultLine(QVBoxLayout& column) {
  result_ = new MessageLine(TextRole::callout, this);
  result_->setObjectName(QStringLiteral("quick-action-result"));
  // The reply's lines are kept free while there is none: the window is as tall as its lines
  // and a reply never changes its height.
  QSizePolicy keepRoom = result_->sizePolicy();
  keepRoom.setRetainSizeWhenHidden(true);
  result_->setSizePolicy(keepRoom);
  result_->setMinimumHeight(replyLines * result_->fontMetrics().lineSpacing() + 2);
  column.addWidget(result_);
}

void QuickCommandView::buildButtons(QVBoxLayout& column) {
  auto* buttons = new QHBoxLayout;
  close_ = new QPushButton(QStringLiteral("Close"), this);
  run_ = new QPushButton(QStringLiteral("Run"), this);
  run_->setDefault(true);
  buttons->addWidget(close_);
  buttons->addStretch(1);
  buttons->addWidget(run_);
  column.addLayout(buttons);
}

void QuickCommandView::run() {
  const std::string input = field_->text().toStdString();
  const QPointer<QuickCommandView> self(this);
  QString message;
  // The parser's refusals of a "remind" command read as the reminder editor words them.
  const std::optional<QString> refusal =
      failureOf([&] { message = QString::fromStdString(execute_(input)); });
  // The command may have closed this window and let go of its content.
  if (!self) return;
  if (!refusal) field_->clear();
  showResult(refusal.value_or(message), refusal.has_value());
  field_->setFocus(Qt::OtherFocusReason);
}

void QuickCommandView::showResult(const QString& message, bool failed) {
  failed_ = failed;
  const int available = (isVisible() ? width() : windowWidth) - 2 * padding;
  const QString shown = elidedSentence(message, result_->font(), available, replyLines);
  if (failed) {
    result_->showError(shown);
  } else {
    result_->showNote(shown);
  }
}

void QuickCommandView::updateRunButton() { run_->setEnabled(!field_->text().trimmed().isEmpty()); }

}  // namespace vorlane
