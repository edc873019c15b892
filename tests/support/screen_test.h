#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QtTest>

// Driving the screens by the objectNames of their controls.
namespace quillon::testing {

// The named child; stops the test at once when the screen has no such control.
template <typename T = QWidget>
T* control(QObject& screen, const char* name) {
    T* found = screen.findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no control %s", name);
    }
    return found;
}

inline void click(QObject& screen, const char* button) {
    QTest::mouseClick(control<QAbstractButton>(screen, button), Qt::LeftButton);
}

// Clicks an option or a check box on its indicator, which is always inside its click area.
inline void click_option(QAbstractButton* option) {
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
}

inline void click_option(QObject& screen, const char* name) {
    click_option(control<QAbstractButton>(screen, name));
}

inline void trigger(QObject& screen, const char* menuEntry) {
    control<QAction>(screen, menuEntry)->trigger();
}

// How many pixels of the image pick(x, y, colour) accepts.
template <typename Pick>
int count_pixels(const QImage& image, Pick pick) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += pick(x, y, image.pixelColor(x, y)) ? 1 : 0;
        }
    }
    return count;
}

inline QByteArray read_bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void write_bytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

}  // namespace quillon::testing
