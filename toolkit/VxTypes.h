#pragma once
// The toolkit's exception root and its user-visible texts.
#include <QString>
#include <stdexcept>

class EVxException : public std::runtime_error
{
public:
    explicit EVxException(const QString &message) : std::runtime_error(message.toStdString()), FMessage(message) {}
    const QString &Message() const { return FMessage; }

private:
    QString FMessage;
};

// A file the class library could not create ("Cannot create file ...").
class EFCreateError : public EVxException
{
public:
    using EVxException::EVxException;
};

// The class library's picture and stream errors, raised by the picture classes with their own texts.
class EInvalidGraphic : public EVxException
{
public:
    using EVxException::EVxException;
};

class EInvalidGraphicOperation : public EVxException
{
public:
    using EVxException::EVxException;
};

class EReadError : public EVxException
{
public:
    using EVxException::EVxException;
};

class EOutOfResources : public EVxException
{
public:
    using EVxException::EVxException;
};

namespace VxConsts {
inline const QString SUnnamed = QStringLiteral("(unnamed)");
inline const QString SNoItemFound = QStringLiteral("No item found with name \"%1\"");
inline const QString SDuplicateString = QStringLiteral("String list does not allow duplicates");
inline const QString SPutYourTextHere = QStringLiteral("Put your text here ...");
inline const QString SFCreateError = QStringLiteral("Cannot create file \"%1\". %2");
// Pictures.
inline const QString SReadError = QStringLiteral("Stream read error");
inline const QString SInvalidImage = QStringLiteral("Invalid image");
inline const QString SInvalidBitmap = QStringLiteral("Bitmap image is not valid");
inline const QString SOutOfResources = QStringLiteral("Out of system resources");
inline const QString SGIFImageSize = QStringLiteral("Cannot change the Size of a GIF image");
inline const QString SNoGIFData = QStringLiteral("No GIF Data to write");
inline const QString SUnrecognizedGIFExt = QStringLiteral("Unrecognized extension block: %1");
inline const QString SWrongGIFColors = QStringLiteral("Wrong number of colors; must be a power of 2");
inline const QString SBadGIFCodeSize = QStringLiteral("GIF code size not in range 2 to 9");
inline const QString SGIFDecodeError = QStringLiteral("GIF encoded data is corrupt");
inline const QString SGIFEncodeError = QStringLiteral("GIF image encoding error");
inline const QString SGIFVersion = QStringLiteral("Unknown GIF version");
inline const QString SPixelFormatNotImplemented = QStringLiteral("BitmapToMemoryStream: pixel format not implemented");
inline const QString SBitsPerPixelNotImplemented = QStringLiteral("BitmapToMemoryStream: bit count not implemented");
inline const QString SAniExtension = QStringLiteral("ani");
inline const QString SAniFilterName = QStringLiteral("ANI Image");
inline const QString SChangeIconSize = QStringLiteral("Cannot change the size of an icon");
inline const QString SIconToClipboard = QStringLiteral("Clipboard does not support Icons");
inline const QString SInvalidType = QStringLiteral("Invalid type");
inline const QString SUnknownBaseType = QStringLiteral("Unknown base type for given set");
inline const QString SInvalidPath = QStringLiteral("Invalid path");
inline const QString SNotAUniqueRootPath = QStringLiteral("'%1' is not a unique root path");
inline const QString SCircularReferenceOfStorages = QStringLiteral("Circular reference of storages");
} // namespace VxConsts
