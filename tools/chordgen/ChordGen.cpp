// Works out the default chord base: for every root, chord type and slash bass it enumerates the
// fingerings a hand can hold on a six-string guitar in standard tuning (E A D G H E), keeps those
// that sound the right notes over the right bass (the lowest pitch, not the thickest string),
// scores them, and writes the best few of each chord in the chord base's INI layout: first the
// shape a teacher shows for the chord, then the others up the neck.
//
//   chordgen <output file>
//
// The output is deterministic: the same program always writes the same bytes.
#include "app/core/ChordBase.h"
#include "app/core/ChordTypes.h"
#include "platform/ini/IniFile.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr int Strings = 6;
constexpr int MaxFret = 19;
constexpr int MaxSpan = 4;       // highest fretted minus lowest fretted, from fret 5 up
constexpr int LowSpan = 3;       // below fret 5 the frets are too wide for a four-fret stretch
constexpr int WideFrom = 5;
constexpr int HighestWindow = 15; // lowest fretted fret of the highest shapes we look at
constexpr int Muted = -1;
// Open strings 1..6 (index 0 = string 1) as note numbers.
constexpr int OpenPitch[Strings] = {64, 59, 55, 50, 45, 40};

const char *const NoteNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "H"};
const char *const SectionHeaders[12] = {
    "[C]",      "[C#] // = Db", "[D]", "[D#] // = Eb", "[E]", "[F]", "[F#] // = Gb", "[G]", "[G#] // = Ab",
    "[A]",      "[A#] // = Bb (or B for ex-USSR)",
    "[H] // = B (si) for the USA and some European countries"};
const char *const SlashTypes[5] = {"maj", "m", "7", "m6", "m7"};
// Types a guitarist reaches for most; they get more fingerings.
const char *const CommonTypes[] = {"maj", "m",    "7",    "m7",    "maj7", "m6", "6",
                                   "sus2", "sus4", "7sus4", "dim7", "+5",  "9",  "add9"};

constexpr int CommonTarget = 10, CommonMinimum = 5;
constexpr int OtherTarget = 8, OtherMinimum = 3;
constexpr int SlashTarget = 5, SlashMinimum = 1;
constexpr int MostSchemes = 11;

// One line of the base that is fixed by hand rather than chosen by the score.
struct TPinned
{
    int root;
    const char *key;
    const char *value;
};
const TPinned Pinned[] = {{0, "maj", "0001000203xx 0305050503xx 080809101008 12131210xxxx"}};

using TFrets = std::array<int, Strings>; // index 0 = string 1; Muted or 0..19

unsigned Bit(int pitchClass)
{
    return 1u << (((pitchClass % 12) + 12) % 12);
}

int PitchClass(int stringIndex, int fret)
{
    return (OpenPitch[stringIndex] + fret) % 12;
}

// What a chord asks of a fingering.
struct TChordNeeds
{
    int root = 0;
    unsigned allowed = 0;    // every pitch class that may sound
    unsigned required = 0;   // pitch classes that must sound
    unsigned bassMask = 0;   // pitch classes the lowest sounding string may play
    unsigned fifth = 0;      // a perfect fifth, which may be left out
    unsigned optional = 0;   // ninth or eleventh of 11 and 13 chords, third of 11
    unsigned clash = 0;      // tones that rub against the third (the eleventh of a 13 chord)
    unsigned foreignBass = 0; // a slash bass that is not a chord tone
    bool symmetric = false;  // dim7 and +5: any chord tone may be the bass
};

// Chords of three tones sound thin and vague without their fifth.
bool IsTriad(const QString &type)
{
    return type == QLatin1String("maj") || type == QLatin1String("m") || type == QLatin1String("sus2") ||
           type == QLatin1String("sus4");
}

