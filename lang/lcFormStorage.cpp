#include "lang/lcFormStorage.h"

#include "platform/ini/IniFile.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>
#include <algorithm>

TlcFormStorage::TlcFormStorage(QWidget *form) : QObject(form), FForm(form)
{
    setObjectName(QStringLiteral("lcFormStorage"));
}

TlcFormStorage::~TlcFormStorage()
{
    SavePlacement();
}

QString TlcFormStorage::StorageFile() const
{
    // Only the user's own settings have a home on this desktop; the machine-wide roots do not.
    if (FRoot != lcHKEY_CURRENT_USER)
        return {};
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/FormPlacement.ini");
}

namespace {

// Only a plain file of a sane size is read or written: a pipe there would block the form for
// good, and a device might never end.
bool Usable(const QString &file)
{
    const QFileInfo info(file);
    return !info.exists() || (info.isFile() && info.size() <= IniText::MaxFileBytes);
}

QString Group(const QString &subKey)
{
    QString group = subKey;
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return group;
}

} // namespace

bool TlcFormStorage::SavePlacement()
{
    if (!Active || Designing || !FForm)
        return false;
    const QString file = StorageFile();
    if (file.isEmpty() || !Usable(file))
        return false;
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(Group(FSubKey));
    const Qt::WindowStates state = FForm->windowState();
    const bool normal = !(state & (Qt::WindowMinimized | Qt::WindowMaximized));
    settings.setValue(QStringLiteral("State"), (state & Qt::WindowMinimized)   ? QStringLiteral("Minimized")
                                               : (state & Qt::WindowMaximized) ? QStringLiteral("Maximized")
                                                                               : QStringLiteral("Normal"));
    if (normal) {
        settings.setValue(QStringLiteral("Top"), FForm->y());
        settings.setValue(QStringLiteral("Left"), FForm->x());
        settings.setValue(QStringLiteral("Height"), FForm->height());
        settings.setValue(QStringLiteral("Width"), FForm->width());
    }
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QRect TlcFormStorage::ClampToArea(const QRect &rect, const QRect &area)
{
    if (area.isEmpty())
        return rect;
    QRect result(rect.topLeft(), rect.size().boundedTo(area.size()).expandedTo(QSize(1, 1)));
    result.moveLeft(std::clamp(result.left(), area.left(), area.right() - result.width() + 1));
    result.moveTop(std::clamp(result.top(), area.top(), area.bottom() - result.height() + 1));
    return result;
}

void TlcFormStorage::RestorePlacement()
{
    if (!Active || Designing || !FForm)
        return;
    const QString file = StorageFile();
    if (file.isEmpty() || !Usable(file))
        return;
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(Group(FSubKey));
    const QString state = settings.value(QStringLiteral("State")).toString();
    if (state.isEmpty())
        return;
    int values[4] = {};
    const char *const keys[4] = {"Top", "Left", "Height", "Width"};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = settings.value(QLatin1String(keys[i])).toInt(&ok);
        // A form last closed minimized or maximized into a new key has no bounds: it keeps its own.
        if (!ok)
            return;
    }
    // Bounds beyond any desktop, hand-edited near the ends of int, would overflow every sum below.
    constexpr int Far = 1 << 24;
    QRect rect(std::clamp(values[1], -Far, Far), std::clamp(values[0], -Far, Far), std::clamp(values[3], 1, Far),
               std::clamp(values[2], 1, Far));
    QRect area;
    for (QScreen *screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(rect)) {
            area = screen->availableGeometry();
            break;
        }
    if (area.isEmpty() && QGuiApplication::primaryScreen())
        area = QGuiApplication::primaryScreen()->availableGeometry();
    rect = ClampToArea(rect, area);
    FForm->move(rect.topLeft());
    FForm->resize(rect.size());
    if (state.size() >= 3) {
        switch (state[2].toLower().unicode()) {
        case 'n': FForm->setWindowState(Qt::WindowMinimized); break;
        case 'r': FForm->setWindowState(Qt::WindowNoState); break;
        case 'x': FForm->setWindowState(Qt::WindowMaximized); break;
        default: break;
        }
    }
}
