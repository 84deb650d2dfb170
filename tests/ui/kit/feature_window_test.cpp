#include "ui/kit/feature_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "ui/kit/window_content.h"

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

TEST(FeatureWindow, IsCentredAtItsSizeAndMadeAgainWhereTheUserLeftItAfterAClose) {
  FeatureWindow host;
  Built built;
  EXPECT_EQ(host.window(), nullptr);
  host.show("Today", QSize(570, 540), {.resizable = true, .reuseVisible = true}, builder(built));
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
  const QPointer<QWidget> first(window);
  window->close();
  host.show("Today", QSize(570, 540), {.resizable = true, .reuseVisible = true}, builder(built));
  settle();
  EXPECT_EQ(first, nullptr) << "the closed window is deleted";
  ASSERT_NE(host.window(), nullptr);
  EXPECT_TRUE(host.window()->isVisible());
  EXPECT_EQ(host.window()->pos(), QPoint(12, 34));
  EXPECT_EQ(host.window()->size(), QSize(600, 500));
}

// A fixed window comes back where it was left, at the size asked, not the size it grew to.
TEST(FeatureWindow, AFixedWindowMadeAgainKeepsItsPlaceButNotItsGrownHeight) {
  FeatureWindow host;
  const auto tall = [](FeatureWindow::CloseAction) -> QWidget* {
    auto* content = new QWidget;
    content->setMinimumHeight(200);
    return content;
  };
  host.show("Fixed", QSize(300, 100), {.resizable = false, .reuseVisible = true}, tall);
  host.window()->move(40, 50);
  host.window()->close();
  settle();
  host.show("Fixed", QSize(300, 100), {.resizable = false, .reuseVisible = true},
            [](FeatureWindow::CloseAction) -> QWidget* { return new QWidget; });
  EXPECT_EQ(host.window()->pos(), QPoint(40, 50));
  EXPECT_EQ(host.window()->size(), QSize(300, 100));
}

// A closed window keeps nothing alive: no widget, no native window, no timer of its content.
TEST(FeatureWindow, ClosingLeavesNoWidgetNorTimerOfTheWindowAlive) {
  struct Row {
    const char* name;
    std::function<void(FeatureWindow&, Built&)> closeIt;
  };
  const Row rows[] = {
      {"close action", [](FeatureWindow&, Built& built) { built.close(); }},
      {"Escape",
       [](FeatureWindow&, Built& built) { QTest::keyClick(built.field, Qt::Key_Escape); }},
      {"title bar", [](FeatureWindow& host, Built&) { host.window()->close(); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    settle();
    const qsizetype widgetsBefore = QApplication::allWidgets().size();
    const qsizetype windowsBefore = QApplication::topLevelWidgets().size();
    FeatureWindow host;
    Built built;
    QPointer<QTimer> timer;
    const auto withTimer = [&](FeatureWindow::CloseAction close) -> QWidget* {
      QWidget* content = builder(built)(std::move(close));
      timer = new QTimer(content);
      timer->start(1000);
      return content;
    };
    host.show("Timed", QSize(300, 100), {.resizable = false, .reuseVisible = true}, withTimer);
    const QPointer<QWidget> window(host.window());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    ASSERT_TRUE(timer && timer->isActive());
    EXPECT_GT(QApplication::allWidgets().size(), widgetsBefore);

    row.closeIt(host, built);
    settle();
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(host.window(), nullptr);
    EXPECT_EQ(timer, nullptr) << "the content's timer went with it";
    EXPECT_EQ(QApplication::allWidgets().size(), widgetsBefore);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windowsBefore);

    // And it opens again, working.
    host.show("Timed", QSize(300, 100), {.resizable = false, .reuseVisible = true}, withTimer);
    ASSERT_NE(host.window(), nullptr);
    EXPECT_TRUE(host.window()->isVisible());
    EXPECT_TRUE(timer && timer->isActive());
    QTest::keyClicks(built.field, "again");
    EXPECT_EQ(built.field->text(), "again");
  }
}

// A content may close its window from its own slot and a showing may follow before the loop
// deletes it: the new window must not be the closing one, nor go with it.
TEST(FeatureWindow, AShowingRightAfterACloseFromTheContentMakesAWindowThatStays) {
  FeatureWindow host;
  Built built;
  host.show("Quick", QSize(300, 100), {.resizable = false, .reuseVisible = true}, builder(built));
  const QPointer<QWidget> closing(host.window());
  QObject::connect(built.field.data(), &QLineEdit::returnPressed, [&] {
    built.close();
    host.show("Quick", QSize(300, 100), {.resizable = false, .reuseVisible = true}, builder(built));
  });
  QTest::keyClick(built.field, Qt::Key_Return);
  settle();
  EXPECT_EQ(closing, nullptr);
  ASSERT_NE(host.window(), nullptr);
  EXPECT_TRUE(host.window()->isVisible());
  ASSERT_NE(built.field, nullptr);
  EXPECT_EQ(host.content(), built.field.data());
  QTest::keyClicks(built.field, "kept");
  EXPECT_EQ(built.field->text(), "kept");
}

TEST(FeatureWindow, AClosedWindowTheLoopHasNotDeletedYetGoesWithItsHost) {
  QPointer<QWidget> closed;
  {
    FeatureWindow host;
    Built built;
    host.show("Gone", QSize(200, 100), {.resizable = false, .reuseVisible = true}, builder(built));
    closed = host.window();
    host.window()->close();
    host.show("Gone", QSize(200, 100), {.resizable = false, .reuseVisible = true}, builder(built));
    ASSERT_FALSE(closed.isNull()) << "the loop has not run";
  }
  EXPECT_TRUE(closed.isNull());
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
    host.show("Add reminder", QSize(440, 300),
              {.resizable = false, .reuseVisible = row.reuseVisible}, builder(built));
    QTest::keyClicks(built.field, "half typed");
    host.show("Edit reminder", QSize(440, 300),
              {.resizable = false, .reuseVisible = row.reuseVisible}, builder(built));
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
  host.show("Focus history", QSize(510, 450), {.resizable = false, .reuseVisible = true},
            builder(built));
  QTest::keyClicks(built.field, "typed");
  const QPointer<QLineEdit> first = built.field;
  const FeatureWindow::CloseAction firstClose = built.close;
  host.window()->close();
  EXPECT_EQ(host.content(), nullptr);
  settle();
  EXPECT_EQ(first, nullptr) << "the closed content is released";

  host.show("Focus history", QSize(510, 450), {.resizable = false, .reuseVisible = true},
            builder(built));
  EXPECT_EQ(built.field->text(), "");
  // The close action of a content since replaced still closes the window the host holds.
  firstClose();
  EXPECT_FALSE(host.window()->isVisible());
  EXPECT_EQ(host.content(), nullptr);
}

TEST(FeatureWindow, AFixedWindowIsAsTallAsItsContentNeedsButNeverShorterThanAsked) {
  FeatureWindow host;
  host.show("Short", QSize(300, 100), {.resizable = false, .reuseVisible = true},
            [](FeatureWindow::CloseAction) -> QWidget* {
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
  host.show("Short", QSize(300, 100), {.resizable = false, .reuseVisible = true},
            [](FeatureWindow::CloseAction) -> QWidget* { return new QWidget; });
  EXPECT_EQ(host.window()->size(), QSize(300, 100));
}

// A fixed window taller than its screen has room for is as tall as the room, frame and all,
// inside the screen, its content scrolling; the next content, short again, is not.
TEST(FeatureWindow, AFixedWindowTallerThanTheScreenScrollsItsContentInsideTheScreen) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  FeatureWindow host;
  host.show("Tall", QSize(300, 100), {.resizable = false, .reuseVisible = true},
            [&](FeatureWindow::CloseAction) -> QWidget* {
              auto* tall = new QWidget;
              tall->setMinimumHeight(area.height() + 200);
              return tall;
            });
  QWidget* window = host.window();
  // The platform frames the window once shown.
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry().height() == area.height(); }))
      << window->frameGeometry().height();
  EXPECT_TRUE(area.contains(window->frameGeometry()))
      << window->frameGeometry().x() << "," << window->frameGeometry().y();
  EXPECT_EQ(window->width(), 300);
  EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "still fixed";
  auto* scroll = window->findChild<QScrollArea*>();
  ASSERT_NE(scroll, nullptr);
  EXPECT_EQ(scroll->widget(), host.content());
  // Growing further scrolls further; the window stays.
  const int height = window->height();
  host.content()->setMinimumHeight(area.height() + 400);
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(window->height(), height);

  host.show("Short", QSize(300, 100), {.resizable = false, .reuseVisible = false},
            [](FeatureWindow::CloseAction) -> QWidget* {
              auto* content = new QWidget;
              content->setMinimumHeight(150);
              return content;
            });
  settle();
  EXPECT_TRUE(QTest::qWaitFor([&] { return host.window()->height() == 150; }))
      << host.window()->height();
  EXPECT_EQ(host.content()->parentWidget(), host.window());
  EXPECT_EQ(host.window()->findChild<QScrollArea*>(), nullptr);
}

