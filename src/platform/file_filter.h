#pragma once

#include <QString>
#include <QStringList>

namespace quillon::platform {

// "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|" as the name filters of a Qt file dialog:
// "All Files (*)", "Text Files (*.TXT *.txt)". Patterns match either case, since the files
// these filters are meant for come from systems that ignore case.
QStringList qt_name_filters(const QString& filter);

}  // namespace quillon::platform
