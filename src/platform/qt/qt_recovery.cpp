#include "platform/qt/qt_recovery.h"

#include <QStandardPaths>

namespace qshe::platform {

std::string RecoveryFolder() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (base.isEmpty()) return {};
  return (base + "/recovery").toStdString();
}

}  // namespace qshe::platform
