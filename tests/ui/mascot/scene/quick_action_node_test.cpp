#include "ui/mascot/scene/quick_action_node.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "tests/support/image_pixels.h"
#include "ui/kit/symbol_image.h"
#include "ui/scene/scene.h"

namespace vorlane {
namespace {

constexpr QuickAction every[] = {QuickAction::vorlane,
                                 QuickAction::startPomodoro,
                                 QuickAction::restartPomodoro,
                                 QuickAction::dismissCompletion,
                                 QuickAction::markAccomplished,
                                 QuickAction::keepGoing,
                                 QuickAction::finishStarter,
                                 QuickAction::stopForNow,
                                 QuickAction::pauseSession,
                                 QuickAction::resumeSession,
                                 QuickAction::extendSession,
                                 QuickAction::cancelSession,
                                 QuickAction::startBreak,
                                 QuickAction::skipBreak,
                                 QuickAction::mute,
                                 QuickAction::unmute};

TEST(QuickActionTest, RawValuesRoundTripExactly) {
  for (QuickAction action : every) {
    EXPECT_EQ(quickActionFromRaw(rawValue(action)), action) << rawValue(action);
  }
  for (const char* wrong : {"Mute", "mute ", "", "startpomodoro"}) {
    EXPECT_FALSE(quickActionFromRaw(wrong).has_value()) << wrong;
  }
}

TEST(QuickActionTest, OnlyTheStartPillNamesTheWorkLength) {
  EXPECT_EQ(label(QuickAction::startPomodoro, 25), "25 min");
  EXPECT_EQ(label(QuickAction::startPomodoro, 50), "50 min");
  EXPECT_EQ(label(QuickAction::extendSession, 50), "+5 min");
  EXPECT_EQ(label(QuickAction::vorlane, 50), "Time");
}

TEST(QuickActionNodeTest, EverySymbolHasItsOwnDrawingTintedLikeTheText) {
  const Rgba tint{0.2, 0.6, 0.9, 1};
  for (QuickAction action : every) {
    const QString name = QString::fromUtf8(symbolName(action).data());
    const QImage image = symbolImage(name, 16, tint.toQColor(), 2).toImage();
    ASSERT_FALSE(image.isNull()) << name.toStdString();
    EXPECT_EQ(image.size(), QSize(32, 32));
    const auto inkedPixel = [](const QColor& c) { return c.alpha() >= 250; };
    const int inked = pixelsWhere(image, inkedPixel);
    EXPECT_EQ(pixelsWhere(image,
                          [&](const QColor& c) {
                            return inkedPixel(c) && std::abs(c.blueF() - 0.9) > 0.01;
                          }),
              0)
        << name.toStdString() << ": inked pixels not in the tint's blue";
    EXPECT_GT(inked, 20) << name.toStdString();
  }
  EXPECT_TRUE(symbolImage("no.such.symbol", 16, tint.toQColor(), 1).isNull());
}

TEST(QuickActionNodeTest, SizeFollowsTheLabelAndWarningsHaveTheirOwnBorder) {
  const MascotTheme& theme = MascotTheme::light();
  QuickActionNode five(QuickAction::startPomodoro, "5 min", theme);
  QuickActionNode fifty(QuickAction::startPomodoro, "50 min", theme);
  EXPECT_GT(fifty.size().width(), five.size().width());
  EXPECT_EQ(five.size().height(), 36);
  EXPECT_DOUBLE_EQ(five.size().width(), five.label()->textSize().width() + 52);
  const double w = five.size().width();
  EXPECT_EQ(five.icon()->position(), QPointF(-w / 2 + 20, 0));
  EXPECT_EQ(five.label()->position(), QPointF(-w / 2 + 36, 0));
  EXPECT_EQ(five.background()->strokeColor(), theme.pillStroke);
  EXPECT_EQ(five.background()->lineWidth(), 1.0);

  for (QuickAction action : {QuickAction::stopForNow, QuickAction::cancelSession,
                             QuickAction::skipBreak, QuickAction::unmute}) {
    QuickActionNode pill(action, "x", theme);
    EXPECT_EQ(pill.background()->strokeColor(), QuickActionNode::warningStroke);
    EXPECT_EQ(pill.background()->lineWidth(), 1.5);
  }

  five.setHighlighted(true);
  EXPECT_EQ(five.background()->fillColor(), theme.pillHighlight);
  five.setHighlighted(false);
  EXPECT_EQ(five.background()->fillColor(), theme.pillFill);
}

// Drawn in a scene, each pill shows its symbol in the text colour in the icon's place.
TEST(QuickActionNodeTest, EveryPillAsDrawn) {
  for (const MascotTheme* theme : {&MascotTheme::light(), &MascotTheme::dark()}) {
    Scene scene(QSizeF(380, 8 * 44 + 8));
    std::vector<QuickActionNode*> pills;
    int i = 0;
    for (QuickAction action : every) {
      auto* pill = new QuickActionNode(action, QString::fromStdString(label(action, 25)), *theme);
      pill->setPosition({10 + (i % 2) * 190 + pill->size().width() / 2,
                         scene.size().height() - 26 - (i / 2) * 44});
      scene.addChild(pill);
      pills.push_back(pill);
      ++i;
    }
    const QImage image = scene.renderImage();
    if (const char* dir = std::getenv("VORLANE_KEEP_SCREENSHOTS")) {
      image.save(QString("%1/pills-%2.png").arg(dir, theme->isDark ? "dark" : "light"));
    }
    const QColor ink = theme->pillText.toQColor();
    for (const QuickActionNode* pill : pills) {
      const QPointF icon = pill->position() + pill->icon()->position();
      int inked = 0;
      for (int dy = -8; dy < 8; ++dy) {
        for (int dx = -8; dx < 8; ++dx) {
          const QColor c =
              image.pixelColor(int(icon.x()) + dx, int(scene.size().height() - icon.y()) + dy);
          if (std::abs(c.red() - ink.red()) < 40 && std::abs(c.green() - ink.green()) < 40 &&
              std::abs(c.blue() - ink.blue()) < 40 && c.alpha() > 200) {
            ++inked;
          }
        }
      }
      EXPECT_GT(inked, 10) << rawValue(pill->action()) << (theme->isDark ? " dark" : " light");
    }
  }
}

}  // namespace
}  // namespace vorlane