TChordNeeds NeedsOf(int root, const QString &type, int bass)
{
    TChordNeeds needs;
    needs.root = root;
    const QList<int> steps = ChordTypes::FormulaSteps(ChordTypes::ChordTypeFormula(type));
    const int highest = steps.isEmpty() ? 0 : steps.last();
    unsigned loose = 0;
    for (int step : steps) {
        const unsigned bit = Bit(root + step - 1);
        needs.allowed |= bit;
        const bool perfectFifth = step == 8;
        const bool ninth = (step == 14 || step == 15 || step == 16) && highest >= 18;
        const bool eleventh = step == 18 && highest == 22;
        const bool thirdOf11 = step == 5 && highest == 18;
        if (perfectFifth)
            needs.fifth |= bit;
        if (ninth || eleventh || thirdOf11)
            needs.optional |= bit;
        if (eleventh)
            needs.clash |= bit;
        if ((perfectFifth && !IsTriad(type)) || ninth || eleventh || thirdOf11)
            loose |= bit;
    }
    needs.required = needs.allowed & ~loose;
    needs.symmetric = bass < 0 && (type == QLatin1String("dim7") || type == QLatin1String("+5"));
    if (bass >= 0) {
        needs.bassMask = Bit(bass);
        if (!(needs.allowed & Bit(bass)))
            needs.foreignBass = Bit(bass);
        needs.allowed |= Bit(bass);
    } else {
        needs.bassMask = needs.symmetric ? needs.allowed : Bit(root);
    }
    return needs;
}

struct TBarre
{
    int fret = 0;
    unsigned strings = 0; // strings held by the barre at its fret (bit = string index)
    unsigned span = 0;    // every string the finger lies across
};

struct THand
{
    int fingers = 0;
    int barres = 0;
    bool fullBarre = false; // one barre at the lowest fret across every sounding string
    bool lowBarre = false;  // a barre lies at the lowest fretted fret
};

// How the hand holds the fretted notes: with as few barres as four fingers allow, then with as
// few fingers as possible, since guitarists fret single notes where they can. A barre (one
// finger laid across neighbouring strings at one fret) counts once; it may only lie over strings
// fretted at its fret or higher, never over an open or a muted string (a barre would sound a
// muted string), and a shape uses at most two. Returns fingers > 4 when the hand cannot hold
// the shape.
THand HandFor(const TFrets &frets)
{
    unsigned fretted = 0;
    int lowest = 99;
    unsigned sounding = 0;
    for (int s = 0; s < Strings; ++s) {
        if (frets[s] != Muted)
            sounding |= 1u << s;
        if (frets[s] > 0) {
            fretted |= 1u << s;
            lowest = std::min(lowest, frets[s]);
        }
    }
    std::vector<TBarre> options;
    for (int s = 0; s < Strings; ++s) {
        if (frets[s] <= 0)
            continue;
        const int fret = frets[s];
        bool seen = false;
        for (const TBarre &b : options)
            seen = seen || (b.fret == fret && (b.span >> s & 1u));
        if (seen)
            continue;
        TBarre barre;
        barre.fret = fret;
        int a = s, b = s;
        while (a > 0 && frets[a - 1] >= fret)
            --a;
        while (b < Strings - 1 && frets[b + 1] >= fret)
            ++b;
        for (int t = a; t <= b; ++t) {
            barre.span |= 1u << t;
            if (frets[t] == fret)
                barre.strings |= 1u << t;
        }
        if (std::popcount(barre.strings) >= 2)
            options.push_back(barre);
    }

    const int notes = std::popcount(fretted);
    THand best{notes, 0, false, false};
    auto consider = [&](int fingers, int barres, bool full, bool low) {
        const auto key = [](int f, int b) { return std::tuple(f > 4, b, f); };
        if (key(fingers, barres) < key(best.fingers, best.barres))
            best = {fingers, barres, full, low};
    };
    for (size_t i = 0; i < options.size(); ++i) {
        const TBarre &one = options[i];
        const bool full = one.fret == lowest && (one.span & sounding) == sounding;
        consider(notes - std::popcount(one.strings) + 1, 1, full, one.fret == lowest);
        for (size_t j = i + 1; j < options.size(); ++j) {
            const TBarre &two = options[j];
            const unsigned held = one.strings | two.strings;
            const bool eitherFull = full || (two.fret == lowest && (two.span & sounding) == sounding);
            consider(notes - std::popcount(held) + 2, 2, eitherFull, one.fret == lowest || two.fret == lowest);
        }
    }
    return best;
}

struct TCandidate
{
    TFrets frets{};
    int score = 0;
    int lowest = 0;      // lowest fretted fret, 0 when nothing is fretted
    int bassString = 0;  // index of the thickest sounding string
    std::string text;    // the 12-character scheme
    std::string shape;   // the shape with frets relative to the lowest fretted one
};

