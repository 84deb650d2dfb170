#include "ui/preferences/text/voice_description.h"

#include <QLocale>
#include <array>
#include <string_view>
#include <utility>

namespace vorlane {
namespace {

// What kind of voice each of the speech engine's voices is; the engine itself names none.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> voiceKinds{{
    {"flite:slt", "Female"},
    {"flite:rms", "Male"},
    {"flite:awb", "Male, Scottish accent"},
    {"flite:kal", "Male, telephone quality"},
    {"flite:kal16", "Male"},
}};

std::string_view voiceKind(std::string_view identifier) {
  for (const auto& [id, kind] : voiceKinds) {
    if (id == identifier) return kind;
  }
  return {};
}

// "English (United States)" for "en-US", in English whatever the user's locale, as the
// rest of the window is; empty for a tag that names no language.
QString languageName(const std::string& tag) {
  if (tag.empty()) return {};
  const QLocale locale(QString::fromStdString(tag).replace(QLatin1Char('-'), QLatin1Char('_')));
  if (locale.language() == QLocale::C) return {};
  QString name = QLocale::languageToString(locale.language());
  if (QString::fromStdString(tag).contains(QLatin1Char('-')) &&
      locale.territory() != QLocale::AnyTerritory) {
    name +=
        QStringLiteral(" (") + QLocale::territoryToString(locale.territory()) + QLatin1Char(')');
  }
  return name;
}

}  // namespace

QString voiceDescription(const SpeechVoice& voice) {
  const QString name = QString::fromStdString(voice.name);
  const QString language = languageName(voice.language);
  if (language.isEmpty()) return name;
  const std::string_view kind = voiceKind(voice.identifier);
  if (kind.empty()) return language + QStringLiteral(" \u2013 ") + name;
  return language + QStringLiteral(" \u2013 ") +
         QString::fromUtf8(kind.data(), static_cast<qsizetype>(kind.size())) +
         QStringLiteral(" (") + name + QLatin1Char(')');
}

}  // namespace vorlane
