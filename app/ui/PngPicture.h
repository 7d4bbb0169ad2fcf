#pragma once
// The program's own pictures are PNG files: read as such, no image plugin is opened for them
// (Qt otherwise loads every plugin it has, the JPEG library among them, to guess the format).
#include <QImage>
#include <QString>

namespace PngPicture {

// The picture in the PNG file or resource path; a null image when it is missing or damaged.
QImage Read(const QString &path);

} // namespace PngPicture
