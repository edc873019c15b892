#include "platform/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include "platform/file_filter.h"

namespace quillon::platform {

namespace {

QWidget* active_window() {
    return QApplication::activeWindow();
}

std::optional<QString> run_file_dialog(const FileDialogRequest& request,
                                       QFileDialog::AcceptMode mode) {
    QFileDialog dialog(active_window(), request.title, request.startFolder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    const QStringList filters = qt_name_filters(request.filter);
    dialog.setNameFilters(filters);
    if (request.initialIndex >= 1 && request.initialIndex <= filters.size()) {
        dialog.selectNameFilter(filters[request.initialIndex - 1]);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

}  // namespace

MessageAnswer QtDialogs::message(const QString& text, MessageStyle style, const QString& title) {
    QMessageBox box(active_window());
    box.setWindowTitle(title);
    box.setText(text);
    switch (style) {
        case MessageStyle::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageStyle::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageStyle::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageStyle::Ok:
        case MessageStyle::YesNo:
            box.setIcon(QMessageBox::NoIcon);
            break;
    }
    if (style == MessageStyle::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

std::optional<QString> QtDialogs::input(const QString& prompt, const QString& title,
                                        const QString& defaultText,
                                        std::optional<QPoint> topLeftTwips) {
    QInputDialog dialog(active_window());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setInputMode(QInputDialog::TextInput);
    if (topLeftTwips) {
        dialog.move(topLeftTwips->x() / 15, topLeftTwips->y() / 15);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

std::optional<QString> QtDialogs::openFile(const FileDialogRequest& request) {
    return run_file_dialog(request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::saveFile(const FileDialogRequest& request) {
    return run_file_dialog(request, QFileDialog::AcceptSave);
}

bool QtDialogs::print(QPrinter& printer, const QString& title) {
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace quillon::platform