std::string SchemeText(const TFrets &frets)
{
    std::string text;
    for (int f : frets) {
        if (f == Muted) {
            text += "xx";
        } else {
            text += char('0' + f / 10);
            text += char('0' + f % 10);
        }
    }
    return text;
}

std::string ShapeKey(const TFrets &frets, int lowest)
{
    std::string key;
    for (int f : frets)
        key += f == Muted ? 'x' : f == 0 ? 'o' : char('a' + f - lowest);
    return key;
}

// What a fingering sounds and how it lies under the hand.
struct TLayout
{
    int sounding = 0;
    int open = 0;
    int innerMutes = 0;   // muted strings with sounding strings on both sides
    int lowest = 99;      // lowest fretted fret, 99 when nothing is fretted
    int highest = 0;
    int thickest = -1;    // index of the thickest sounding string
    int bassString = -1;  // index of the string that sounds the lowest pitch
    unsigned heard = 0;
};

TLayout LayoutOf(const TFrets &frets)
{
    TLayout l;
    int bassPitch = 999, pendingMutes = 0;
    for (int s = Strings - 1; s >= 0; --s) {
        const int f = frets[s];
        if (f == Muted) {
            pendingMutes += l.thickest >= 0 ? 1 : 0;
            continue;
        }
        l.innerMutes += pendingMutes;
        pendingMutes = 0;
        if (l.thickest < 0)
            l.thickest = s;
        ++l.sounding;
        l.heard |= Bit(PitchClass(s, f));
        // An open string can sound below a fretted note on a thicker string: the bass is the
        // lowest pitch, wherever it lies.
        if (OpenPitch[s] + f < bassPitch) {
            bassPitch = OpenPitch[s] + f;
            l.bassString = s;
        }
        if (f == 0) {
            ++l.open;
        } else {
            l.lowest = std::min(l.lowest, f);
            l.highest = std::max(l.highest, f);
        }
    }
    return l;
}

int SpanAllowed(int lowest)
{
    return lowest >= WideFrom ? MaxSpan : LowSpan;
}

// Whether a fingering sounds the chord over its bass and a hand can hold it.
bool Acceptable(const TFrets &frets, const TChordNeeds &needs, const TLayout &l)
{
    if (l.sounding < 3 || (l.heard & ~needs.allowed) || (l.heard & needs.required) != needs.required)
        return false;
    if (!(needs.bassMask & Bit(PitchClass(l.bassString, frets[l.bassString]))))
        return false;
    if (l.innerMutes > 2 || (l.highest > 0 && l.highest - l.lowest > SpanAllowed(l.lowest)))
        return false;
    return HandFor(frets).fingers <= 4;
}

// The score, in thirds of a point, lower is better. A shape starts at 0 and pays for what makes
// it harder to play or less like the shapes guitarists learn:
//   stretch      a span of 3 frets 6, of 4 frets 24 (spans of 2 or less are free);
//   thin sound   5 sounding strings 3, 4 strings 9, 3 strings 24; a shell (at most four
//                strings over one damped inner string, the fifth of a four-tone chord left
//                out) 9 and nothing for the fifth;
//   inner mutes  one 24, 12 in a shell of four strings or fewer (those damp one string with a
//                spare finger), a second 30 more;
//   bass string  the thickest sounding string on string 4 costs 6, on string 3 18; strings 6
//                and 5 are free, so the barre shapes rooted on strings 6 and 5 and the
//                four-string shapes on string 4 come first; a bass that is not on the thickest
//                sounding string 12 (an open string below the fretted notes muddies the shape);
//   hand         4 fingers 9; a barre that is not a full barre at the lowest fret 3, 9 when
//                it is not at the lowest fret either (the index finger lies at the lowest
//                fret); two barres 12;
//   position     1 per fret up the neck, 30 more from fret 12 up (little room for the hand
//                there); open strings under a shape at fret 5 or 6 12 each, at fret 7 or
//                higher 18 each (the ringing string lies far from the hand), under a
//                lower shape that reaches past fret 3 9 each; open-position
//                chords (fretted notes within the first three frets, at least one open string,
//                no inner mute, no barre, as the open chords
//                guitarists learn first) get 9 back, as do chords of open strings only;
//                outside that position an open string ringing between fretted strings 9 (the
//                hand must arch over it);
//   split        notes at the lowest fret on both sides of an open string 15: the index
//                finger cannot lie across them, so another finger must reach back under the
//                ones at higher frets;
//   harmony      a left-out fifth 6; a left-out ninth or eleventh of an 11 or 13 chord 3;
//                the eleventh of a 13 chord sounding against its third 9; the third of an
//                11 chord 6 (it rubs against the eleventh); a slash bass outside the chord
//                heard again higher up 9; dim7 and +5 over a tone other than the root 6.
int OpenBetweenFretted(const TFrets &frets)
{
    int count = 0;
    for (int s = 1; s < Strings - 1; ++s) {
        if (frets[s] != 0)
            continue;
        bool above = false, below = false;
        for (int t = 0; t < s; ++t)
            above = above || frets[t] > 0;
        for (int t = s + 1; t < Strings; ++t)
            below = below || frets[t] > 0;
        count += above && below ? 1 : 0;
    }
    return count;
}

