#include "screens/setup/whole_picture.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QImageReader>
#include <QMimeData>
#include <QtEndian>
#include <array>

namespace quillon::screens {

namespace {

int next_byte(QIODevice& device) {
    char c = 0;
    return device.getChar(&c) ? static_cast<unsigned char>(c) : -1;
}

bool skip_bytes(QIODevice& device, qint64 count) {
    return count == 0 || device.read(count).size() == count;
}

// A bitmap is whole when the file reaches the end of the pixel array its header declares:
// rows of whole 32-bit words, or, run-length coded, the coded size the header gives.
bool bitmap_whole(QIODevice& device, const QImage& picture) {
    const QByteArray header = device.read(54);
    if (header.size() < 26) {
        return false;
    }
    const auto at = [&header](int offset) { return header.constData() + offset; };
    const qint64 fileSize = qFromLittleEndian<quint32>(at(2));
    const qint64 pixelOffset = qFromLittleEndian<quint32>(at(10));
    const quint32 infoSize = qFromLittleEndian<quint32>(at(14));
    int bitsPerPixel = 0;
    quint32 compression = 0;
    qint64 codedSize = 0;
    if (infoSize == 12) {
        bitsPerPixel = qFromLittleEndian<quint16>(at(24));
    } else if (infoSize >= 40 && header.size() >= 38) {
        bitsPerPixel = qFromLittleEndian<quint16>(at(28));
        compression = qFromLittleEndian<quint32>(at(30));
        codedSize = qFromLittleEndian<quint32>(at(34));
    } else {
        return true;  // a header Qt knows and this check does not: Qt's word stands
    }
    constexpr quint32 plain = 0;
    constexpr quint32 bitFields = 3;
    constexpr quint32 alphaBitFields = 6;
    qint64 end = 0;
    if (compression == plain || compression == bitFields || compression == alphaBitFields) {
        // The decoded picture has the header's size, within what Qt agreed to allocate.
        const qint64 rowBytes = (qint64{picture.width()} * bitsPerPixel + 31) / 32 * 4;
        end = pixelOffset + rowBytes * picture.height();
    } else {
        end = codedSize != 0 ? pixelOffset + codedSize : fileSize;
    }
    return device.size() >= end;
}

// Data sub-blocks up to and including their empty terminator.
bool skip_sub_blocks(QIODevice& device) {
    for (;;) {
        const int size = next_byte(device);
        if (size <= 0) {
            return size == 0;
        }
        if (!skip_bytes(device, size)) {
            return false;
        }
    }
}

// A GIF is whole when its first image, the one shown, is there up to its last data block.
bool gif_whole(QIODevice& device) {
    const QByteArray screen = device.read(13);
    if (screen.size() < 13) {
        return false;
    }
    const auto colourTableBytes = [](unsigned flags) -> qint64 {
        return (flags & 0x80) != 0 ? qint64{3} << ((flags & 7) + 1) : 0;
    };
    if (!skip_bytes(device, colourTableBytes(static_cast<unsigned char>(screen[10])))) {
        return false;
    }
    for (;;) {
        switch (next_byte(device)) {
            case 0x21:  // an extension: its label, then its blocks
                if (next_byte(device) < 0 || !skip_sub_blocks(device)) {
                    return false;
                }
                break;
            case 0x2C: {  // the image: descriptor, colour table, code size, data blocks
                const QByteArray descriptor = device.read(9);
                return descriptor.size() == 9 &&
                       skip_bytes(device,
                                  colourTableBytes(static_cast<unsigned char>(descriptor[8]))) &&
                       next_byte(device) >= 0 && skip_sub_blocks(device);
            }
            default:  // the trailer, or the end of the file, before any image
                return false;
        }
    }
}

// A JPEG is whole when its end marker follows the first scan. The segments before the scan
// are skipped by their lengths (an Exif thumbnail there has end markers of its own); in the
// coded data a 0xFF byte is always escaped, so 0xFF 0xD9 there is the end.
bool jpeg_whole(QIODevice& device) {
    if (next_byte(device) != 0xFF || next_byte(device) != 0xD8) {
        return false;
    }
    for (;;) {
        if (next_byte(device) != 0xFF) {
            return false;
        }
        int marker = next_byte(device);
        while (marker == 0xFF) {
            marker = next_byte(device);
        }
        if (marker < 0 || marker == 0xD9) {
            return false;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            continue;  // markers without a segment
        }
        const int high = next_byte(device);
        const int low = next_byte(device);
        if (high < 0 || low < 0) {
            return false;
        }
        const int length = (high << 8) | low;  // the two length bytes count themselves
        if (length < 2 || !skip_bytes(device, length - 2)) {
            return false;
        }
        if (marker == 0xDA) {
            break;
        }
    }
    std::array<char, 65536> buffer{};
    bool afterFF = false;
    for (qint64 got = 0; (got = device.read(buffer.data(), buffer.size())) > 0;) {
        for (qint64 i = 0; i < got; ++i) {
            const auto c = static_cast<unsigned char>(buffer[static_cast<std::size_t>(i)]);
            if (afterFF && c == 0xD9) {
                return true;
            }
            afterFF = c == 0xFF;
        }
    }
    return false;
}

}  // namespace

QImage read_whole_picture(QIODevice& device) {
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    const QImage picture = reader.read();
    if (picture.isNull() || reader.error() != QImageReader::UnknownError || !device.seek(0)) {
        return {};
    }
    bool whole = true;
    if (format == "bmp") {
        whole = bitmap_whole(device, picture);
    } else if (format == "gif") {
        whole = gif_whole(device);
    } else if (format == "jpeg") {
        whole = jpeg_whole(device);
    }
    return whole ? picture : QImage();
}

QImage read_whole_picture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return read_whole_picture(file);
}

QImage clipboard_picture(const QClipboard& clipboard) {
    const QMimeData* data = clipboard.mimeData();
    if (data == nullptr) {
        return {};
    }
    const QList<QByteArray> readable = QImageReader::supportedMimeTypes();
    for (const QString& format : data->formats()) {
        QByteArray bytes = readable.contains(format.toLatin1()) ? data->data(format) : QByteArray();
        if (!bytes.isEmpty()) {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            return read_whole_picture(buffer);
        }
    }
    return clipboard.image();
}

}  // namespace quillon::screens
