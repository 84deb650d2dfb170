#include "ui/preferences/panels/quiet_panel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "tests/support/temp_folder.h"
#include "tests/ui/preferences/recording_preferences_store.h"
#include "ui/preferences/controls/quiet_app_list.h"
#include "ui/preferences/text/hour_labels.h"

namespace vorlane {
namespace {

TEST(HourLabels, FollowTheLocaleAndTheHandWrittenFormKeepsTheTwelveHourDial) {
  const QStringList us = hourLabels(Calendar("America/New_York", "en_US"));
  const QStringList gb = hourLabels(Calendar("Europe/London", "en_GB"));
  ASSERT_EQ(us.size(), 24);
  ASSERT_EQ(gb.size(), 24);
  const struct {
    int hour;
    const char16_t* us;
    const char* gb;
  } rows[] = {
      {0, u"12:00\u202FAM", "00:00"},  {9, u"9:00\u202FAM", "09:00"},
      {12, u"12:00\u202FPM", "12:00"}, {13, u"1:00\u202FPM", "13:00"},
      {23, u"11:00\u202FPM", "23:00"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(us[row.hour], QString::fromUtf16(row.us)) << row.hour;
    EXPECT_EQ(gb[row.hour], QString::fromLatin1(row.gb)) << row.hour;
  }
  EXPECT_EQ(handWrittenHourLabel(0), QStringLiteral("12:00 AM"));
  EXPECT_EQ(handWrittenHourLabel(9), QStringLiteral("9:00 AM"));
  EXPECT_EQ(handWrittenHourLabel(13), QStringLiteral("1:00 PM"));
  EXPECT_EQ(handWrittenHourLabel(-3), QStringLiteral("-3:00 AM"));
}

struct QuietPanelTest : ::testing::Test {
  void make(Preferences record) {
    store = std::make_unique<testing::RecordingPreferencesStore>(std::move(record));
    binding = std::make_unique<PreferencesBinding>(*store);
    panel = std::make_unique<QuietPanel>(*binding, Calendar("UTC", "en_GB"),
                                         QStringLiteral("Ctrl+Alt+Super+M"),
                                         AppNames({folder.path()}, "de_DE"), nullptr);
  }
  QStringList rowIDs() const {
    QStringList ids;
    for (QPushButton* button : panel->apps()->removeButtons()) {
      ids << button->parentWidget()->property("appId").toString();
    }
    return ids;
  }

  testing::TempFolder folder;
  std::unique_ptr<testing::RecordingPreferencesStore> store;
  std::unique_ptr<PreferencesBinding> binding;
  std::unique_ptr<QuietPanel> panel;
};

TEST_F(QuietPanelTest, PickersStoreAnyPairAndAStoredHourOutsideTheDayIsShownEmptyNotRewritten) {
  make(Preferences({.activeStartHour = -4, .activeEndHour = 99}));
  EXPECT_EQ(panel->startPicker()->currentIndex(), -1);
  EXPECT_EQ(panel->endPicker()->currentIndex(), -1);
  EXPECT_EQ(panel->startPicker()->itemText(22), QStringLiteral("22:00"));
  EXPECT_TRUE(store->writes.empty());

  panel->startPicker()->setCurrentIndex(22);
  emit panel->startPicker()->activated(22);
  panel->endPicker()->setCurrentIndex(6);
  emit panel->endPicker()->activated(6);
  EXPECT_EQ(store->preferences().activeStartHour, 22);
  EXPECT_EQ(store->preferences().activeEndHour, 6);
  ASSERT_EQ(store->writes.size(), 2u);
  // The same hour in both pickers is accepted as it is.
  emit panel->startPicker()->activated(6);
  EXPECT_EQ(store->preferences().activeStartHour, 6);
  EXPECT_EQ(store->writes.back().activeEndHour, 6);
}

TEST_F(QuietPanelTest, TogglesWriteOneFieldAndChangesElsewhereRedrawWithoutWriting) {
  make(Preferences());
  panel->halfHourToggle()->click();
  panel->fullscreenToggle()->click();
  ASSERT_EQ(store->writes.size(), 2u);
  Preferences expected;
  expected.halfHourVisitsEnabled = true;
  EXPECT_EQ(store->writes[0], expected);
  expected.quietInFullscreen = false;
  EXPECT_EQ(store->writes[1], expected);

  store->changeElsewhere([](Preferences& p) {
    p.activeStartHour = 7;
    p.halfHourVisitsEnabled = false;
    p.blockedAppIDs = {"obs"};
  });
  EXPECT_EQ(panel->startPicker()->currentIndex(), 7);
  EXPECT_FALSE(panel->halfHourToggle()->isChecked());
  EXPECT_EQ(rowIDs(), QStringList{QStringLiteral("obs")});
  EXPECT_EQ(store->writes.size(), 2u);
}

// The stored identifiers of the default list are shown by the names people know, beside
// the Linux app each matches; the identifiers themselves stay as stored.
TEST_F(QuietPanelTest, DefaultIdentifiersShowTheirNamesAndTheLinuxAppTheyMatch) {
  const struct {
    const char* id;
    const char* name;
    const char* match;  // none: no second text
  } rows[] = {
      {"Zeta", "Zeta", nullptr},
      {"com.apple.QuickTimePlayer", "QuickTime Player", "not on Linux"},
      {"com.apple.iWork.Keynote", "Keynote", "not on Linux"},
      {"com.cisco.webexmeetingsapp", "Webex Meetings", "not on Linux"},
      {"com.google.Chrome.app.kjgfgldnnfoeklkmfkjfagphfepbbdan", "Google Meet", "Chrome web app"},
      {"com.microsoft.Powerpoint", "PowerPoint", "LibreOffice Impress"},
      {"com.microsoft.teams2", "New Microsoft Teams", "Teams for Linux"},
      {"com.webex.meetingmanager", "Webex", "CiscoCollabHost"},
      {"us.zoom.xos", "Zoom", "zoom"},
  };
  Preferences record;
  record.blockedAppIDs.clear();
  for (const auto& row : rows) record.blockedAppIDs.insert(row.id);
  make(record);
  const QList<QPushButton*> buttons = panel->apps()->removeButtons();
  ASSERT_EQ(buttons.size(), static_cast<qsizetype>(std::size(rows)));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const auto& row = rows[i];
    SCOPED_TRACE(row.id);
    QWidget* shown = buttons[static_cast<qsizetype>(i)]->parentWidget();
    EXPECT_EQ(shown->property("appId").toString(), QString::fromUtf8(row.id));
    EXPECT_EQ(buttons[static_cast<qsizetype>(i)]->accessibleName(),
              QStringLiteral("Remove ") + QString::fromUtf8(row.name) +
                  QStringLiteral(" from quiet apps"));
    auto* match = shown->findChild<QLabel*>(QStringLiteral("match"));
    if (row.match == nullptr) {
      EXPECT_EQ(match, nullptr);
    } else {
      ASSERT_NE(match, nullptr);
      EXPECT_EQ(match->text(), QString::fromUtf8(row.match));
    }
  }
  EXPECT_TRUE(store->writes.empty());
}

TEST_F(QuietPanelTest, RowsFollowIdentifierOrderAndRemoveKeepsEveryOtherField) {
  testing::writeFile(folder.path() / "com.example.zz.desktop",
                     "[Desktop Entry]\nName=Aardvark Slides\nName[de]=Erdferkel\n");
  make(Preferences({.blockedAppIDs = {"com.example.zz", "Zeta", "us.zoom.xos", "apple"}}));
  // Byte order: upper case first, whatever the names shown.
  EXPECT_EQ(rowIDs(), (QStringList{"Zeta", "apple", "com.example.zz", "us.zoom.xos"}));
  const QList<QPushButton*> buttons = panel->apps()->removeButtons();
  EXPECT_EQ(buttons[0]->accessibleName(), QStringLiteral("Remove Zeta from quiet apps"));
  EXPECT_EQ(buttons[2]->accessibleName(), QStringLiteral("Remove Erdferkel from quiet apps"));
  EXPECT_EQ(buttons[3]->accessibleName(), QStringLiteral("Remove Zoom from quiet apps"));

  store->changeElsewhere([](Preferences& p) { p.workMinutes = 60; });
  buttons[1]->click();
  ASSERT_EQ(store->writes.size(), 1u);
  Preferences expected(
      {.blockedAppIDs = {"com.example.zz", "Zeta", "us.zoom.xos"}, .workMinutes = 60});
  EXPECT_EQ(store->writes.front(), expected);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(rowIDs(), (QStringList{"Zeta", "com.example.zz", "us.zoom.xos"}));

  store->changeElsewhere([](Preferences& p) { p.blockedAppIDs.clear(); });
  EXPECT_TRUE(rowIDs().isEmpty());
}

TEST_F(QuietPanelTest, TypedWindowClassesAreAddedOnlyWhenTheyCanBeOne) {
  make(Preferences({.blockedAppIDs = {}}));
  QuietAppList& apps = *panel->apps();
  const struct {
    const char* name;
    QString typed;
    std::optional<std::string> added;
  } rows[] = {
      {"plain", QStringLiteral(" obs "), "obs"},
      {"aliased", QStringLiteral("zoom"), "us.zoom.xos"},
      {"blank", QStringLiteral("   "), std::nullopt},
      {"control character", QStringLiteral("a\tb"), std::nullopt},
      {"too long", QString(200, QLatin1Char('x')), std::nullopt},
  };
  for (const auto& row : rows) {
    const std::size_t before = store->writes.size();
    apps.field()->setText(row.typed);
    apps.addButton()->click();
    if (row.added) {
      EXPECT_EQ(store->writes.size(), before + 1) << row.name;
      EXPECT_TRUE(store->preferences().blockedAppIDs.contains(*row.added)) << row.name;
      EXPECT_TRUE(apps.field()->text().isEmpty()) << row.name;
      EXPECT_TRUE(apps.refusal()->isHidden()) << row.name;
    } else {
      EXPECT_EQ(store->writes.size(), before) << row.name;
      EXPECT_FALSE(apps.refusal()->isHidden()) << row.name;
      EXPECT_EQ(apps.field()->text(), row.typed) << row.name << ": kept to correct";
    }
  }
}

TEST_F(QuietPanelTest, FixedRowsShowTheShortcutAndCannotBeChanged) {
  make(Preferences());
  QStringList texts;
  for (QLabel* label : panel->findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains(QStringLiteral("Ctrl+Alt+Super+M")));
  EXPECT_TRUE(texts.contains(QStringLiteral("Always")));
  EXPECT_TRUE(texts.contains(QStringLiteral(
      "The desktop's Do Not Disturb is not inferred. Use Mute in the menu or its shortcut.")));
  for (QLabel* label : panel->findChildren<QLabel*>()) {
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
  }
}

}  // namespace
}  // namespace vorlane

namespace vorlane {
namespace {

TEST_F(QuietPanelTest, AHugeStoredListIsCutForShowingAndKeptWhole) {
  std::set<std::string> ids;
  for (int i = 0; i < 5000; ++i) ids.insert("app" + std::to_string(10000 + i));
  make(Preferences({.blockedAppIDs = ids}));
  EXPECT_EQ(panel->apps()->removeButtons().size(), qsizetype(QuietAppList::longestList));
  EXPECT_FALSE(panel->apps()->moreLine()->isHidden());
  EXPECT_EQ(panel->apps()->moreLine()->text(), QStringLiteral("and 4800 more, kept as stored"));
  panel->apps()->removeButtons().front()->click();
  EXPECT_EQ(store->preferences().blockedAppIDs.size(), 4999u);
  EXPECT_FALSE(store->preferences().blockedAppIDs.contains("app10000"));
  store->changeElsewhere([](Preferences& p) { p.blockedAppIDs = {"one"}; });
  EXPECT_TRUE(panel->apps()->moreLine()->isHidden());
}

}  // namespace
}  // namespace vorlane
