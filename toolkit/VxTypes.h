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

namespace VxConsts {
inline const QString SUnnamed = QStringLiteral("(unnamed)");
inline const QString SNoItemFound = QStringLiteral("No item found with name \"%1\"");
inline const QString SDuplicateString = QStringLiteral("String list does not allow duplicates");
inline const QString SPutYourTextHere = QStringLiteral("Put your text here ...");
inline const QString SFCreateError = QStringLiteral("Cannot create file \"%1\". %2");
} // namespace VxConsts