bool SplitAtLowest(const TFrets &frets, int lowest)
{
    int first = -1, last = -1;
    for (int s = 0; s < Strings; ++s)
        if (frets[s] == lowest) {
            first = first < 0 ? s : first;
            last = s;
        }
    for (int s = first + 1; s < last; ++s)
        if (frets[s] == 0)
            return true;
    return false;
}

int Score(const TFrets &frets, const TChordNeeds &needs, const TLayout &l, const THand &hand)
{
    const bool anyFretted = l.highest > 0;
    const int span = anyFretted ? l.highest - l.lowest : 0;
    int score = 0;
    score += span == 3 ? 6 : span >= 4 ? 24 : 0;
    // A shell (root, third and seventh or sixth over one damped string, the fifth left out) is
    // how players voice four-tone chords in the middle of the neck.
    const bool shell = l.sounding <= 4 && l.innerMutes == 1 && needs.fifth && !(l.heard & needs.fifth) &&
                       std::popcount(needs.required | needs.fifth) >= 4;
    if (shell)
        score += 9;
    else
        score += l.sounding == 5 ? 3 : l.sounding == 4 ? 9 : l.sounding <= 3 ? 24 : 0;
    score += l.innerMutes == 1 ? (l.sounding <= 4 ? 12 : 24) : l.innerMutes >= 2 ? 54 : 0;
    score += l.thickest == 3 ? 6 : l.thickest <= 2 ? 18 : 0;
    if (l.bassString != l.thickest)
        score += 12;
    if (hand.fingers >= 4)
        score += 9;
    if (hand.barres == 1 && !hand.fullBarre)
        score += hand.lowBarre ? 3 : 9;
    if (hand.barres == 2)
        score += 12;
    if (anyFretted) {
        score += l.lowest + (l.lowest >= 12 ? 30 : 0);
        if (l.lowest >= WideFrom)
            score += (l.lowest >= 7 ? 18 : 12) * l.open;
        else if (l.highest > 3)
            score += 9 * l.open; // the hand has left the open position behind
        if (l.highest <= 3 && l.open > 0 && l.innerMutes == 0 && hand.barres == 0)
            score -= 9;
        else
            score += 9 * OpenBetweenFretted(frets);
        if (SplitAtLowest(frets, l.lowest))
            score += 15;
    } else {
        score -= 9;
    }
    const unsigned heard = l.heard;
    if (needs.fifth && !(heard & needs.fifth) && !shell)
        score += 6;
    score += 3 * std::popcount(needs.optional & ~needs.clash & ~heard & ~Bit(needs.root + 4));
    if (needs.clash && (heard & needs.clash) && (heard & Bit(needs.root + 4)))
        score += 9;
    if (needs.optional & Bit(needs.root + 4) & heard)
        score += 6;
    if (needs.foreignBass) {
        int times = 0;
        for (int s = 0; s < Strings; ++s)
            if (frets[s] != Muted && (Bit(PitchClass(s, frets[s])) & needs.foreignBass))
                ++times;
        if (times > 1)
            score += 9;
    }
    if (needs.symmetric && PitchClass(l.bassString, frets[l.bassString]) != needs.root)
        score += 6;
    return score;
}

TCandidate CandidateOf(const TFrets &frets, const TChordNeeds &needs, const TLayout &l)
{
    TCandidate c;
    c.frets = frets;
    c.lowest = l.highest > 0 ? l.lowest : 0;
    c.score = Score(frets, needs, l, HandFor(frets));
    c.bassString = l.thickest;
    c.text = SchemeText(frets);
    c.shape = ShapeKey(frets, c.lowest);
    return c;
}

