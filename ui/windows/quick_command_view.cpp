#include "ui/windows/quick_command_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/windows/failure_sentence.h"
#include "ui/windows/form_keys.h"
#include "ui/windows/symbol_image.h"
#include "ui/windows/window_text.h"

namespace vorlane {
namespace {

// Sizes relative to the body text, as the other windows draw them.
constexpr double calloutFactor = 12.0 / 13.0;
constexpr double captionFactor = 10.0 / 13.0;

}  // namespace

QuickCommandView::QuickCommandView(bool shortcutAvailable, Execute execute,
                                   std::function<void()> close, QWidget* parent)
    : QWidget(parent), execute_(std::move(execute)), closeAction_(std::move(close)) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(20, 20, 20, 20);
  column->setSpacing(14);

  auto* header = new QHBoxLayout;
  header->setSpacing(6);
  auto* bolt = new QLabel(this);
  bolt->setProperty("symbol", QStringLiteral("bolt.circle"));
  bolt->setPixmap(
      symbolImage(QStringLiteral("bolt.circle"), 16, accentColor(*this), devicePixelRatioF()));
  auto* headline = plainLabel(QStringLiteral("A small action. Back to your work."), this);
  headline->setFont(scaledFont(font(), 1.0, QFont::DemiBold));
  auto* hotKey = plainLabel(QStringLiteral("Ctrl+Alt+Space"), this);
  hotKey->setFont(scaledFont(font(), captionFactor));
  setSecondary(*hotKey);
  header->addWidget(bolt);
  header->addWidget(headline);
  header->addStretch(1);
  header->addWidget(hotKey);
  column->addLayout(header);

  field_ = new QLineEdit(this);
  field_->setObjectName(QStringLiteral("command"));
  field_->setPlaceholderText(QStringLiteral("focus 25m finish proposal"));
  field_->setAccessibleName(QStringLiteral("Quick action command"));
  field_->setClearButtonEnabled(false);
  column->addWidget(field_);
  setFocusProxy(field_);

  auto* examples = plainLabel(QStringLiteral("focus 25m finish proposal\n"
                                             "remind in 40m check the oven\n"
                                             "pause \u00B7 resume \u00B7 stop"),
                              this);
  examples->setObjectName(QStringLiteral("examples"));
  QFont mono = scaledFont(font(), calloutFactor);
  mono.setFamily(QStringLiteral("DejaVu Sans Mono"));
  mono.setStyleHint(QFont::Monospace);
  examples->setFont(mono);
  examples->setTextInteractionFlags(Qt::TextSelectableByMouse);
  setSecondary(*examples);
  column->addWidget(examples);

  if (!shortcutAvailable) {
    auto* warning = plainLabel(QStringLiteral("The global shortcut is unavailable or in use. "
                                              "Quick actions still work from the system tray."),
                               this);
    warning->setObjectName(QStringLiteral("shortcut-warning"));
    warning->setWordWrap(true);
    warning->setFont(scaledFont(font(), captionFactor));
    setSecondary(*warning);
    column->addWidget(warning);
  }

  result_ = plainLabel(QString(), this);
  result_->setObjectName(QStringLiteral("quick-action-result"));
  result_->setWordWrap(true);
  result_->setFont(scaledFont(font(), calloutFactor));
  result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  result_->hide();
  column->addWidget(result_);
  column->addStretch(1);

  auto* buttons = new QHBoxLayout;
  close_ = new QPushButton(QStringLiteral("Close"), this);
  run_ = new QPushButton(QStringLiteral("Run"), this);
  run_->setDefault(true);
  buttons->addWidget(close_);
  buttons->addStretch(1);
  buttons->addWidget(run_);
  column->addLayout(buttons);

  const auto closeWindow = [this] {
    if (closeAction_) closeAction_();
  };
  // Return is not guarded by the Run button's rule.
  bindFormKeys(*this, *field_, [this] { run(); }, closeWindow);
  connect(close_, &QPushButton::clicked, this, closeWindow);
  connect(run_, &QPushButton::clicked, this, [this] { run(); });
  connect(field_, &QLineEdit::textChanged, this, [this] { updateRunButton(); });
  updateRunButton();
}

void QuickCommandView::run() {
  const std::string input = field_->text().toStdString();
  const QPointer<QuickCommandView> self(this);
  QString message;
  bool failed = false;
  try {
    message = QString::fromStdString(execute_(input));
  } catch (...) {
    // The parser's refusals of a "remind" command read as the reminder editor words them.
    message = failureSentence(std::current_exception());
    failed = true;
  }
  // The command may have closed this window and let go of its content.
  if (!self) return;
  if (!failed) field_->clear();
  showResult(message, failed);
  field_->setFocus(Qt::OtherFocusReason);
}

void QuickCommandView::showResult(const QString& message, bool failed) {
  failed_ = failed;
  result_->setText(message);
  // From the view's own colours: the label's may still be the red of a previous refusal.
  QPalette palette = result_->palette();
  palette.setColor(QPalette::WindowText, failed ? errorTextColor() : secondaryTextColor(*this));
  result_->setPalette(palette);
  result_->show();
}

void QuickCommandView::updateRunButton() { run_->setEnabled(!field_->text().trimmed().isEmpty()); }

}  // namespace vorlane
