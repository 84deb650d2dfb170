#include "ui/windows/feature_window.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QKeyEvent>
#include <QTest>

namespace vorlane {
namespace {

// A content with one field, so a test can see whether typed text survived.
struct Built {
  QPointer<QLineEdit> field;
  FeatureWindow::CloseAction close;
  int count = 0;
};

FeatureWindow::Builder builder(Built& built) {
  return [&built](FeatureWindow::CloseAction close) -> QWidget* {
    auto* field = new QLineEdit;
    built.field = field;
    built.close = std::move(close);
    ++built.count;
    return field;
  };
}

// A field that handles Escape itself, as the welcome does ("Not now").
class EscapeField final : public QLineEdit {
 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape) return event->accept();
    QLineEdit::keyPressEvent(event);
  }
};

void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

TEST(FeatureWindow, IsMadeOnceCentredAtItsSizeAndKeepsTheUsersPlaceAfterAClose) {
  FeatureWindow host;
  Built built;
  EXPECT_EQ(host.window(), nullptr);
  host.show("Today", QSize(570, 540), true, true, builder(built));
  QWidget* window = host.window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->parent(), nullptr);
  EXPECT_EQ(window->windowTitle(), "Today");
  EXPECT_EQ(window->size(), QSize(570, 540));
  // Centred, give or take the frame the platform adds after the placing.
  const QPoint offCentre =
      window->geometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE(offCentre.manhattanLength(), 4) << offCentre.x() << "," << offCentre.y();
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_NE(window->minimumSize(), window->maximumSize()) << "resizable";

  window->move(12, 34);
  window->resize(600, 500);
  window->close();
  host.show("Today", QSize(570, 540), true, true, builder(built));
  EXPECT_EQ(host.window(), window) << "the same window again";
  EXPECT_EQ(window->pos(), QPoint(12, 34));
  EXPECT_EQ(window->size(), QSize(600, 500));
}

TEST(FeatureWindow, AVisibleWindowIsOnlyRaisedWhenReusedAndRebuiltOtherwise) {
  struct Row {
    const char* name;
    bool reuseVisible;
    QString title;
    QString text;
    int builds;
  };
  const Row rows[] = {
      {"reused", true, "Add reminder", "half typed", 1},
      {"rebuilt", false, "Edit reminder", "", 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FeatureWindow host;
    Built built;
    host.show("Add reminder", QSize(440, 300), false, row.reuseVisible, builder(built));
    QTest::keyClicks(built.field, "half typed");
    host.show("Edit reminder", QSize(440, 300), false, row.reuseVisible, builder(built));
    settle();
    EXPECT_EQ(built.count, row.builds);
    EXPECT_EQ(host.window()->windowTitle(), row.title);
    ASSERT_NE(built.field, nullptr);
    EXPECT_EQ(built.field->text(), row.text);
    EXPECT_EQ(host.content(), built.field.data());
  }
}

TEST(FeatureWindow, ClosingDropsTheContentAndTheNextShowingStartsFresh) {
  FeatureWindow host;
  Built built;
  host.show("Focus history", QSize(510, 450), false, true, builder(built));
  QTest::keyClicks(built.field, "typed");
  const QPointer<QLineEdit> first = built.field;
  const FeatureWindow::CloseAction firstClose = built.close;
  host.window()->close();
  EXPECT_EQ(host.content(), nullptr);
  settle();
  EXPECT_EQ(first, nullptr) << "the closed content is released";

  host.show("Focus history", QSize(510, 450), false, true, builder(built));
  EXPECT_EQ(built.field->text(), "");
  // The close action of a content since replaced still closes the window the host holds.
  firstClose();
  EXPECT_FALSE(host.window()->isVisible());
  EXPECT_EQ(host.content(), nullptr);
}

TEST(FeatureWindow, AFixedWindowIsAsTallAsItsContentNeedsButNeverShorterThanAsked) {
  FeatureWindow host;
  host.show("Short", QSize(300, 100), false, true, [](FeatureWindow::CloseAction) -> QWidget* {
    auto* tall = new QWidget;
    tall->setMinimumHeight(260);
    return tall;
  });
  EXPECT_EQ(host.window()->size(), QSize(300, 260));
  EXPECT_EQ(host.window()->minimumSize(), host.window()->maximumSize());
  // A line that appears later is not cut off either.
  host.content()->setMinimumHeight(330);
  EXPECT_TRUE(QTest::qWaitFor([&] { return host.window()->height() == 330; }, 1000));
  EXPECT_EQ(host.window()->width(), 300);
  host.window()->close();
  host.show("Short", QSize(300, 100), false, true,
            [](FeatureWindow::CloseAction) -> QWidget* { return new QWidget; });
  EXPECT_EQ(host.window()->size(), QSize(300, 100));
}

TEST(FeatureWindow, TheCloseActionIsHarmlessOnceTheHostIsGone) {
  Built built;
  {
    FeatureWindow host;
    host.show("Gone", QSize(200, 100), false, true, builder(built));
  }
  ASSERT_TRUE(built.close);
  built.close();
  EXPECT_EQ(built.field, nullptr) << "the window went with its host";
}

// Every hosted window closes with Escape, from its field or from the window itself, unless
// its content handles Escape on its own; Escape with a modifier is left alone.
TEST(FeatureWindow, EscapeClosesTheWindowUnlessTheContentTakesIt) {
  struct Row {
    const char* name;
    bool contentTakesEscape;
    bool fromField;
    Qt::KeyboardModifiers modifiers;
    bool closes;
  };
  const Row rows[] = {
      {"from the field", false, true, Qt::NoModifier, true},
      {"from the window", false, false, Qt::NoModifier, true},
      {"with Shift", false, true, Qt::ShiftModifier, false},
      {"content handles it", true, true, Qt::NoModifier, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FeatureWindow host;
    Built built;
    host.show("Escape", QSize(300, 100), false, true,
              [&](FeatureWindow::CloseAction close) -> QWidget* {
                if (!row.contentTakesEscape) return builder(built)(std::move(close));
                auto* field = new EscapeField;
                built.field = field;
                return field;
              });
    ASSERT_NE(built.field, nullptr);
    QWidget* target = row.fromField ? static_cast<QWidget*>(built.field) : host.window();
    QTest::keyClick(target, Qt::Key_Escape, row.modifiers);
    EXPECT_EQ(host.window()->isVisible(), !row.closes);
    EXPECT_EQ(host.content() == nullptr, row.closes);
    settle();
  }
}

}  // namespace
}  // namespace vorlane
