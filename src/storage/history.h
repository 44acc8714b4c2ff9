#pragma once
#include "storage/records.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <vector>

// The history of an archive: before a stored record is overwritten, its
// bytes as they were are appended to "<archive>_Storico.vrn" beside it
// ("Pazienti.vrn" -> "Pazienti_Storico.vrn"). A history record is fixed-size,
// in the archives' own style, with no header: three length-prefixed
// Windows-1252 text fields (the record's 1-based position, the date and time
// of the change "dd/mm/yyyy HH:mm:ss", the workstation's name), then the
// overwritten record's bytes unchanged.
namespace vornel::history {

inline constexpr std::array<FieldDef, 3> kHeaderFields{{
    {"posizione", 10},
    {"dataora", 19},
    {"postazione", 64},
}};
inline constexpr RecordLayout THistoryHeader{"TStorico", kHeaderFields};
inline constexpr int kHeaderSize = recordSize(kHeaderFields);
static_assert(kHeaderSize == 96);

// The size of one history record of an archive with this record layout.
inline int sizeFor(const RecordLayout& archive)
{
    return kHeaderSize + archive.size();
}

// "Certificati.vrn" -> "Certificati_Storico.vrn" (full paths keep their folder).
QString pathFor(const QString& archivePath);
QString fileNameFor(const ArchiveDef& archive);
// The archive whose history file bears this name (nullptr for any other name).
const ArchiveDef* archiveOfHistory(const QString& fileName);

// The name this computer goes by on the network, cut to what a record keeps.
QString workstationName();

// One earlier version of a record.
struct Version {
    qint64 position = 0;
    QString when;    // "dd/mm/yyyy HH:mm:ss"
    QString station; // workstation name
    QByteArray bytes; // the record as it was
};

// A whole history record.
QByteArray encode(qint64 position, const QDateTime& when, const QString& station, const QByteArray& recordBytes);

// Appends one history record at the end of the file (created when missing;
// one that exists is only ever written at its end: a partial record left by
// an interrupted append is written over) and syncs it to the disk. Throws
// ArchiveError when the file cannot be opened, written or synced; the caller
// holds the archive's lock.
void append(const QString& historyPath, const QByteArray& historyRecord);

// Every earlier version of the record at 'position' (1-based), oldest first.
// A missing history file has none; one that cannot be read throws ArchiveError.
std::vector<Version> versionsOf(const QString& historyPath, const RecordLayout& archive, qint64 position);

// The fields (record field indexes) whose trimmed texts differ between two
// versions of a record.
std::vector<int> changedFields(const RecordLayout& layout, const QByteArray& a, const QByteArray& b);

// The label a user knows a record field by on its card ("Cognome e nome",
// "Data scadenza"); the control name itself when there is none.
QString fieldLabel(const RecordLayout& layout, std::string_view field);

} // namespace vornel::history
