#include "practice/core/archivecheck.h"

#include "storage/cp1252.h"
#include "storage/history.h"
#include "storage/records.h"
#include "storage/text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>

#include <array>
#include <vector>

namespace vornel::archivecheck {

namespace {

constexpr std::array<const ArchiveDef*, 5> kArchives = {
    &archives::Pazienti, &archives::Certificati, &archives::Agonistici, &archives::Disabili,
    &archives::NonIdoneita};

bool isFlagField(const FieldDef& f)
{
    return f.capacity == 2 && f.name.substr(0, 3) == "chk";
}

QString bytesText(qint64 n)
{
    return QLocale(QLocale::Italian).toString(n);
}

// Whether a stored attachment name leads outside Documenti_Allegati: an
// absolute path or one that climbs out with "..", with either separator
// (the folder may come from Windows). Such a file is never the patient's
// attachment, even where one exists at that place.
bool leadsOutside(const QString& name)
{
    QString path = name;
    path.replace(u'\\', u'/');
    if (path.startsWith(u'/') || QDir::isAbsolutePath(name))
        return true;
    if (path.size() >= 2 && path[1] == u':' && path[0].isLetter()) // a drive: "C:/..." or "C:..."
        return true;
    const QString clean = QDir::cleanPath(path);
    return clean == QLatin1String("..") || clean.startsWith(QLatin1String("../"));
}

void add(QList<Finding>& list, qint64& count, Finding f)
{
    if (list.size() < kListed)
        list.append(std::move(f));
    ++count;
}

Result checkOne(const QString& folder, const ArchiveDef& def, QHash<QString, bool>& attachmentExists)
{
    Result r;
    r.fileName = QString::fromLatin1(def.fileName);
    const RecordLayout& layout = *def.layout;
    r.recordSize = layout.size();
    const QString path = QDir(folder).filePath(r.fileName);
    if (!QFileInfo::exists(path))
        return r;
    r.present = true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.readable = false;
        return r;
    }
    r.size = file.size();
    r.records = r.size / layout.size();
    r.tailBytes = r.size % layout.size();
    const bool patients = &def == &archives::Pazienti;
    std::vector<int> attachmentFields;
    if (patients)
        for (const char* name : {"lblFile01", "lblFile02", "lblFile03"})
            attachmentFields.push_back(layout.indexOf(std::string_view(name)));
    const QDir attachments(QDir(folder).filePath(QStringLiteral("Documenti_Allegati")));

