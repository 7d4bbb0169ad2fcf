#include "app/core/Messages.h"

#include <QHash>

namespace Messages {

namespace {

struct TMessage
{
    const char16_t *russian;
    const char16_t *english;
};

const QHash<int, TMessage> &Table()
{
    static const QHash<int, TMessage> table = {
        {0, {u"Файл veltrasomin_chords.ini с описаниями аккордов не найден!",
             u"veltrasomin_chords.ini file with chord base not found!"}},
        {1, {u"Ошибка", u"Error"}},
        {49, {u"Строка ", u"Line "}},
        {50, {u" в файле veltrasomin_chords.ini", u"in veltrasomin_chords.ini"}},
        {51, {u"либо слишком длинная, либо слишком короткая!", u"either too long or too short"}},
        {52, {u"Построение аккорда невозможно", u"Chord scheme cannot be parsed"}},
        {54, {u"Неверный формат аккорда в файле veltrasomin_chords.ini",
              u"Invalid chord format in veltrasomin_chords.ini file"}},
        {55, {u"Строка: ", u"Line:"}},
        {56, {u" не может быть преобразована в аккорд", u" cannot be converted to chord diagram"}},
        {59, {u"В строке: ", u"Line:"}},
        {60, {u" неверно обозначены лады аккорда", u" has wrong fret numbers"}},
        {65, {u" указан лад больше 19", u" has fret number over 19"}},
        {188, {u"Внимание", u"Warning"}},
        {259, {u"Файл veltrasomin_chords.ini не соответствует формату файла аккордов!",
               u"File veltrasomin_chords.ini does not comply with chordbase formating rules!"}},
    };
    return table;
}

} // namespace

QString MessageText(int id, int language)
{
    const auto it = Table().constFind(id);
    if (it == Table().cend())
        return {};
    const char16_t *text = language == 2 && it->english ? it->english : it->russian;
    return QString::fromUtf16(text);
}

} // namespace Messages
