#pragma once
// A GUI application object for GoogleTest programs that draw or decode pictures; made once.
#include <QGuiApplication>
#include <QImage>
#include <QList>

inline void EnsureApp()
{
    static int argc = 1;
    static char name[] = "test";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *app = QCoreApplication::instance() ? nullptr : new QGuiApplication(argc, argv);
    (void)app;
}

// A picture's pixels row by row, opaque, to compare pictures of any format.
inline QList<QRgb> Colours(const QImage &image)
{
    QList<QRgb> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            out.append(image.pixel(x, y) | 0xFF000000);
    return out;
}
