// Renders the program's scalable icon into the PNG sizes the icon theme expects.
// Usage: axolite_icons ICON.svg OUTPUT_FOLDER SIZE... (writes OUTPUT_FOLDER/axolite-SIZE.png)
#include "render/picture_files.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: axolite_icons ICON.svg OUTPUT_FOLDER SIZE...\n");
        return 2;
    }
    QSvgRenderer icon(QString::fromLocal8Bit(argv[1]));
    if (!icon.isValid()) {
        std::fprintf(stderr, "axolite_icons: %s is no SVG picture\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        icon.render(&painter);
        painter.end();
        const QString path =
            QString::fromLocal8Bit(argv[2]) + QStringLiteral("/axolite-%1.png").arg(size);
        if (const auto failure = axolite::render::savePng(image, path)) {
            std::fprintf(stderr, "%s\n", qPrintable(axolite::render::failureText(*failure)));
            return 1;
        }
    }
    return 0;
}
