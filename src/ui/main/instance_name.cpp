#include "ui/main/instance_name.h"

#include <QCryptographicHash>
#include <QDir>

namespace trawler::ui {

QString InstanceName(const QString &profileDir) {
  if (profileDir.isEmpty()) return QStringLiteral("trawlr");
  const QByteArray digest = QCryptographicHash::hash(
      QDir(profileDir).absolutePath().toUtf8(), QCryptographicHash::Sha256);
  return QStringLiteral("trawlr-") + QString::fromLatin1(digest.toHex().left(16));
}

}  // namespace trawler::ui