// Enumerates every fingering whose fretted notes start at fret `lowest` (0: open strings only),
// string 6 first, pruning on the inner mutes as it goes.
class TSearch
{
public:
    TSearch(const TChordNeeds &needs, std::vector<TCandidate> &out) : FNeeds(needs), FOut(out) {}

    void Run(int lowest)
    {
        FLowest = lowest;
        const int top = lowest == 0 ? 0 : std::min(MaxFret, lowest + SpanAllowed(lowest));
        for (int s = 0; s < Strings; ++s) {
            FOptions[s].clear();
            FOptions[s].push_back(Muted);
            if (FNeeds.allowed & Bit(PitchClass(s, 0)))
                FOptions[s].push_back(0);
            for (int f = std::max(1, lowest); lowest > 0 && f <= top; ++f)
                if (FNeeds.allowed & Bit(PitchClass(s, f)))
                    FOptions[s].push_back(f);
        }
        Step(Strings - 1, false, 0, 0, false);
    }

private:
    void Step(int s, bool started, int innerMutes, int pendingMutes, bool atLowest)
    {
        if (s < 0) {
            Finish(atLowest);
            return;
        }
        for (int f : FOptions[s]) {
            FFrets[s] = f;
            if (f == Muted) {
                Step(s - 1, started, innerMutes, pendingMutes + (started ? 1 : 0), atLowest);
                continue;
            }
            if (innerMutes + pendingMutes > 2)
                continue;
            Step(s - 1, true, innerMutes + pendingMutes, 0, atLowest || f == FLowest);
        }
    }

    void Finish(bool atLowest)
    {
        if (FLowest > 0 && !atLowest)
            return;
        const TLayout l = LayoutOf(FFrets);
        if (!Acceptable(FFrets, FNeeds, l))
            return;
        FOut.push_back(CandidateOf(FFrets, FNeeds, l));
    }

    const TChordNeeds &FNeeds;
    std::vector<TCandidate> &FOut;
    std::array<std::vector<int>, Strings> FOptions;
    TFrets FFrets{};
    int FLowest = 0;
};

// Two fingerings that agree on every string both sound, one only muting more strings: the
// thinner one adds little beside the fuller one.
bool SameVoicingThinned(const TCandidate &a, const TCandidate &b)
{
    for (int s = 0; s < Strings; ++s)
        if (a.frets[s] != Muted && b.frets[s] != Muted && a.frets[s] != b.frets[s])
            return false;
    return true;
}

// How much a candidate repeats what is already chosen, in the score's units: a thinned copy of
// a chosen fingering 30, a fingering within one fret of a chosen one 12 (within three 4), the
// same bass string within three frets 6 more. This spreads a chord's fingerings over the neck.
int Repetition(const TCandidate &c, const std::vector<TCandidate> &chosen)
{
    int cost = 0;
    for (const TCandidate &d : chosen) {
        if (SameVoicingThinned(c, d))
            cost += 30;
        const int distance = std::abs(c.lowest - d.lowest);
        cost += distance <= 1 ? 12 : distance <= 3 ? 4 : 0;
        if (c.bassString == d.bassString && distance <= 3)
            cost += 6;
    }
    return cost;
}

