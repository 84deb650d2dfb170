#include "ui/preferences/panels/voice_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <cmath>

#include "core/contracts/clock.h"
#include "core/visits/phrase_formatter.h"
#include "platform/services/bundled_speech.h"
#include "ui/preferences/controls/form_section.h"
#include "ui/preferences/text/voice_description.h"

namespace vorlane {

float VoicePanel::rateAt(int step) {
  // From integers, so that the ends are exactly 0.3f and 0.7f.
  return static_cast<float>(0.3 + std::clamp(step, 0, rateSteps) / 1000.0);
}

int VoicePanel::stepOf(float rate) {
  if (std::isnan(rate)) return rateSteps / 2;
  const double step = std::round((static_cast<double>(rate) - 0.3) * 1000.0);
  return static_cast<int>(std::clamp(step, 0.0, static_cast<double>(rateSteps)));
}

VoicePanel::VoicePanel(PreferencesBinding& binding, Services services, QWidget* parent)
    : PreferencesPanel(binding, parent), services_(std::move(services)) {
  FormSection* speech = addSection(QStringLiteral("Speech"));
  speech_ = toggle(QStringLiteral("Say the time out loud"), &Preferences::speechEnabled, speech);
  speech->addRow(speech_);

  voice_ = new QComboBox(speech);
  voice_->setObjectName(QStringLiteral("voice"));
  voice_->setMinimumContentsLength(18);
  fillVoices();
  connect(voice_, &QComboBox::activated, this, [this](int index) {
    const std::string tag = voice_->itemData(index).toString().toStdString();
    binding_.edit([&tag](Preferences& p) {
      // The empty tag is "System default": no voice stored.
      p.voiceIdentifier = tag.empty() ? std::nullopt : std::optional<std::string>(tag);
    });
  });
  speech->addRow(QStringLiteral("Voice"), voice_);

  rate_ = new QSlider(Qt::Horizontal, speech);
  rate_->setObjectName(QStringLiteral("speechRate"));
  rate_->setRange(0, rateSteps);
  rate_->setSingleStep(10);
  rate_->setPageStep(50);
  rate_->setAccessibleName(QStringLiteral("Speaking rate"));
  connect(rate_, &QSlider::valueChanged, this, [this](int step) {
    const float rate = rateAt(step);
    binding_.edit([rate](Preferences& p) { p.speechRate = rate; });
  });
  speech->addRow(QStringLiteral("Speaking rate"), rate_);

  FormSection* announcement = addSection(QStringLiteral("Announcement"));
  template_ = new QLineEdit(announcement);
  template_->setObjectName(QStringLiteral("phraseTemplate"));
  template_->setMaxLength(longestTemplate);
  // `textEdited`: typing only; a redraw's setText writes nothing.
  connect(template_, &QLineEdit::textEdited, this, [this](const QString& text) {
    const std::string phrase = text.toStdString();
    binding_.edit([&phrase](Preferences& p) { p.phraseTemplate = phrase; });
  });
  announcement->addRow(QStringLiteral("Phrase template"), template_);
  announcement->addNote(QStringLiteral("Tokens: {time}, {hour}, {minute}, {ampm}"));
  preview_ = new QPushButton(QStringLiteral("Preview voice"), announcement);
  preview_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  connect(preview_, &QPushButton::clicked, this, &VoicePanel::preview);
  announcement->addRow(preview_);
  bundledNote_ = announcement->addNote(
      QStringLiteral("Bundled clips cover hourly announcements. Reminders and session "
                     "announcements use the system voice."));
  finishColumn();
  follow();
}

void VoicePanel::fillVoices() {
  if (services_.voices && services_.voices->hasRecordedClips()) {
    voice_->addItem(QStringLiteral("Vorlane (bundled)"),
                    QString::fromLatin1(BundledSpeech::voiceIdentifier));
  }
  voice_->addItem(QStringLiteral("System default"), QString());
  if (!services_.voices) return;
  for (const SpeechVoice& voice : services_.voices->availableVoices()) {
    voice_->addItem(voiceDescription(voice), QString::fromStdString(voice.identifier));
  }
}

void VoicePanel::redraw(const Preferences& record) {
  const QSignalBlocker a(voice_), b(rate_), c(template_);
  // An identifier no entry has (a voice since removed) shows an empty picker, and stays.
  voice_->setCurrentIndex(
      voice_->findData(QString::fromStdString(record.voiceIdentifier.value_or(std::string()))));
  voice_->setEnabled(record.speechEnabled);
  // The thumb the user holds is not moved under the pointer.
  if (!rate_->isSliderDown()) rate_->setValue(stepOf(record.speechRate));
  rate_->setEnabled(record.speechEnabled);
  const QString phrase = QString::fromStdString(record.phraseTemplate).left(longestTemplate);
  if (template_->text() != phrase) template_->setText(phrase);
  bundledNote_->setVisible(record.voiceIdentifier == BundledSpeech::voiceIdentifier);
}

void VoicePanel::preview() {
  if (!services_.onPreview) return;
  const Calendar calendar = services_.calendar ? services_.calendar() : Calendar::current();
  const Date now = services_.now ? services_.now() : SystemClock().now();
  const PhraseFormatter formatter(binding_.record().phraseTemplate, calendar);
  services_.onPreview(formatter.phrase(now));
}

}  // namespace vorlane
