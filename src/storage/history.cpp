#include "storage/history.h"

#include "storage/archive.h"
#include "storage/cp1252.h"
#include "storage/filelayer.h"
#include "storage/text.h"

#include <QFileInfo>
#include <QSysInfo>

#include <cstring>

namespace vornel::history {

namespace {
constexpr const ArchiveDef* kArchives[] = {&archives::Pazienti, &archives::Certificati, &archives::Agonistici,
                                           &archives::Disabili, &archives::NonIdoneita};
const QString kSuffix = QStringLiteral("_Storico.vrn");

[[noreturn]] void fail(const QString& path, const QString& why)
{
    throw ArchiveError(QStringLiteral("%1: %2").arg(path, why).toStdString());
}

// The header bytes of a history record.
Record header(qint64 position, const QString& when, const QString& station)
{
    Record h(THistoryHeader);
    h.setText(0, QString::number(position));
    h.setText(1, when);
    h.setText(2, station);
    return h;
}
} // namespace

QString pathFor(const QString& archivePath)
{
    QString p = archivePath;
    if (p.endsWith(QLatin1String(".vrn"), Qt::CaseInsensitive))
        p.chop(4);
    return p + kSuffix;
}

QString fileNameFor(const ArchiveDef& archive)
{
    return pathFor(QString::fromLatin1(archive.fileName));
}

const ArchiveDef* archiveOfHistory(const QString& fileName)
{
    for (const ArchiveDef* a : kArchives)
        if (fileName == fileNameFor(*a))
            return a;
    return nullptr;
}

QString workstationName()
{
    QString name = trimmed(QSysInfo::machineHostName());
    return name.left(kHeaderFields[2].capacity);
}

QByteArray encode(qint64 position, const QDateTime& when, const QString& station, const QByteArray& recordBytes)
{
    const Record h = header(position, when.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")), station);
    return h.bytes() + recordBytes;
}

void append(const QString& historyPath, const QByteArray& historyRecord)
{
    const qint64 size = historyRecord.size();
    files::File file(historyPath);
    // ReadWrite creates a missing file and never empties an existing one.
    if (!file.open(QIODevice::ReadWrite))
        fail(historyPath, file.errorString());
    const qint64 end = file.size() / size * size;
    if (!file.seek(end) || file.write(historyRecord) != size || !file.flush())
        fail(historyPath, file.errorString());
    QString why;
    if (!files::syncToDisk(file, &why))
        fail(historyPath, why);
    file.close();
}

std::vector<Version> versionsOf(const QString& historyPath, const RecordLayout& archive, qint64 position)
{
    std::vector<Version> out;
    if (!QFileInfo::exists(historyPath))
        return out;
    files::File file(historyPath);
    if (!file.open(QIODevice::ReadOnly) || files::faults::hit(files::Op::Read, historyPath))
        fail(historyPath, file.errorString());
    const qint64 size = sizeFor(archive);
    const qint64 count = file.size() / size;
    if (count == 0)
        return out;

    // Only the position field of each record is compared, byte for byte,
    // with the one this record would have: a history of hundreds of
    // megabytes is walked without decoding it.
    const QByteArray wanted = header(position, QString(), QString()).bytes().left(1 + kHeaderFields[0].capacity);
    auto take = [&](const char* rec) {
        Version v;
        v.position = position;
        v.when = fieldText(THistoryHeader, rec, 1);
        v.station = fieldText(THistoryHeader, rec, 2);
        v.bytes = QByteArray(rec + kHeaderSize, archive.size());
        out.push_back(std::move(v));
    };

    if (const uchar* map = file.map(0, count * size)) {
        const char* base = reinterpret_cast<const char*>(map);
        for (qint64 k = 0; k < count; ++k) {
            const char* rec = base + k * size;
            if (std::memcmp(rec, wanted.constData(), size_t(wanted.size())) == 0)
                take(rec);
        }
        file.unmap(const_cast<uchar*>(map));
        return out;
    }
    // Where the file cannot be mapped, each record's position is read alone.
    QByteArray rec(int(size), Qt::Uninitialized);
    for (qint64 k = 0; k < count; ++k) {
        if (!file.seek(k * size) || file.read(rec.data(), wanted.size()) != wanted.size())
            fail(historyPath, file.errorString());
        if (std::memcmp(rec.constData(), wanted.constData(), size_t(wanted.size())) != 0)
            continue;
        if (file.read(rec.data() + wanted.size(), size - wanted.size()) != size - wanted.size())
            fail(historyPath, file.errorString());
        take(rec.constData());
    }
    return out;
}

std::vector<int> changedFields(const RecordLayout& layout, const QByteArray& a, const QByteArray& b)
{
    std::vector<int> out;
    if (a.size() < layout.size() || b.size() < layout.size())
        return out;
    for (int i = 0; i < layout.fieldCount(); ++i)
        if (fieldText(layout, a.constData(), i) != fieldText(layout, b.constData(), i))
            out.push_back(i);
    return out;
}

QString fieldLabel(const RecordLayout& layout, std::string_view field)
{
    struct Label {
        const char* field;
        const char* label;
    };
    static const Label patient[] = {
        {"txtPaziente", "Cognome e nome"}, {"txtDataNasc", "Data di nascita"},
        {"txtComuneNasc", "Comune di nascita"}, {"txtProvNasc", "Prov. di nascita"}, {"txtSesso", "Sesso"},
        {"txtRecapito", "Tel. preferenziale"}, {"txtIndirizzoRes", "Via / Piazza e numero civico"},
        {"txtProvRes", "Prov. di residenza"}, {"txtComuneRes", "Comune di residenza"}, {"txtCapRes", "CAP"},
        {"txtProfessione", "Professione"}, {"txtASL", "ASL"}, {"txtTelCasa", "Tel. casa"},
        {"txtTelUff", "Tel. ufficio"}, {"txtTelCel", "Tel. cellulare"}, {"txtFax", "PEC"}, {"txtEmail", "E-mail"},
        {"txtCodFisc", "Codice fiscale"}, {"txtTessera", "Tessera sanitaria n."}, {"txtGruppo", "Gruppo sanguigno"},
        {"txtPartitaIva", "Partita IVA"}, {"txtVaccinazioni", "Documento di identit\u00e0"},
        {"txtPatologie", "Patologie"}, {"txtAllergie", "Allergie e intolleranze"},
        {"txtFarmaci", "Farmaci assunti"}, {"txtInterventi", "Interventi subiti"}, {"txtProtesi", "Protesi"},
        {"txtHandicap", "Handicap psicomotori"}, {"txtQuestioni", "Questioni in sospeso"}, {"txtNote", "Note"},
        {"chkRicontatta", "Da ricontattare"}, {"lblFile01", "File allegato 1"}, {"lblFile02", "File allegato 2"},
        {"lblFile03", "File allegato 3"}, {"lblDesc01", "Descrizione file 1"},
        {"lblDesc02", "Descrizione file 2"}, {"lblDesc03", "Descrizione file 3"},
    };
    static const Label certificate[] = {
        {"txtStudioDent", "Studio medico"}, {"txtIndirizzoDent", "Via e numero civico"}, {"txtCapDent", "CAP"},
        {"txtCittaDent", "Comune sede legale"}, {"txtProvDent", "Prov."}, {"txtTelDent", "Recapiti telefonici"},
        {"txtIvaDent", "Partita IVA"}, {"txtCodFiscDent", "Codice fiscale"}, {"txtLibero", "Campo libero"},
        {"txtMedico", "Medico certificatore"}, {"txtCodice", "Codice identificativo"}, {"txtRegione", "Regione"},
        {"txtPaziente", "Cognome e nome"}, {"txtLuogoNasc", "Luogo di nascita"},
        {"txtDataNasc", "Data di nascita"}, {"txtResidenza", "Residenza"}, {"txtDataECG", "Data ECG"},
        {"txtDocumento", "Documento di identit\u00e0"}, {"txtSportRichiesto", "Sport richiesto"},
        {"txtSportApprovato", "Sport approvato"}, {"txtNumMesi", "Valido per mesi"},
        {"txtDataScade", "Data scadenza"}, {"txtLuogo", "Luogo"}, {"txtData", "Data"},
        {"chkCompletato", "Completato"},
    };
    if (&layout == &layouts::TSchedaNonIdoneita && field == "txtSportApprovato")
        return QStringLiteral("Non idoneo per");
    const bool patients = &layout == &layouts::TSchedaPaziente;
    for (const Label& l : patients ? std::span<const Label>(patient) : std::span<const Label>(certificate))
        if (field == l.field)
            return QString::fromUtf8(l.label);
    return QString::fromLatin1(field.data(), qsizetype(field.size()));
}

} // namespace vornel::history
