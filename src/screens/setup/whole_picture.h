#pragma once

#include <QImage>
#include <QString>

class QClipboard;
class QIODevice;

namespace quillon::screens {

// A still picture of the course, read whole or not at all. Qt's readers give an image with no
// error for a bitmap, a GIF or a JPEG that was cut off part way, the missing part filled with
// black or grey; buoys marked on such a picture would be marked on what is not there. These
// give a null image for anything that is not a whole picture.

// From a device that can seek (a file, a buffer).
QImage read_whole_picture(QIODevice& device);
QImage read_whole_picture(const QString& path);

// The picture on the clipboard: an encoded one (image/png, image/bmp, ...) is decoded as a file
// would be; otherwise the clipboard's own image.
QImage clipboard_picture(const QClipboard& clipboard);

}  // namespace quillon::screens