// A resizable window larger than its screen is lowered to the screen, below its minimum.
TEST(FeatureWindow, AWindowLargerThanTheScreenIsPlacedInsideIt) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  FeatureWindow host;
  host.open(
      [&] {
        auto* whole = new QWidget(nullptr, Qt::Window);
        whole->setMinimumSize(area.width() / 2, area.height() + 20);
        whole->resize(area.width() / 2 + 60, area.height() + 120);
        return whole;
      },
      true);
  QWidget* window = host.window();
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry().height() == area.height(); }))
      << window->frameGeometry().height();
  const QRect frame = window->frameGeometry();
  EXPECT_EQ(frame.top(), area.top());
  // Centred across, give or take the frame the platform adds after the placing.
  EXPECT_LE(std::abs(frame.center().x() - area.center().x()), 4) << frame.center().x();
  EXPECT_EQ(window->width(), area.width() / 2 + 60);
  EXPECT_EQ(window->minimumSize(), QSize(area.width() / 2, window->height()));
}

TEST(FeatureWindow, TheCloseActionIsHarmlessOnceTheHostIsGone) {
  Built built;
  {
    FeatureWindow host;
    host.show("Gone", QSize(200, 100), {.resizable = false, .reuseVisible = true}, builder(built));
  }
  ASSERT_TRUE(built.close);
  built.close();
  EXPECT_EQ(built.field, nullptr) << "the window went with its host";
}

// A content following the window contract closes its window through the host's close action,
// handed to it once it is built; before that, closing does nothing.
TEST(FeatureWindow, HandsItsCloseActionToTheContent) {
  FeatureWindow host;
  QPointer<WindowContent> content;
  host.show("Form", QSize(200, 100), {.resizable = false, .reuseVisible = true},
            [&](const FeatureWindow::CloseAction&) {
              auto* made = new WindowContent;
              made->closeWindow();
              content = made;
              return static_cast<QWidget*>(made);
            });
  ASSERT_NE(content, nullptr);
  ASSERT_TRUE(host.window()->isVisible()) << "no close action before the host's";
  content->closeWindow();
  EXPECT_FALSE(host.window()->isVisible());
  EXPECT_EQ(host.content(), nullptr);
  settle();
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
    host.show("Escape", QSize(300, 100), {.resizable = false, .reuseVisible = true},
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
