#pragma once
// The settings of the placeholder-expansion engine: its delimiters, its date and time formats
// (the application storage takes its date and time conversions from them), and replacement
// values for the application's name, company and versions.
#include <QObject>
#include <QString>

class TVxTranslateString : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString DateFormat READ DateFormat WRITE SetDateFormat)
    Q_PROPERTY(QString DateTimeFormat READ DateTimeFormat WRITE SetDateTimeFormat)
    Q_PROPERTY(QString LeftDelimiter READ LeftDelimiter WRITE SetLeftDelimiter)
    Q_PROPERTY(QString RightDelimiter READ RightDelimiter WRITE SetRightDelimiter)
    Q_PROPERTY(QString TimeFormat READ TimeFormat WRITE SetTimeFormat)
public:
    explicit TVxTranslateString(QObject *owner = nullptr) : QObject(owner) {}

    QString DateFormat() const { return FDateFormat; }
    void SetDateFormat(const QString &value) { FDateFormat = value; }
    QString DateTimeFormat() const { return FDateTimeFormat; }
    void SetDateTimeFormat(const QString &value) { FDateTimeFormat = value; }
    QString LeftDelimiter() const { return FLeftDelimiter; }
    void SetLeftDelimiter(const QString &value) { FLeftDelimiter = value; }
    QString RightDelimiter() const { return FRightDelimiter; }
    void SetRightDelimiter(const QString &value) { FRightDelimiter = value; }
    QString TimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(const QString &value) { FTimeFormat = value; }

    // A replacement value is used only while its flag is set.
    bool FAppNameHandled = false;
    QString FAppName;
    bool FCompanyNameHandled = false;
    QString FCompanyName;
    bool FFileVersionHandled = false;
    QString FFileVersion;
    bool FProductVersionHandled = false;
    QString FProductVersion;

signals:
    // A handler connected directly answers a command it knows and sets Changed.
    void OnProcessCommand(QObject *Sender, const QString &Command, QString &CommandResult, bool &Changed);

private:
    QString FDateFormat = QStringLiteral("dd_mm_yyyy");
    QString FDateTimeFormat = QStringLiteral("dd_mm_yyyy hh_nn_ss");
    QString FLeftDelimiter = QStringLiteral("%");
    QString FRightDelimiter = QStringLiteral("%");
    QString FTimeFormat = QStringLiteral("hh_nn_ss");
};
