#include "ui/preferences/panels/voice_panel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <cmath>
#include <limits>

#include "tests/ui/preferences/recording_preferences_store.h"
#include "ui/preferences/text/voice_description.h"

namespace vorlane {
namespace {

struct FakeVoices final : VoiceCatalogue {
  std::vector<SpeechVoice> availableVoices() const override { return voices; }
  bool hasRecordedClips() const override { return clips; }
  std::vector<SpeechVoice> voices;
  bool clips = false;
};

struct VoicePanelTest : ::testing::Test {
  void make(Preferences record) {
    store = std::make_unique<testing::RecordingPreferencesStore>(std::move(record));
    binding = std::make_unique<PreferencesBinding>(*store);
    panel = std::make_unique<VoicePanel>(
        *binding,
        VoicePanel::Services{
            .voices = voices,
            .onPreview = [this](const std::string& text) { spoken.push_back(text); },
            .calendar = [] { return Calendar("UTC", "en_US"); },
            .now = [] { return Date::fromUnix(1780000000); },
        },
        nullptr);
  }
  QStringList entries() const {
    QStringList texts;
    for (int i = 0; i < panel->voicePicker()->count(); ++i) {
      texts << panel->voicePicker()->itemText(i);
    }
    return texts;
  }

  std::shared_ptr<FakeVoices> voices = std::make_shared<FakeVoices>();
  std::unique_ptr<testing::RecordingPreferencesStore> store;
  std::unique_ptr<PreferencesBinding> binding;
  std::unique_ptr<VoicePanel> panel;
  std::vector<std::string> spoken;
};

TEST_F(VoicePanelTest, VoiceListOffersTheClipsOnlyWhenInstalledThenSystemDefaultThenTheVoices) {
  const struct {
    const char* name;
    bool clips;
    std::vector<SpeechVoice> voices;
    QStringList expected;
  } rows[] = {
      {"clips and voices",
       true,
       {{"flite:awb", "awb", "en-GB"}, {"flite:slt", "slt", "en-US"}},
       {"Vorlane (bundled)", "System default",
        "English (United Kingdom) \u2013 Male, Scottish accent (awb)",
        "English (United States) \u2013 Female (slt)"}},
      {"voices only",
       false,
       {{"flite:slt", "slt", "en-US"}},
       {"System default", "English (United States) \u2013 Female (slt)"}},
      {"nothing", false, {}, {"System default"}},
  };
  for (const auto& row : rows) {
    voices->clips = row.clips;
    voices->voices = row.voices;
    make(Preferences());
    EXPECT_EQ(entries(), row.expected) << row.name;
    EXPECT_EQ(panel->voicePicker()->currentText(), QStringLiteral("System default")) << row.name;
  }
}

// Each voice by its language, region and kind, as desktop speech settings list voices; the
// engine's short name stays in brackets and the stored identifier is untouched.
TEST(VoiceDescription, NamesLanguageRegionAndKind) {
  const struct {
    SpeechVoice voice;
    const char* expected;
  } rows[] = {
      {{"flite:slt", "slt", "en-US"}, "English (United States) \u2013 Female (slt)"},
      {{"flite:rms", "rms", "en-US"}, "English (United States) \u2013 Male (rms)"},
      {{"flite:awb", "awb", "en-GB"},
       "English (United Kingdom) \u2013 Male, Scottish accent (awb)"},
      {{"flite:kal", "kal", "en-US"},
       "English (United States) \u2013 Male, telephone quality (kal)"},
      {{"flite:kal16", "kal16", "en-US"}, "English (United States) \u2013 Male (kal16)"},
      {{"other:zed", "Zed", "de-DE"}, "German (Germany) \u2013 Zed"},
      {{"other:fr", "Amélie", "fr"}, "French \u2013 Amélie"},
      {{"other:none", "Plain", ""}, "Plain"},
      {{"other:bad", "Odd", "zz-!!"}, "Odd"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(voiceDescription(row.voice).toStdString(), std::string(row.expected))
        << row.voice.identifier;
  }
}

TEST_F(VoicePanelTest, ChoosingAVoiceStoresItAndSystemDefaultStoresNone) {
  voices->voices = {{"flite:slt", "slt", "en-US"}};
  make(Preferences({.voiceIdentifier = "flite:kal"}));
  EXPECT_EQ(panel->voicePicker()->currentIndex(), -1) << "an unknown voice matches no entry";
  EXPECT_TRUE(store->writes.empty());

  emit panel->voicePicker()->activated(1);
  EXPECT_EQ(store->preferences().voiceIdentifier, "flite:slt");
  emit panel->voicePicker()->activated(0);
  EXPECT_EQ(store->preferences().voiceIdentifier, std::nullopt);
  ASSERT_EQ(store->writes.size(), 2u);
  EXPECT_EQ(store->writes.back(), Preferences());
  // Choosing "System default" again is no change: nothing more is written.
  emit panel->voicePicker()->activated(0);
  EXPECT_EQ(store->writes.size(), 2u);
}

TEST_F(VoicePanelTest, SpeechOffDisablesOnlyThePickerAndTheRate) {
  make(Preferences({.speechEnabled = false}));
  EXPECT_FALSE(panel->voicePicker()->isEnabled());
  EXPECT_FALSE(panel->rateSlider()->isEnabled());
  EXPECT_TRUE(panel->speechToggle()->isEnabled());
  EXPECT_TRUE(panel->templateField()->isEnabled());
  EXPECT_TRUE(panel->previewButton()->isEnabled());
  panel->speechToggle()->click();
  EXPECT_TRUE(panel->voicePicker()->isEnabled());
  EXPECT_TRUE(panel->rateSlider()->isEnabled());
  EXPECT_EQ(store->writes.size(), 1u);
}

TEST_F(VoicePanelTest, RateGridEndsExactlyAndAHeldThumbIsNotMoved) {
  EXPECT_EQ(VoicePanel::rateAt(0), 0.3f);
  EXPECT_EQ(VoicePanel::rateAt(VoicePanel::rateSteps), 0.7f);
  EXPECT_EQ(VoicePanel::rateAt(200), 0.5f);
  make(Preferences());
  EXPECT_EQ(panel->rateSlider()->value(), 200);
  panel->rateSlider()->setValue(250);
  ASSERT_EQ(store->writes.size(), 1u);
  EXPECT_EQ(store->writes.back().speechRate, VoicePanel::rateAt(250));

  panel->rateSlider()->setSliderDown(true);
  store->changeElsewhere([](Preferences& p) { p.speechRate = 0.3f; });
  EXPECT_EQ(panel->rateSlider()->value(), 250) << "not under the pointer";
  panel->rateSlider()->setSliderDown(false);
  store->changeElsewhere([](Preferences& p) { p.phraseTemplate = "Now {time}"; });
  EXPECT_EQ(panel->rateSlider()->value(), 0);
  EXPECT_EQ(panel->templateField()->text(), QStringLiteral("Now {time}"));
  EXPECT_EQ(store->writes.size(), 1u);
}

TEST_F(VoicePanelTest, TemplateEditsAreStoredAndThePreviewSpeaksTheStoredTemplateForNow) {
  make(Preferences());
  panel->templateField()->clear();
  QTest::keyClicks(panel->templateField(), "At {time}");
  EXPECT_EQ(store->preferences().phraseTemplate, "At {time}");
  EXPECT_EQ(store->writes.size(), 9u) << "one write per typed character";
  panel->previewButton()->click();
  ASSERT_EQ(spoken.size(), 1u);
  EXPECT_EQ(spoken.back().rfind("At ", 0), 0u) << spoken.back();
  EXPECT_NE(spoken.back(), "At {time}");

  // An emptied template previews the default sentence.
  store->changeElsewhere([](Preferences& p) { p.phraseTemplate.clear(); });
  panel->previewButton()->click();
  EXPECT_EQ(spoken.back().rfind("It's ", 0), 0u) << spoken.back();
}

TEST_F(VoicePanelTest, BadStoredValuesAreShownSanitisedAndNothingIsWrittenUntilTheUserActs) {
  const struct {
    const char* name;
    Preferences record;
    int rateStep;
  } rows[] = {
      {"huge rate", Preferences({.speechRate = std::numeric_limits<float>::infinity()}), 400},
      {"negative rate", Preferences({.speechRate = -1e30f}), 0},
      {"no number", Preferences({.speechRate = std::numeric_limits<float>::quiet_NaN()}), 200},
      {"long template", Preferences({.phraseTemplate = std::string(100000, 'a')}), 200},
      {"bundled without clips", Preferences({.voiceIdentifier = "vorlane.bundled"}), 200},
  };
  for (const auto& row : rows) {
    make(row.record);
    EXPECT_EQ(panel->rateSlider()->value(), row.rateStep) << row.name;
    EXPECT_LE(panel->templateField()->text().size(), VoicePanel::longestTemplate) << row.name;
    EXPECT_TRUE(store->writes.empty()) << row.name;
    EXPECT_EQ(store->preferences().phraseTemplate, row.record.phraseTemplate) << row.name;
  }
  // The note depends on the stored identifier alone.
  EXPECT_FALSE(panel->bundledNote()->isHidden());
  EXPECT_EQ(panel->voicePicker()->currentIndex(), -1);
}

}  // namespace
}  // namespace vorlane