// The first fingering of a common chord is the one a teacher shows: the open-position chord
// where there is one, else the lowest of the movable forms players learn for its type. Both
// are written the way guitarists write them: string 6 first, 'x' for a muted string.
struct TOpenChord
{
    int root;
    const char *type;
    const char *shape; // six frets, string 6 first
};
const TOpenChord OpenChords[] = {
    {0, "maj", "x32010"},   {9, "maj", "x02220"},   {7, "maj", "320003"},   {4, "maj", "022100"},
    {2, "maj", "xx0232"},   {9, "m", "x02210"},     {4, "m", "022000"},     {2, "m", "xx0231"},
    {4, "7", "020100"},     {9, "7", "x02020"},     {2, "7", "xx0212"},     {0, "7", "x32310"},
    {7, "7", "320001"},     {11, "7", "x21202"},    {9, "m7", "x02010"},    {4, "m7", "020000"},
    {2, "m7", "xx0211"},    {0, "maj7", "x32000"},  {9, "maj7", "x02120"},  {2, "maj7", "xx0222"},
    {4, "maj7", "021100"},  {7, "maj7", "320002"},  {5, "maj7", "xx3210"},  {9, "sus4", "x02230"},
    {2, "sus4", "xx0233"},  {4, "sus4", "022200"},  {0, "sus4", "x33011"},  {9, "sus2", "x02200"},
    {2, "sus2", "xx0230"},  {0, "sus2", "x30033"},  {9, "6", "x02222"},     {0, "6", "x32210"},
    {2, "6", "xx0202"},     {4, "6", "022120"},     {7, "6", "320000"},     {9, "m6", "x02212"},
    {2, "m6", "xx0201"},    {4, "m6", "022020"},    {0, "+5", "x32110"},    {4, "+5", "032110"},
    {2, "+5", "xx0332"},    {7, "+5", "321003"},    {9, "+5", "x03221"},    {11, "+5", "x2100x"},
    {9, "9", "x02423"},     {0, "add9", "x32030"},  {7, "add9", "320203"},  {4, "add9", "024100"},
    {9, "add9", "x02420"},  {9, "7sus4", "x02030"}, {2, "7sus4", "xx0213"}, {4, "7sus4", "020200"},
    {10, "9", "x10111"},    {9, "dim7", "x01212"},  {10, "dim7", "x1202x"}, {4, "sus2", "024400"},
    {5, "sus2", "xx3011"},  {7, "sus2", "300033"},  {11, "m6", "x20102"},   {7, "9", "320201"},
};

// A movable form: the root on string 6, 5 or 4 at fret n, the other strings at n + offset,
// string 6 first (X: muted).
constexpr int X = 99;
struct TMovableForm
{
    const char *type;
    int rootString; // 6, 5 or 4
    int offset[Strings];
};
const TMovableForm MovableForms[] = {
    {"maj", 6, {0, 2, 2, 1, 0, 0}},   {"maj", 5, {X, 0, 2, 2, 2, 0}},
    {"m", 6, {0, 2, 2, 0, 0, 0}},     {"m", 5, {X, 0, 2, 2, 1, 0}},
    {"7", 6, {0, 2, 0, 1, 0, 0}},     {"7", 5, {X, 0, 2, 0, 2, 0}},
    {"m7", 6, {0, 2, 0, 0, 0, 0}},    {"m7", 5, {X, 0, 2, 0, 1, 0}},
    {"maj7", 6, {0, 2, 1, 1, 0, 0}},  {"maj7", 5, {X, 0, 2, 1, 2, 0}},
    {"sus4", 6, {0, 2, 2, 2, 0, 0}},  {"sus4", 5, {X, 0, 2, 2, 3, 0}},
    {"sus2", 5, {X, 0, 2, 2, 0, 0}},  {"sus2", 4, {X, X, 0, 2, 3, 0}},
    {"7sus4", 6, {0, 2, 0, 2, 0, 0}}, {"7sus4", 5, {X, 0, 2, 0, 3, 0}},
    {"6", 5, {X, 0, 2, 2, 2, 2}},     {"6", 4, {X, X, 0, 2, 0, 2}},     {"6", 6, {0, X, -1, 1, 0, X}},
    {"m6", 4, {X, X, 0, 2, 0, 1}},    {"m6", 6, {0, X, -1, 0, 0, X}},   {"m6", 5, {X, 0, -2, -1, -2, 0}},
    {"dim7", 4, {X, X, 0, 1, 0, 1}},  {"dim7", 5, {X, 0, 1, -1, 1, X}}, {"dim7", 6, {0, X, -1, 0, -1, X}},
    {"+5", 5, {X, 0, -1, -2, -2, X}}, {"+5", 6, {0, X, 2, 1, 1, X}},    {"+5", 4, {X, X, 0, 3, 3, 2}},
    {"9", 5, {X, 0, -1, 0, 0, 0}},    {"9", 6, {0, 2, 0, 1, 0, 2}},
    {"add9", 5, {X, 0, -1, -3, 0, X}}, {"add9", 5, {X, 0, -1, 2, 0, 0}}, {"add9", 4, {X, X, 0, -1, -2, 0}},
    {"add9", 6, {0, 2, 4, 1, 0, 0}},
};

TFrets FromGuitaristShape(const char *shape)
{
    TFrets frets{};
    for (int i = 0; i < Strings; ++i)
        frets[Strings - 1 - i] = shape[i] == 'x' ? Muted : shape[i] - '0';
    return frets;
}