    const int size = layout.size();
    const qint64 perBlock = qMax<qint64>(1, (1 << 20) / size);
    std::vector<char> block(static_cast<size_t>(perBlock * size));
    for (qint64 k = 0; k < r.records;) {
        const qint64 take = qMin(perBlock, r.records - k);
        if (file.read(block.data(), take * size) != take * size) {
            r.readable = false;
            return r;
        }
        for (qint64 i = 0; i < take; ++i) {
            const unsigned char* rec = reinterpret_cast<const unsigned char*>(block.data() + i * size);
            const qint64 position = k + i + 1;
            for (int f = 0; f < layout.fieldCount(); ++f) {
                const FieldDef& def = layout.fields()[std::size_t(f)];
                const unsigned char* field = rec + layout.offsetOf(f);
                const QString name = QString::fromLatin1(def.name.data(), int(def.name.size()));
                if (field[0] > def.capacity) {
                    add(r.overLength, r.overLengthCount,
                        {position, name, QStringLiteral("lunghezza %1 su %2").arg(field[0]).arg(def.capacity)});
                    continue;
                }
                if (isFlagField(def)) {
                    const bool yes = field[0] == 2 && field[1] == 0x53 && field[2] == 0xEC;
                    const bool no = field[0] == 2 && field[1] == 0x4E && field[2] == 0x6F;
                    if (!yes && !no) {
                        const QByteArray held(reinterpret_cast<const char*>(field + 1), field[0]);
                        // An empty field is said in words: "" reads as a typing slip.
                        add(r.badFlags, r.badFlagCount,
                            {position, name,
                             held.isEmpty() ? QStringLiteral("vuoto")
                                            : QStringLiteral("\"%1\"").arg(cp1252::decode(held))});
                    }
                }
            }
            for (int f : attachmentFields) {
                const unsigned char* field = rec + layout.offsetOf(f);
                if (field[0] > layout.fields()[std::size_t(f)].capacity)
                    continue;
                const QString file = trimmed(cp1252::decode(QByteArray(reinterpret_cast<const char*>(field + 1), field[0])));
                if (file.isEmpty())
                    continue;
                if (leadsOutside(file)) {
                    add(r.outsideAttachments, r.outsideAttachmentCount,
                        {position, QString::fromLatin1(layout.fields()[std::size_t(f)].name.data()), file});
                    continue;
                }
                auto it = attachmentExists.find(file);
                if (it == attachmentExists.end())
                    it = attachmentExists.insert(file, QFileInfo(attachments.filePath(file)).isFile());
                if (!*it)
                    add(r.missingAttachments, r.missingAttachmentCount,
                        {position, QString::fromLatin1(layout.fields()[std::size_t(f)].name.data()), file});
            }
        }
        k += take;
    }
    return r;
}

// A history file: whole records, each naming a position of its archive.
Result checkHistory(const QString& folder, const ArchiveDef& def, qint64 archiveRecords)
{
    Result r;
    r.history = true;
    r.archiveRecords = archiveRecords;
    r.fileName = history::fileNameFor(def);
    r.recordSize = history::sizeFor(*def.layout);
    const QString path = QDir(folder).filePath(r.fileName);
    if (!QFileInfo::exists(path))
        return r;
    r.present = true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.readable = false;
        return r;
    }
    r.size = file.size();
    r.records = r.size / r.recordSize;
    r.tailBytes = r.size % r.recordSize;
    // Only the header of each record is read.
    for (qint64 k = 0; k < r.records; ++k) {
        QByteArray header;
        if (!file.seek(k * r.recordSize) || (header = file.read(history::kHeaderSize)).size() != history::kHeaderSize) {
            r.readable = false;
            return r;
        }
        const QString text = fieldText(history::THistoryHeader, header.constData(), 0);
        bool number = false;
        const qint64 position = text.toLongLong(&number);
        if (!number || position < 1 || position > archiveRecords)
            add(r.badPositions, r.badPositionCount,
                {k + 1, QStringLiteral("posizione"),
                 text.isEmpty() ? QStringLiteral("vuota") : QStringLiteral("\"%1\"").arg(text)});
    }
    return r;
}

void listFindings(QStringList& lines, const QString& title, const QString& none, const QList<Finding>& list,
                  qint64 count)
{
    if (count == 0) {
        lines << QStringLiteral("  %1: %2").arg(title, none);
        return;
    }
    lines << QStringLiteral("  %1: %2").arg(title).arg(count);
    for (const Finding& f : list)
        lines << QStringLiteral("    scheda %1, %2: %3").arg(f.position).arg(f.field, f.detail);
    if (count > list.size())
        lines << QStringLiteral("    ... e altri %1").arg(count - list.size());
}

// The lines of a history file.
void historyLines(QStringList& lines, const Result& r)
{
    if (!r.present) {
        lines << QStringLiteral("  Storico delle modifiche non presente: nessuna scheda è stata ancora modificata.");
        return;
    }
    lines << QStringLiteral("  Dimensione del file: %1 byte").arg(bytesText(r.size));
    lines << QStringLiteral("  Versioni precedenti: %1 (di %2 byte ciascuna)").arg(bytesText(r.records), bytesText(r.recordSize));
    if (!r.readable) {
        lines << QStringLiteral("  ERRORE: lo storico non si può leggere per intero.");
        return;
    }
    lines << (r.tailBytes == 0
                  ? QStringLiteral("  Versione incompleta alla fine: nessuna")
                  : QStringLiteral("  Versione incompleta alla fine: %1 byte dopo la versione %2")
                        .arg(bytesText(r.tailBytes), bytesText(r.records)));
    if (r.badPositionCount == 0) {
        lines << QStringLiteral("  Posizioni che non esistono nell'archivio: nessuna");
    } else {
        lines << QStringLiteral("  Posizioni che non esistono nell'archivio (%1 schede): %2")
                     .arg(bytesText(r.archiveRecords))
                     .arg(r.badPositionCount);
        for (const Finding& f : r.badPositions)
            lines << QStringLiteral("    versione %1, posizione %2").arg(f.position).arg(f.detail);
        if (r.badPositionCount > r.badPositions.size())
            lines << QStringLiteral("    ... e altri %1").arg(r.badPositionCount - r.badPositions.size());
    }
}

} // namespace

