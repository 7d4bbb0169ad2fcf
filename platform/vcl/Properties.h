#pragma once
// Published properties by name, the way the localization engine and the settings reach a
// component: only the Q_PROPERTYs our own classes declare are visible (Caption, Hint, Items,
// Font, ...); Qt's own lower-case properties (text, font, enabled, objectName) never are, so a
// key such as "font" cannot reach around the published set.
#include <QList>
#include <QMetaProperty>
#include <QObject>
#include <QString>

namespace VclProperties {

// The published properties of the object's class, most derived class first; empty for nil.
QList<QMetaProperty> Published(const QObject *object);

// The published property whose name equals name ignoring case; invalid when there is none.
QMetaProperty Find(const QObject *object, const QString &name);

// A published property that can be both read and written.
bool IsReadWrite(const QMetaProperty &property);

// The property's value as an object (a collection, a sub-object); nil for any other value.
QObject *ObjectValue(const QObject *object, const QMetaProperty &property);

} // namespace VclProperties

// A published list of sub-objects (the class library's collections): items are found by index.
class TCollection : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual int Count() const = 0;
    // Nil for an index outside 0 .. Count() - 1.
    virtual QObject *Item(int index) const = 0;
};

// Fonts as the Windows class library keeps them carry a character-set number besides the face;
// Qt fonts do not, so the number travels beside the widget. A widget whose font was never set
// follows its parent's font (the class library's ParentFont).
namespace VclFont {

constexpr int DEFAULT_CHARSET = 1;

int Charset(const QObject *object);
void SetCharset(QObject *object, int charset);
bool ParentFont(const QObject *object);

} // namespace VclFont
