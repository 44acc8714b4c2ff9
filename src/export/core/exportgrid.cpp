#include "export/core/exportgrid.h"

#include "storage/archive.h"
#include "storage/cp1252.h"

#include <array>

namespace vornel::exporting {

namespace {

// The first six columns of the three athlete certificates.
#define ATHLETE_COLUMNS \
    {"colPaziente", "Paziente", 220, false, "txtPaziente", nullptr, nullptr, "Paziente", 250}, \
    {"colComuneNasc", "Luogo di nascita", 220, false, "txtLuogoNasc", nullptr, nullptr, "Luogo di nascita", 250}, \
    {"colDataNasc", "Data di nascita", 140, false, "txtDataNasc", nullptr, nullptr, "Data di nascita", 200}, \
    {"colResidenza", "Indirizzo di residenza", 350, true, "txtResidenza", nullptr, nullptr, \
     "Indirizzo di residenza", 420}, \
    {"colDocumento", "Documento di identità", 350, true, "txtDocumento", nullptr, nullptr, \
     "Documento di identità", 420}, \
    {"colSportRichiesto", "Sport per cui si richiede certificato", 350, true, "txtSportRichiesto", nullptr, \
     nullptr, "Sport per cui si richiede certificato", 400}

const std::array<ColumnDef, 8> kCertificatiColumns{{
    {"colPaziente", "Paziente", 220, false, "txtPaziente", nullptr, nullptr, "Paziente", 250},
    {"colComuneNasc", "Luogo di nascita", 220, false, "txtLuogoNasc", nullptr, nullptr, "Luogo di nascita", 250},
    {"colDataNasc", "Data di nascita", 140, false, "txtDataNasc", nullptr, nullptr, "Data di nascita", 200},
    {"colResidenza", "Indirizzo di residenza", 350, true, "txtResidenza", nullptr, nullptr, "Indirizzo di residenza",
     420},
    {"colDataECG", "Data ECG", 140, false, "txtDataECG", nullptr, nullptr, "Data ECG", 200},
    {"colMedico", "Medico certificatore", 220, false, "txtMedico", nullptr, nullptr, "Medico certificatore", 250},
    {"colData", "Data emissione", 140, true, "txtData", nullptr, nullptr, "Data emissione", 200},
    {"colCompletato", "Completato", 100, false, "chkCompletato", nullptr, nullptr, "Completato", 180},
}};

const std::array<ColumnDef, 9> kNonIdoneitaColumns{{
    ATHLETE_COLUMNS,
    {"colSportApprovato", "Motivazione non idoneità", 350, false, "txtSportApprovato", nullptr, nullptr,
     "Motivazione non idoneità", 400},
    {"colData", "Data emissione", 140, true, "txtData", nullptr, nullptr, "Data emissione", 200},
    {"colCompletato", "Completato", 100, false, "chkCompletato", nullptr, nullptr, "Completato", 180},
}};

const std::array<ColumnDef, 10> kAgonisticaColumns{{
    ATHLETE_COLUMNS,
    {"colSportApprovato", "Sport approvato", 350, false, "txtSportApprovato", nullptr, nullptr, "Sport approvato",
     400},
    {"colDataScade", "Data scadenza", 140, false, "txtDataScade", nullptr, nullptr, "Data scadenza", 200},
    {"colData", "Data emissione", 140, true, "txtData", nullptr, nullptr, "Data emissione", 200},
    {"colCompletato", "Completato", 100, false, "chkCompletato", nullptr, nullptr, "Completato", 180},
}};
#undef ATHLETE_COLUMNS

const std::array<ColumnDef, 25> kPazientiColumns{{
    {"colPaziente", "Paziente", 220, false, "txtPaziente", nullptr, nullptr, "Paziente", 250},
    {"colDataNasc", "Data di nascita", 120, false, "txtDataNasc", nullptr, nullptr, "Data di nascita", 200},
    {"colComuneNasc", "Comune / Stato estero di nascita", 220, false, "txtComuneNasc", " ", "txtProvNasc",
     "Comune di nascita", 250},
    {"colRecapito", "Tel. preferenziale", 150, false, "txtRecapito", nullptr, nullptr, "Tel. preferenziale", 250},
    {"colIndirizzoRes", "Indirizzo di residenza", 250, false, "txtIndirizzoRes", nullptr, nullptr,
     "Indirizzo di residenza", 300},
    {"colComuneRes", "Comune di residenza", 220, true, "txtComuneRes", " ", "txtProvRes", "Comune di residenza",
     250},
    {"colProfessione", "Professione", 220, false, "txtProfessione", nullptr, nullptr, "Professione", 250},
    {"colTelCasa", "Tel. casa", 200, false, "txtTelCasa", nullptr, nullptr, "Tel. casa", 250},
    {"colTelUff", "Tel. ufficio", 200, false, "txtTelUff", nullptr, nullptr, "Tel. ufficio", 250},
    {"colTelCel", "Tel. cellulare", 200, false, "txtTelCel", nullptr, nullptr, "Tel. cellulare", 250},
    {"colFax", "PEC", 250, false, "txtFax", nullptr, nullptr, "PEC", 250},
    {"colEmail", "E-mail", 250, false, "txtEmail", nullptr, nullptr, "E-mail", 250},
    {"colCodFisc", "Codice fiscale", 150, false, "txtCodFisc", nullptr, nullptr, "Codice fiscale", 250},
    {"colPartitaIva", "Partita IVA", 150, true, "txtPartitaIva", nullptr, nullptr, "Partita IVA", 250},
    {"colTessera", "Tessera sanitaria n.", 250, false, "txtTessera", " - Gruppo: ", "txtGruppo",
     "Tessera sanitaria n.", 400},
    {"colASL", "ASL", 220, true, "txtASL", nullptr, nullptr, "ASL", 250},
    {"colVaccinazioni", "Documento di identità", 300, true, "txtVaccinazioni", nullptr, nullptr,
     "Documento di identità", 400},
    {"colPatologie", "Patologie", 300, true, "txtPatologie", nullptr, nullptr, "Patologie", 400},
    {"colAllergie", "Allergie e intolleranze", 300, true, "txtAllergie", nullptr, nullptr, "Allergie e intolleranze",
     400},
    {"colFarmaci", "Farmaci assunti", 300, false, "txtFarmaci", nullptr, nullptr, "Farmaci assunti", 400},
    {"colInterventi", "Interventi subiti", 300, true, "txtInterventi", nullptr, nullptr, "Interventi subiti", 400},
    {"colProtesi", "Protesi", 300, false, "txtProtesi", nullptr, nullptr, "Protesi", 400},
    {"colHandicap", "Handicap psicomotori", 300, false, "txtHandicap", nullptr, nullptr, "Handicap psicomotori",
     400},
    {"colQuestioni", "Questioni in sospeso", 300, true, "txtQuestioni", nullptr, nullptr, "Questioni in sospeso",
     400},
    {"colNote", "Note", 350, true, "txtNote", nullptr, nullptr, "Note", 400},
}};

const QString kNumName = QStringLiteral("colNum");

// The text bytes of a field: length byte, then the text, trimmed as every
// stored text is read.
inline void fieldBytes(const char* record, int offset, int capacity, const char*& data, qsizetype& n)
{
    const int length = qMin(int(static_cast<unsigned char>(record[offset])), capacity);
    data = record + offset + 1;
    qsizetype b = 0, e = length;
    while (b < e && static_cast<unsigned char>(data[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(data[e - 1]) <= 32)
        --e;
    data += b;
    n = e - b;
}

} // namespace

const ExportDef kCertificati{" Esporta archivio certificati medici non agonistici in Excel", &archives::Certificati,
                             "Certificati_Non_Agonistici.xls", "Certificati Medici Non Agonistici",
                             help::ExportKind::NonCompetitive, kCertificatiColumns};
const ExportDef kCertificatiNon{" Esporta archivio certificati medici di non idoneità agonistica in Excel",
                                &archives::NonIdoneita, "Certificati_Non_Idoneita.xls",
                                "Certificati Non Idoneita Agonistica", help::ExportKind::NonFitness,
                                kNonIdoneitaColumns};
const ExportDef kCertificatiAgo{" Esporta archivio certificati medici agonistici in Excel", &archives::Agonistici,
                                "Certificati_Agonistici.xls", "Certificati Medici Agonistici",
                                help::ExportKind::Competitive, kAgonisticaColumns};
const ExportDef kCertificatiDis{" Esporta archivio certificati medici agonistici per disabili in Excel",
                                &archives::Disabili, "Certificati_Disabili.xls", "Certificati Agonistici Disabili",
                                help::ExportKind::Disabled, kAgonisticaColumns};
const ExportDef kClienti{" Esporta archivio pazienti in Excel", &archives::Pazienti, "Pazienti.xls",
                         "Archivio Pazienti", help::ExportKind::Patients, kPazientiColumns};

ExportGrid::ExportGrid(const ExportDef& def, QObject* parent)
    : QAbstractTableModel(parent), m_def(def), m_columns(int(def.columns.size()))
{
    const RecordLayout& layout = *def.archive->layout;
    for (const ColumnDef& c : def.columns) {
        Source s;
        const int first = layout.indexOf(std::string_view(c.field));
        Q_ASSERT(first >= 0);
        s.offset = layout.offsetOf(first);
        s.capacity = layout.fields()[std::size_t(first)].capacity;
        if (c.second) {
            const int second = layout.indexOf(std::string_view(c.second));
            Q_ASSERT(second >= 0);
            s.offset2 = layout.offsetOf(second);
            s.capacity2 = layout.fields()[std::size_t(second)].capacity;
            s.separator = cp1252::encode(QString::fromUtf8(c.separator));
        }
        m_sources.push_back(s);
    }
}

int ExportGrid::columnOf(QStringView name) const
{
    if (name == kNumName)
        return 0;
    for (int c = 0; c < m_columns; ++c)
        if (name == QLatin1String(m_def.columns[std::size_t(c)].name))
            return c + 1;
    return -1;
}

QString ExportGrid::columnName(int column) const
{
    if (column == 0)
        return kNumName;
    return QString::fromLatin1(m_def.columns[std::size_t(column - 1)].name);
}

void ExportGrid::load(const Progress& progress)
{
    beginResetModel();
    m_rows = kEmptyRows;
    m_filled = 0;
    m_text.clear();
    m_offsets.clear();
    m_typed.clear();
    Archive archive(*m_def.archive);
    try {
        archive.open();
        const qint64 total = archive.count();
        if (total > 0) {
            m_rows = total;
            m_offsets.reserve(std::size_t(total * m_columns + 1));
            // A first guess at the text; squeezed once the archive is read.
            m_text.reserve(qsizetype(qMin<qint64>(total * m_columns * 12, qint64(1) << 30)));
            m_offsets.push_back(0);
            archive.scan([&](const char* record, qint64 index) {
                for (const Source& s : m_sources) {
                    const char* data;
                    qsizetype n;
                    fieldBytes(record, s.offset, s.capacity, data, n);
                    m_text.append(data, n);
                    if (s.offset2 >= 0) {
                        m_text.append(s.separator);
                        fieldBytes(record, s.offset2, s.capacity2, data, n);
                        m_text.append(data, n);
                    }
                    m_offsets.push_back(m_text.size());
                }
                m_filled = index + 1;
                if (progress && (m_filled & 1023) == 0)
                    progress(m_filled, total);
            });
            if (progress)
                progress(total, total);
        }
        archive.close();
    } catch (const ArchiveError&) {
        // Silent: the rows read so far stay, the others stay empty.
        archive.close();
    }
    m_text.squeeze();
    endResetModel();
}

xls::Cell ExportGrid::cell(qint64 r, int c) const
{
    if (!m_typed.isEmpty()) {
        const auto it = m_typed.constFind(key(r, c));
        if (it != m_typed.constEnd())
            return xls::Cell::fromText(*it);
    }
    if (r >= m_filled)
        return xls::Cell::fromBytes(nullptr, 0);
    const std::size_t i = std::size_t(r * m_columns + c);
    const qint64 start = m_offsets[i];
    return xls::Cell::fromBytes(m_text.constData() + start, m_offsets[i + 1] - start);
}

xls::Sheet ExportGrid::sheet() const
{
    xls::Sheet s;
    s.name = QString::fromUtf8(m_def.sheetName);
    for (const ColumnDef& c : m_def.columns)
        s.columns.append({QString::fromUtf8(c.heading), c.fileWidth});
    s.rows = m_rows;
    s.cell = [this](qint64 r, int c) { return cell(r, c); };
    return s;
}

qint64 ExportGrid::memoryBytes() const
{
    qint64 typed = 0;
    for (auto it = m_typed.constBegin(); it != m_typed.constEnd(); ++it)
        typed += qint64(sizeof(quint64) + sizeof(QString)) + it->capacity() * 2;
    return m_text.capacity() + qint64(m_offsets.capacity() * sizeof(qint64)) + typed;
}

int ExportGrid::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows);
}

int ExportGrid::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columns + 1;
}

QVariant ExportGrid::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const qint64 r = index.row();
    if (index.column() == 0)
        return r < m_filled ? QString::number(r + 1) : QString();
    const xls::Cell c = cell(r, index.column() - 1);
    if (c.isText)
        return c.text.toString();
    return cp1252::decode(c.bytes, c.size);
}

QVariant ExportGrid::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > m_columns)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == 0)
        return QStringLiteral("N.");
    return QString::fromUtf8(m_def.columns[std::size_t(section - 1)].title);
}

Qt::ItemFlags ExportGrid::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() > 0 && m_def.columns[std::size_t(index.column() - 1)].editable)
        f |= Qt::ItemIsEditable;
    return f;
}

bool ExportGrid::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    m_typed.insert(key(index.row(), index.column() - 1), value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

} // namespace vornel::exporting
