#include "platform/qt_settings_store.h"

#include <QSettings>

namespace quillon::platform {

QString QtSettingsStore::read(const QString& application, const QString& section,
                              const QString& key, const QString& defaultValue) const {
    QSettings settings(application, application);
    return settings.value(section + "/" + key, defaultValue).toString();
}

void QtSettingsStore::write(const QString& application, const QString& section, const QString& key,
                            const QString& value) {
    QSettings settings(application, application);
    settings.setValue(section + "/" + key, value);
}

}  // namespace quillon::platform