bool Result::healthy() const
{
    return readable && tailBytes == 0 && overLengthCount == 0 && badFlagCount == 0 && missingAttachmentCount == 0
           && badPositionCount == 0 && outsideAttachmentCount == 0;
}

QList<Result> checkArchives(const QString& programFolder)
{
    QList<Result> results;
    QHash<QString, bool> attachmentExists;
    for (const ArchiveDef* a : kArchives)
        results.append(checkOne(programFolder, *a, attachmentExists));
    for (std::size_t i = 0; i < kArchives.size(); ++i)
        results.append(checkHistory(programFolder, *kArchives[i], results[qsizetype(i)].records));
    return results;
}

QStringList reportLines(const QList<Result>& results)
{
    QStringList lines;
    // An archive with a problem in itself or in its history counts once.
    qsizetype archives = 0;
    for (const Result& r : results)
        archives += r.history ? 0 : 1;
    QList<bool> troubled(archives, false);
    for (qsizetype i = 0; i < results.size(); ++i) {
        const Result& r = results[i];
        const qsizetype owner = r.history ? i - archives : i;
        if (owner >= 0 && owner < archives && r.present && !r.healthy())
            troubled[owner] = true;
    }
    const int problems = int(troubled.count(true));
    for (const Result& r : results) {
        if (!lines.isEmpty())
            lines << QString();
        lines << r.fileName;
        if (r.history) {
            historyLines(lines, r);
            continue;
        }
        if (!r.present) {
            lines << QStringLiteral("  Archivio non presente.");
            continue;
        }
        lines << QStringLiteral("  Dimensione del file: %1 byte").arg(bytesText(r.size));
        lines << QStringLiteral("  Schede: %1 (di %2 byte ciascuna)").arg(bytesText(r.records), bytesText(r.recordSize));
        if (!r.readable) {
            lines << QStringLiteral("  ERRORE: l'archivio non si pu\u00f2 leggere per intero.");
            continue;
        }
        lines << (r.tailBytes == 0
                      ? QStringLiteral("  Scheda incompleta alla fine: nessuna")
                      : QStringLiteral("  Scheda incompleta alla fine: %1 byte dopo la scheda %2")
                            .arg(bytesText(r.tailBytes), bytesText(r.records)));
        listFindings(lines, QStringLiteral("Lunghezze oltre la capacit\u00e0 del campo"), QStringLiteral("nessuna"), r.overLength, r.overLengthCount);
        listFindings(lines, QStringLiteral("Campi S\u00ec/No con altri valori"), QStringLiteral("nessuno"), r.badFlags, r.badFlagCount);
        if (r.fileName == QLatin1String(archives::Pazienti.fileName)) {
            listFindings(lines, QStringLiteral("Documenti allegati mancanti"), QStringLiteral("nessuno"), r.missingAttachments,
                         r.missingAttachmentCount);
            listFindings(lines, QStringLiteral("Documenti allegati fuori dalla cartella Documenti_Allegati"),
                         QStringLiteral("nessuno"), r.outsideAttachments, r.outsideAttachmentCount);
        }
    }
    lines << QString();
    lines << (problems == 0 ? QStringLiteral("Esito: nessun problema trovato negli archivi.")
                            : QStringLiteral("Esito: problemi trovati in %1 su %2.")
                                  .arg(problems == 1 ? QStringLiteral("1 archivio") : QStringLiteral("%1 archivi").arg(problems))
                                  .arg(archives));
    return lines;
}

} // namespace vornel::archivecheck
