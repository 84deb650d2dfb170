#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QWidget>
#include <optional>

#include "ui/kit/text_roles.h"

namespace vorlane::testing {

// The label in `root` that shows `text`, or none.
inline const QLabel* labelShowing(const QWidget& root, const QString& text) {
  for (const QLabel* label : root.findChildren<QLabel*>()) {
    if (label->text() == text) return label;
  }
  return nullptr;
}

// Whether `label` is drawn at `role`'s size for its kind of widget, at the role's own weight
// or at `weight`.
inline ::testing::AssertionResult sizedAs(const QLabel* label, TextRole role,
                                          std::optional<QFont::Weight> weight = std::nullopt) {
  if (label == nullptr) return ::testing::AssertionFailure() << "no such label";
  const int body = QFontInfo(QApplication::font(label)).pixelSize();
  const int pixels = rolePixelSize(role, body);
  const int wanted = weight.value_or(roleFont(role, QFont()).weight());
  const QFont& font = label->font();
  if (font.pixelSize() == pixels && font.weight() == wanted) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << '"' << label->text().toStdString() << "\" is " << font.pixelSize() << " px at weight "
         << font.weight() << ", not " << pixels << " px at weight " << wanted;
}

}  // namespace vorlane::testing
