#pragma once
#include "storage/records.h"

#include <QRect>
#include <QRgb>

#include <span>

// What makes one certificate card different from the other three: a
// constant descriptor per kind, read by the one card base.
namespace vornel::cards {

// How a data field behaves.
enum FieldFlag : unsigned {
    Centred = 1,   // text centred
    Upper = 2,     // trimmed and upper-cased as typed
    Digits = 4,    // only digits may be typed
    BodyLook = 8,  // the certificate body's font and alice-blue resting fill
    Cleared = 16,  // emptied by Nuovo and whenever the card is shown
};

struct Field {
    const char* name;
    int maxLength; // most characters typed; the record may store more or fewer
    unsigned flags;
};

// A required field and the warning shown when it is empty.
struct Requirement {
    const char* field;
    const char* warning;
};

struct SettingKey {
    const char* section;
    const char* key;
    const char* field;
};

// The sport table a card's discipline buttons open.
enum class SportTable { None, General, Disabled };

struct SportButton {
    const char* name;   // impSportRichiesto / impSportApprovato
    const char* marker; // written into the table's lblMemory
};

// One element of the certificate body, placed in the body area.
enum class Piece {
    Title,     // the certificate's title box; text lines split by '\n'
    Reference, // small print: legal references and foot notes
    Decree,    // the legal reference line of the competitive kinds
    Text,      // a line of the wording
    Label,     // the label over a field
    Edit,      // a data field (name), from the field table
    Import,    // a small import button (name) beside a field
    Line,      // a thin separator
    Note,      // the red note of the non-fitness certificate
    Signature, // the signature line
    Completed, // the completed box with chkCompletato
    Footer,    // the band with place and date of issue
    Wording,   // the paper-coloured area behind the wording
};

struct BodyPiece {
    Piece kind;
    const char* name; // control name (Edit, Import)
    const char* text; // UTF-8
    QRect rect;
};

// Fields and body pieces are given in groups, so what several kinds share
// is written once and listed by each of them.
template <class T>
using Groups = std::span<const std::span<const T>>;

struct Descriptor {
    const char* caption;
    const ArchiveDef* archive;
    // The body fields between the physician and the place of issue, in
    // record order; the Enter chain is the record order.
    Groups<Field> bodyFields;
    // Required fields checked after the twelve every card checks and before
    // the place and date of issue.
    std::span<const Requirement> extraChecks;
    bool remembersRegion; // "Codice Regione" after the twelve office keys
    const char* marker;   // the card's marker for the search and the patient import
    SportTable sportTable;
    std::span<const SportButton> sportButtons;
    const char* sportHint;
    QRgb columnColour; // the letterhead and physician boxes
    Groups<BodyPiece> body;
};

// The fields and rules every certificate card shares.
extern const std::span<const Field> kLetterheadFields; // nine office fields, then physician and code
extern const std::span<const Field> kFooterFields;     // place and date of issue
extern const std::span<const Requirement> kCommonChecks;  // the first twelve
extern const std::span<const Requirement> kClosingChecks; // place and date of issue
extern const std::span<const SettingKey> kSettingKeys;    // twelve office keys, then "Codice Regione"

extern const Descriptor kNonAgonistico;
extern const Descriptor kAgonistico;
extern const Descriptor kDisabili;
extern const Descriptor kNonIdoneita;

} // namespace vornel::cards
