// quillon-app-icon ICO OUT.png SIZE: the program's icon for the desktop, from the setup-complete
// icon that ships with it, scaled to SIZE x SIZE pixels with its pixels kept sharp.
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc != 4) {
        std::fputs("usage: quillon-app-icon ICO OUT.png SIZE\n", stderr);
        return 2;
    }
    const int size = std::atoi(argv[3]);
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    reader.setDecideFormatFromContent(true);
    const QImage icon = reader.read();
    if (icon.isNull() || size < 16 || size > 512) {
        std::fprintf(stderr, "quillon-app-icon: cannot make a %s pixel icon from %s: %s\n", argv[3],
                     argv[1], qPrintable(reader.errorString()));
        return 1;
    }
    const QImage scaled = icon.convertToFormat(QImage::Format_ARGB32)
                              .scaled(size, size, Qt::KeepAspectRatio, Qt::FastTransformation);
    if (!scaled.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "quillon-app-icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
