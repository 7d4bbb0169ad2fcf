#pragma once
// The program's own pictures are PNG files, decoded by the PNG library itself: Qt's image reader
// first reads the description of every image plugin it has, which cost the window's first
// appearance more than the decoding.
#include <QImage>
#include <QString>

namespace PngPicture {

// The picture in the PNG file or resource path as ARGB32; a null image when it is missing or damaged.
QImage Read(const QString &path);

// The same from bytes in memory.
QImage Decode(const QByteArray &bytes);

} // namespace PngPicture
