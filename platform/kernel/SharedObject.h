#pragma once
// A named block of shared memory that lives exactly as long as some process holds it open, the
// way the desktop system's named kernel objects do. Every holder keeps a shared lock on the
// object; the last one to close removes the name, and an opener that finds no live holder (all
// of them crashed) starts again from zeros. So a killed process never leaves state behind that a
// later start would trust.
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class TSharedObject
{
public:
    // Runs on the fresh, zero-filled bytes before any other process can open the object.
    using TInitFresh = std::function<void(void *memory, qint64 size)>;

    // Opens the object called name, or creates it with size bytes. An empty name makes an object
    // private to this process. Returns null with error set to the errno value on failure.
    static std::unique_ptr<TSharedObject> Open(const QString &name, qint64 size, int &error,
                                               const TInitFresh &initFresh = {});
    ~TSharedObject();
    TSharedObject(const TSharedObject &) = delete;
    TSharedObject &operator=(const TSharedObject &) = delete;

    // Another holder had the object open before.
    bool Existed() const { return FExisted; }
    int Fd() const { return FFd; }
    qint64 Size() const { return FSize; }
    const QByteArray &Key() const { return FKey; }

private:
    TSharedObject() = default;

    int FFd = -1;
    bool FExisted = false;
    qint64 FSize = 0;
    QByteArray FKey; // empty for a private object
};

// The system name of a shared object: "/u", the user id, "_", the display session and "_" when
// there is one, and the name, with "\" and "/" made "_"; a name longer than the system allows
// is replaced by a hash of the session and the name.
QByteArray SharedObjectKey(const QString &name);

// A whole object mapped into this process; unmapped on destruction.
class TSharedBlock
{
public:
    // Null with error set when the object cannot be had or mapped.
    static std::unique_ptr<TSharedBlock> Open(const QString &name, qint64 size, int &error,
                                              const TSharedObject::TInitFresh &initFresh = {});
    ~TSharedBlock();
    void *Memory() const { return FMemory; }
    bool Existed() const { return FObject->Existed(); }

private:
    TSharedBlock() = default;
    std::unique_ptr<TSharedObject> FObject;
    void *FMemory = nullptr;
    qint64 FSize = 0;
};
