#pragma once
// The program's own pictures are PNG files, decoded by the PNG library itself: Qt's image reader
// first reads the description of every image plugin it has, which cost the window's first
// appearance more than the decoding.
#include <QImage>
#include <QString>
#include <QStringList>

namespace PngPicture {

// The picture in the PNG file or resource path as ARGB32; a null image when it is missing or damaged.
QImage Read(const QString &path);

// The same from bytes in memory.
QImage Decode(const QByteArray &bytes);

// Starts decoding these files on a thread of their own, for the pictures the window's first paint
// needs: the window is built meanwhile. Read of one of them then takes the picture, waiting for it
// if need be. Only the first call starts anything.
void Prefetch(const QStringList &paths);

// Drops the prefetched pictures nobody took, once the window stands.
void ForgetPrefetched();

} // namespace PngPicture
