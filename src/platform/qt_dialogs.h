#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/dialogs.h"

namespace quillon::platform {

// The platform's own message boxes, input boxes and file dialogs.
class QtDialogs : public Dialogs {
  public:
    MessageAnswer message(const QString& text, MessageStyle style, const QString& title) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText,
                                 std::optional<QPoint> topLeftTwips) override;
    std::optional<QString> openFile(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;
    bool print(QPrinter& printer, const QString& title) override;
};

}  // namespace quillon::platform
