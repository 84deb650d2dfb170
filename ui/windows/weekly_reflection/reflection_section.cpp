#include "ui/windows/weekly_reflection/reflection_section.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/kit/symbol_image.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_text.h"

namespace vorlane {

ReflectionSection::ReflectionSection(const QString& title, const QString& symbol,
                                     const QString& emptySentence, QWidget* parent)
    : QWidget(parent) {
  column_ = new QVBoxLayout(this);
  column_->setContentsMargins(0, 0, 0, 0);
  column_->setSpacing(8);

  auto* heading = new QHBoxLayout;
  heading->setSpacing(6);
  auto* titleLabel = plainLabel(title, this);
  setTextRole(*titleLabel, TextRole::headline);
  const int iconSize = QFontMetrics(titleLabel->font()).height();
  heading->addWidget(symbolLabel(symbol, iconSize, accentColor(*this), this));
  heading->addWidget(titleLabel);
  heading->addStretch(1);
  column_->addLayout(heading);

  empty_ = plainLabel(emptySentence, this);
  empty_->setWordWrap(true);
  setTextRole(*empty_, TextRole::callout);
  setSecondary(*empty_);
  column_->addWidget(empty_);
}

void ReflectionSection::setValues(const std::vector<std::string>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    const QString text = QStringLiteral("\u2022 ") + QString::fromStdString(values[i]);
    if (i < lines_.size()) {
      if (lines_[i]->text() != text) lines_[i]->setText(text);
      continue;
    }
    auto* line = plainLabel(text, this);
    line->setWordWrap(true);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setTextRole(*line, TextRole::callout);
    column_->addWidget(line);
    lines_.push_back(line);
  }
  while (lines_.size() > values.size()) {
    QLabel* extra = lines_.back();
    lines_.pop_back();
    column_->removeWidget(extra);
    extra->hide();
    // A refresh may run inside an event this label is still handling.
    extra->deleteLater();
  }
  empty_->setVisible(values.empty());
}

}  // namespace vorlane
