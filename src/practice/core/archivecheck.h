#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// The check of the five archives: reads every record (never writes) and
// finds what the program itself would never write.
namespace vornel::archivecheck {

struct Finding {
    qint64 position; // 1-based record position
    QString field;   // the field's control name
    QString detail;  // e.g. the length byte, the flag bytes, the missing file
};

struct Result {
    QString fileName;
    bool present = false;
    bool readable = true;
    qint64 size = 0;
    int recordSize = 0;
    qint64 records = 0;
    qint64 tailBytes = 0;           // a partial record at the end
    QList<Finding> overLength;      // length byte over the field's capacity
    QList<Finding> badFlags;        // yes/no fields holding neither "Sì" nor "No"
    QList<Finding> missingAttachments; // patient archive only
    QList<Finding> outsideAttachments; // names leading outside Documenti_Allegati
    qint64 overLengthCount = 0;     // all of them; the lists keep the first few
    qint64 badFlagCount = 0;
    qint64 missingAttachmentCount = 0;
    // A history file ("<archive>_Storico.vrn"): its records name positions
    // that must exist in its archive.
    bool history = false;
    qint64 archiveRecords = 0;
    QList<Finding> badPositions;
    qint64 badPositionCount = 0;
    qint64 outsideAttachmentCount = 0;

    bool healthy() const;
};

// How many findings of each kind are listed per archive; the rest are counted.
inline constexpr int kListed = 20;

// The five archives, then their five history files.
QList<Result> checkArchives(const QString& programFolder);
// The lines of the list window and its printout.
QStringList reportLines(const QList<Result>& results);

} // namespace vornel::archivecheck
