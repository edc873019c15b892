#pragma once

#include "platform/settings_store.h"

namespace quillon::platform {

// Keeps the values in the user's native settings (on Linux ~/.config/<application>/...).
class QtSettingsStore : public SettingsStore {
  public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue) const override;
    void write(const QString& application, const QString& section, const QString& key,
               const QString& value) override;
};

}  // namespace quillon::platform