// The form at the lowest place on the neck where it is whole: every string on the neck, and
// open strings only when the form itself lies at the nut.
bool PlaceForm(const TMovableForm &form, int root, TFrets &frets)
{
    const int rootIndex = form.rootString - 1;
    const int n = ((root - OpenPitch[rootIndex]) % 12 + 12) % 12;
    for (int i = 0; i < Strings; ++i) {
        const int s = Strings - 1 - i;
        const int o = form.offset[i];
        frets[s] = o == X ? Muted : n + o;
        if (o != X && (frets[s] < 0 || frets[s] > MaxFret || (frets[s] == 0 && n > 0)))
            return false;
    }
    return true;
}

// The standard fingering of a chord, when its type has one.
bool StandardShape(int root, const QString &type, const TChordNeeds &needs, TCandidate &out)
{
    for (const TOpenChord &open : OpenChords)
        if (open.root == root && type == QLatin1String(open.type)) {
            const TFrets frets = FromGuitaristShape(open.shape);
            out = CandidateOf(frets, needs, LayoutOf(frets));
            return Acceptable(frets, needs, LayoutOf(frets));
        }
    bool found = false;
    for (const TMovableForm &form : MovableForms) {
        TFrets frets{};
        if (type != QLatin1String(form.type) || !PlaceForm(form, root, frets))
            continue;
        const TLayout l = LayoutOf(frets);
        if (!Acceptable(frets, needs, l))
            continue;
        const TCandidate c = CandidateOf(frets, needs, l);
        if (!found || c.lowest < out.lowest) {
            out = c;
            found = true;
        }
    }
    return found;
}

// A fingering worse than this (score plus repetition) is left out once the chord has its
// minimum number of fingerings.
constexpr int GoodEnough = 60;

// Scheme 1 is the standard fingering when there is one, else the best; the others follow it up
// the neck.
std::vector<TCandidate> Choose(std::vector<TCandidate> candidates, const TCandidate *standard, int target,
                               int minimum)
{
    std::stable_sort(candidates.begin(), candidates.end(), [](const TCandidate &a, const TCandidate &b) {
        return a.score != b.score ? a.score < b.score : a.text < b.text;
    });
    // One fingering per shape: the same shape twelve frets up (or, for dim7 and +5, a few frets
    // up) is not another voicing.
    std::vector<TCandidate> unique;
    std::vector<std::string> shapes;
    std::vector<TCandidate> chosen;
    if (standard) {
        shapes.push_back(standard->shape);
        chosen.push_back(*standard);
    }
    for (TCandidate &c : candidates) {
        if (std::find(shapes.begin(), shapes.end(), c.shape) != shapes.end())
            continue;
        shapes.push_back(c.shape);
        unique.push_back(std::move(c));
    }

    std::vector<bool> taken(unique.size(), false);
    while (int(chosen.size()) < target) {
        int best = -1, bestCost = 0;
        for (size_t i = 0; i < unique.size(); ++i) {
            if (taken[i])
                continue;
            // Without a standard fingering the first one shown is the best near the nut, where
            // a player looks first.
            const int nearNut = chosen.empty() ? 2 * unique[i].lowest : 0;
            const int cost = unique[i].score + Repetition(unique[i], chosen) + nearNut;
            if (best < 0 || cost < bestCost) {
                best = int(i);
                bestCost = cost;
            }
        }
        if (best < 0 || (int(chosen.size()) >= minimum && bestCost > GoodEnough))
            break;
        taken[best] = true;
        chosen.push_back(unique[best]);
    }
    if (chosen.size() < 2)
        return chosen;
    std::stable_sort(chosen.begin() + 1, chosen.end(), [](const TCandidate &a, const TCandidate &b) {
        return a.lowest != b.lowest ? a.lowest < b.lowest : a.score < b.score;
    });
    return chosen;
}

bool IsCommon(const QString &type)
{
    for (const char *name : CommonTypes)
        if (type == QLatin1String(name))
            return true;
    return false;
}

