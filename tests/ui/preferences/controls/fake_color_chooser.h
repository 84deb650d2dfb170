#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "ui/preferences/controls/color_chooser.h"

namespace vorlane::testing {

// Keeps each choice asked for, unanswered, until the test picks a colour or cancels, as the
// user would; nothing is answered once the asking widget is gone.
class FakeColorChooser final : public ColorChooser {
 public:
  struct Asked {
    QPointer<QWidget> parent;
    QColor initial;
    QString title;
    std::function<void(const QColor&)> chosen;
  };

  void choose(QWidget& parent, const QColor& initial, const QString& title,
              std::function<void(const QColor&)> chosen) override {
    asked.push_back({&parent, initial, title, std::move(chosen)});
  }

  void pick(const QColor& color) {
    Asked& latest = waiting();
    const auto reply = std::exchange(latest.chosen, nullptr);
    if (latest.parent) reply(color);
  }
  // The chooser closed without a choice: nothing is called.
  void cancel() { waiting().chosen = nullptr; }

  std::vector<Asked> asked;

 private:
  Asked& waiting() {
    if (asked.empty() || !asked.back().chosen) throw std::logic_error("no colour is being chosen");
    return asked.back();
  }
};

}  // namespace vorlane::testing
