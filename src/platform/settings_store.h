#pragma once

#include <QString>

namespace quillon::platform {

// A persistent per-user store of text values, keyed by application, section and key.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual QString read(const QString& application, const QString& section, const QString& key,
                         const QString& defaultValue) const = 0;
    virtual void write(const QString& application, const QString& section, const QString& key,
                       const QString& value) = 0;
};

}  // namespace quillon::platform