// The value of one key, or an empty text when the chord has fewer fingerings than it needs.
std::string Fingerings(int root, const QString &type, int bass, int target, int minimum)
{
    for (const TPinned &pin : Pinned)
        if (pin.root == root && bass < 0 && type == QLatin1String(pin.key))
            return pin.value;
    const TChordNeeds needs = NeedsOf(root, type, bass);
    std::vector<TCandidate> candidates;
    TSearch search(needs, candidates);
    for (int lowest = 0; lowest <= HighestWindow; ++lowest)
        search.Run(lowest);
    TCandidate standard;
    // A chord over its own root is the chord itself.
    const bool hasStandard = (bass < 0 || bass == root) && StandardShape(root, type, needs, standard);
    if (bass < 0 && IsCommon(type) && !hasStandard)
        std::fprintf(stderr, "chordgen: no standard fingering for [%s] %s\n", NoteNames[root], qPrintable(type));
    const std::vector<TCandidate> chosen =
        Choose(std::move(candidates), hasStandard ? &standard : nullptr, target, minimum);
    if (int(chosen.size()) < minimum)
        return {};
    std::string value;
    for (const TCandidate &c : chosen)
        value += (value.empty() ? "" : " ") + c.text;
    return value;
}

const char *const Preamble =
    "; Vexo Veltrasomin - база аппликатур аккордов\n"
    "; Vexo Veltrasomin - chord base\n"
    ";\n"
    "; Аппликатуры для шестиструнной гитары в стандартном строе (E A D G H E),\n"
    "; вычислены по формулам аккордов программой tools/chordgen.\n"
    "; Fingerings for a six-string guitar in standard tuning (E A D G B E),\n"
    "; worked out from the chord formulas by tools/chordgen.\n"
    ";\n"
    "; ВНИМАНИЕ! Не редактируйте этот файл: программа перезаписывает его при\n"
    "; обновлении, и ваши изменения пропадут. Свои аккорды и аппликатуры\n"
    "; добавляйте в файл user_chords.ini в той же папке.\n"
    ";\n"
    "; WARNING! Do not edit this file: the program rewrites it when it is updated,\n"
    "; and your changes would be lost. Add your own chords and fingerings to the\n"
    "; file user_chords.ini in the same folder.\n"
    ";\n"
    "; Визуальный редактор аккордов / Visual chord editor:\n"
    "; https://veltrasomin.example.org/chord-editor\n"
    "\n";

struct TKey
{
    QString type;
    int bass = -1;
};

bool Generate(std::string &out)
{
    out = Preamble;
    bool complete = true;
    for (int root = 0; root < 12; ++root) {
        out += SectionHeaders[root];
        out += '\n';
        std::vector<std::pair<std::string, std::string>> lines;
        auto add = [&](const QString &type, int bass, int target, int minimum) {
            const std::string key = type.toStdString() + (bass >= 0 ? std::string("/") + NoteNames[bass] : "");
            const std::string value = Fingerings(root, type, bass, target, minimum);
            if (value.empty()) {
                std::fprintf(stderr, "chordgen: too few fingerings for [%s] %s\n", NoteNames[root], key.c_str());
                complete = false;
            }
            out += key + "=" + value + "\n";
        };
        for (const QString &type : ChordTypes::CanonicalTypes()) {
            const bool common = IsCommon(type);
            add(type, -1, common ? CommonTarget : OtherTarget, common ? CommonMinimum : OtherMinimum);
        }
        out += '\n';
        for (const char *type : SlashTypes)
            for (int bass = 0; bass < 12; ++bass) {
                // A minor seventh chord of A over its own root shows the full range of shapes.
                const bool full = root == 9 && bass == 9 && QLatin1String(type) == QLatin1String("m7");
                add(QLatin1String(type), bass, full ? MostSchemes : SlashTarget, full ? MostSchemes : SlashMinimum);
            }
        // The keys earlier bases carried beyond the regular grid.
        if (root == 2)
            add(QStringLiteral("sus2"), 0, SlashTarget, SlashMinimum);
        if (root == 9)
            add(QStringLiteral("7sus4"), 4, SlashTarget, SlashMinimum);
        if (root == 5) // read twice, found once: the first line wins
            add(QStringLiteral("m7"), 3, SlashTarget, SlashMinimum);
        out += '\n';
    }
    out += "[Version]\nNumber=" + ChordBase::CurrentBaseVersion.toStdString() + "\n";
    return complete;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: chordgen <output file>\n");
        return 2;
    }
    std::string base;
    if (!Generate(base))
        return 1;
    if (!IniText::WriteFileAtomically(QString::fromLocal8Bit(argv[1]), QByteArray::fromStdString(base))) {
        std::fprintf(stderr, "chordgen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
