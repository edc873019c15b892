#include "platform/file_filter.h"

namespace quillon::platform {

QStringList qt_name_filters(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            if (trimmed == "*.*") {
                patterns << "*";
                continue;
            }
            patterns << trimmed;
            if (trimmed.toLower() != trimmed) {
                patterns << trimmed.toLower();
            } else if (trimmed.toUpper() != trimmed) {
                patterns << trimmed.toUpper();
            }
        }
        const auto open = description.indexOf('(');
        if (open >= 0) {
            description = description.left(open).trimmed();
        }
        result << QStringLiteral("%1 (%2)").arg(description, patterns.join(' '));
    }
    return result;
}

}  // namespace quillon::platform
