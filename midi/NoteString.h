#pragma once
// Note strings: comma-separated items "delta;note;duration" (each part may be left out) that
// become timed program-change, note-on and note-off records.
#include <QString>
#include <cstdint>
#include <vector>

class TMidiGen;

// One planned message; time in ticks of 10 ms from the start.
struct TMGRecord
{
    uint32_t time = 0;
    uint8_t kind = 0;  // MGProgramChange, MGNoteOn or MGNoteOff
    uint32_t value = 0; // program or instrument ordinal; note number or percussion ordinal
    uint8_t channel = 0; // 0..15
};

enum : uint8_t { MGProgramChange = 6, MGNoteOn = 8, MGNoteOff = 9 };

// What a note string starts from: the generator's settings at the moment of the play.
struct TNoteStringContext
{
    int octave = 4;
    uint32_t duration = 50;
    int instrument = 0;       // TMGInstrument ordinal
    int effectiveChannel = 0; // 0..15; 9 is the percussion channel
};

// Semitone above C of a spelling such as "C#", "D-" or "B"; -1 for any other text ("H", "E#").
int NoteIndex(const QString &name);

// Appends the string's records sorted by time (program changes first at equal times, otherwise in
// the order written) and returns whether a pitch bend may be applied: a single chord of notes of
// one length. An empty string gives no record and false.
bool ParseNoteString(const TNoteStringContext &context, const QString &s, std::vector<TMGRecord> &records);
bool ParseNoteString(const TMidiGen &component, const QString &s, std::vector<TMGRecord> &records);
