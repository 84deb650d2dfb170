#include "app/qt_platform_plugin.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>
#include <QStringList>

namespace vorlane {
namespace {

// Where Qt looks for platform plugins: the folder the environment names first, then the
// platforms folder of every plugin folder.
QStringList platformPluginFolders() {
  QStringList folders;
  const QString named = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
  if (!named.isEmpty()) folders << named;
  for (const QString& path : QCoreApplication::libraryPaths()) {
    folders << path + QStringLiteral("/platforms");
  }
  return folders;
}

bool namesKey(QPluginLoader& plugin, const QString& key) {
  const QJsonArray keys = plugin.metaData()
                              .value(QStringLiteral("MetaData"))
                              .toObject()
                              .value(QStringLiteral("Keys"))
                              .toArray();
  for (const auto& named : keys) {
    if (named.toString().compare(key, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

}  // namespace

bool qtPlatformPluginLoads(const std::string& key) {
  const QString wanted = QString::fromStdString(key);
  for (const QString& folder : platformPluginFolders()) {
    const QDir dir(folder);
    for (const QString& file : dir.entryList(QDir::Files)) {
      QPluginLoader plugin(dir.absoluteFilePath(file));
      // Left loaded: Qt loads the same library again when it makes the platform.
      if (namesKey(plugin, wanted) && plugin.load()) return true;
    }
  }
  return false;
}

}  // namespace vorlane
