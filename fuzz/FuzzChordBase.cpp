// The chord base and the user file over any bytes: a lookup always gives schemes, a scheme that
// passes the check draws and plays, one that does not gets the error text, and the user file
// lends its chord types.
#include "FuzzSupport.h"

#include "app/core/ChordBase.h"
#include "app/core/ChordLists.h"
#include "app/core/ChordTypes.h"
#include "app/core/Diagram.h"
#include "app/core/PlayNotes.h"
#include "app/core/SchemeCheck.h"
#include "midi/NoteString.h"
#include "platform/ini/IniFile.h"
#include "platform/text/AnsiText.h"

namespace {

void CheckScheme(const QString &scheme)
{
    const QString error = SchemeCheck::ValidateScheme(scheme, [](int id) { return QStringLiteral("<%1>").arg(id); });
    const Diagram::TMinMax measure = Diagram::GetMinMax(scheme);
    Diagram::ArabicToRoman(measure.lowest, measure.highest);
    if (!error.isEmpty())
        return;

    VX_CHECK(measure.lowest >= 0 && measure.lowest <= measure.highest && measure.highest <= 19);
    const QString shown = Diagram::ShownScheme(scheme, measure);
    VX_CHECK(shown.size() == 12);
    const Diagram::TPositions positions = Diagram::DotPositions(shown);
    int sounding = 0;
    for (int string = 1; string <= 6; ++string) {
        const bool muted = scheme.mid((string - 1) * 2, 2) == QLatin1String("xx");
        VX_CHECK(muted == (positions[string - 1] == Diagram::MutedPosition));
        VX_CHECK(muted || (positions[string - 1] >= 0 && positions[string - 1] <= 19));
        sounding += !muted;
    }
    const Diagram::TBarre barre = Diagram::BarreOf(positions);
    VX_CHECK(barre.last >= 1 && barre.last <= 6);
    const int roman = Diagram::RomanToArabic(Diagram::ArabicToRoman(measure.lowest, measure.highest).trimmed());
    VX_CHECK(roman >= 1 && roman <= 19);

    const ChordTypes::TChordNotes notes = ChordTypes::ComputeChordNotes(scheme);
    VX_CHECK(Diagram::SplitNoteNames(notes.names).size() == 6);
    std::vector<TMGRecord> records;
    ParseNoteString(TNoteStringContext(), PlayNotes::ChordNoteString(notes.playList, 0, 5), records);
    int ons = 0;
    for (const TMGRecord &record : records)
        ons += record.kind == MGNoteOn;
    VX_CHECK(ons == sounding);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzInput input(data, size);
    const int notation = input.Byte() & 1;
    const bool flats = input.Byte() & 1;
    const QString chordType = input.TextField();
    const QByteArray userBytes = input.Field();
    const QString baseName = FuzzFile(QStringLiteral("veltrasomin_chords.ini"), input.Rest());
    const QString userName = FuzzFile(QStringLiteral("user_chords.ini"), userBytes);
    const TIniFile base(baseName);
    const TIniFile user(userName);

    const SchemeCheck::TUserChordTypes types =
        SchemeCheck::UserChordTypes(IniText::SplitLines(AnsiText::DecodeText(userBytes)));
    VX_CHECK(types.hasHeader || types.names.isEmpty());

    ChordBase::TChordQuery query;
    query.notation = notation;
    query.rootItems = ChordLists::RootItems({"C (до)", "C#", "D (ре)", "D#", "E (ми)", "F (фа)", "F#", "G (соль)", "G#", "A (ля)"},
                                            true, notation, flats);
    query.bassItems = ChordLists::BassItems(notation, flats);
    QStringList typeNames = types.names.mid(0, 4);
    typeNames.append(chordType);
    for (const QString &type : typeNames) {
        query.chordType = type;
        for (int root = 0; root < query.rootItems.size(); root += 5) {
            query.rootIndex = root;
            query.rootText = query.rootItems[root];
            query.bassIndex = (root + int(type.size())) % query.bassItems.size();
            const ChordBase::TChordSchemes found = ChordBase::FindChordSchemes(query, base, &user, true);
            VX_CHECK(!found.schemes.isEmpty());
            for (const QString &scheme : found.schemes.mid(0, 64))
                CheckScheme(scheme);
        }
    }
    return 0;
}
