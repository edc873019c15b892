#pragma once

#include <QPoint>
#include <QString>
#include <optional>

#include "text/message_style.h"

class QPrinter;

namespace quillon::platform {

using text::MessageStyle;

enum class MessageAnswer { Ok, Yes, No };

// The title every message box has unless a caller names another.
inline const QString applicationTitle = QString::fromLatin1(text::applicationTitle);

// A file dialog request. `filter` pairs descriptions and patterns separated by "|", as in
// "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|"; `initialIndex` counts the pairs from 1.
struct FileDialogRequest {
    QString title;
    QString filter;
    int initialIndex = 1;
    QString startFolder;
};

// Modal dialogs. Nothing else in the program shows a message, input or file dialog.
class Dialogs {
  public:
    virtual ~Dialogs() = default;

    virtual MessageAnswer message(const QString& text, MessageStyle style = MessageStyle::Ok,
                                  const QString& title = applicationTitle) = 0;

    // One line of text; nothing when the operator cancels.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultText = {},
                                         std::optional<QPoint> topLeftTwips = {}) = 0;

    // The chosen path; nothing when the operator cancels.
    virtual std::optional<QString> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest& request) = 0;

    // The system's print dialog on `printer`: true when the operator chose to print, with the
    // printer then set up as chosen.
    virtual bool print(QPrinter& printer, const QString& title) = 0;
};

}  // namespace quillon::platform
