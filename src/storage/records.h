#pragma once
#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <span>
#include <string_view>

// Fixed-size archive records: a sequence of text fields, each one length byte
// followed by 'capacity' Windows-1252 bytes. A field is named after the window
// control that shows it.
namespace vornel {

struct FieldDef {
    std::string_view name;
    int capacity;
};

template <std::size_t N>
constexpr int recordSize(const std::array<FieldDef, N>& fields)
{
    int size = 0;
    for (const FieldDef& f : fields)
        size += f.capacity + 1;
    return size;
}

class RecordLayout {
public:
    template <std::size_t N>
    constexpr RecordLayout(std::string_view name, const std::array<FieldDef, N>& fields)
        : m_name(name), m_fields(fields.data(), N), m_size(recordSize(fields))
    {
        static_assert(N <= kMaxFields);
        int offset = 0;
        for (std::size_t i = 0; i < N; ++i) {
            m_offsets[i] = offset;
            offset += fields[i].capacity + 1;
        }
    }
    static constexpr std::size_t kMaxFields = 48;
    std::string_view name() const { return m_name; }
    std::span<const FieldDef> fields() const { return m_fields; }
    int fieldCount() const { return int(m_fields.size()); }
    int size() const { return m_size; }
    // Byte offset of field i from the start of the record.
    int offsetOf(int i) const { return m_offsets[std::size_t(i)]; }
    // Index of the field of that name, or -1.
    int indexOf(std::string_view name) const;
    int indexOf(QStringView name) const;

private:
    std::string_view m_name;
    std::span<const FieldDef> m_fields;
    int m_size;
    std::array<int, kMaxFields> m_offsets{};
};

namespace layouts {
// Non-competitive certificate: "Certificati.vrn".
inline constexpr std::array<FieldDef, 19> kCertificatoFields{{
    {"txtStudioDent", 250}, {"txtIndirizzoDent", 250}, {"txtCapDent", 5}, {"txtCittaDent", 120},
    {"txtProvDent", 2}, {"txtTelDent", 250}, {"txtIvaDent", 11}, {"txtCodFiscDent", 16},
    {"txtLibero", 250}, {"txtMedico", 50}, {"txtCodice", 50}, {"txtPaziente", 50},
    {"txtLuogoNasc", 250}, {"txtDataNasc", 10}, {"txtResidenza", 250}, {"txtDataECG", 10},
    {"txtLuogo", 120}, {"txtData", 10}, {"chkCompletato", 2},
}};
// Non-fitness certificate: "Certificati_Non_Idoneita.vrn".
inline constexpr std::array<FieldDef, 22> kNonIdoneitaFields{{
    {"txtStudioDent", 250}, {"txtIndirizzoDent", 250}, {"txtCapDent", 5}, {"txtCittaDent", 120},
    {"txtProvDent", 2}, {"txtTelDent", 250}, {"txtIvaDent", 11}, {"txtCodFiscDent", 16},
    {"txtLibero", 250}, {"txtMedico", 50}, {"txtCodice", 50}, {"txtRegione", 120},
    {"txtPaziente", 50}, {"txtLuogoNasc", 250}, {"txtDataNasc", 10}, {"txtResidenza", 250},
    {"txtDocumento", 250}, {"txtSportRichiesto", 250}, {"txtSportApprovato", 250},
    {"txtLuogo", 120}, {"txtData", 10}, {"chkCompletato", 2},
}};
// Competitive certificate, also for disabled athletes.
inline constexpr std::array<FieldDef, 24> kAgonisticaFields{{
    {"txtStudioDent", 250}, {"txtIndirizzoDent", 250}, {"txtCapDent", 5}, {"txtCittaDent", 120},
    {"txtProvDent", 2}, {"txtTelDent", 250}, {"txtIvaDent", 11}, {"txtCodFiscDent", 16},
    {"txtLibero", 250}, {"txtMedico", 50}, {"txtCodice", 50}, {"txtRegione", 120},
    {"txtPaziente", 50}, {"txtLuogoNasc", 250}, {"txtDataNasc", 10}, {"txtResidenza", 250},
    {"txtDocumento", 250}, {"txtSportRichiesto", 250}, {"txtSportApprovato", 250},
    {"txtNumMesi", 50}, {"txtDataScade", 10}, {"txtLuogo", 120}, {"txtData", 10},
    {"chkCompletato", 2},
}};
// Patient: "Pazienti.vrn".
inline constexpr std::array<FieldDef, 37> kPazienteFields{{
    {"txtPaziente", 50}, {"txtDataNasc", 30}, {"txtComuneNasc", 50}, {"txtProvNasc", 2},
    {"txtSesso", 1}, {"txtRecapito", 50}, {"txtIndirizzoRes", 50}, {"txtProvRes", 2},
    {"txtComuneRes", 50}, {"txtCapRes", 5}, {"txtProfessione", 50}, {"txtASL", 50},
    {"txtTelCasa", 30}, {"txtTelUff", 30}, {"txtTelCel", 30}, {"txtFax", 30},
    {"txtEmail", 50}, {"txtCodFisc", 16}, {"txtTessera", 50}, {"txtGruppo", 10},
    {"txtPartitaIva", 11}, {"txtVaccinazioni", 250}, {"txtPatologie", 250}, {"txtAllergie", 250},
    {"txtFarmaci", 250}, {"txtInterventi", 250}, {"txtProtesi", 250}, {"txtHandicap", 250},
    {"txtQuestioni", 250}, {"txtNote", 250}, {"chkRicontatta", 2}, {"lblFile01", 250},
    {"lblFile02", 250}, {"lblFile03", 250}, {"lblDesc01", 250}, {"lblDesc02", 250},
    {"lblDesc03", 250},
}};

static_assert(recordSize(kCertificatoFields) == 1975);
static_assert(recordSize(kNonIdoneitaFields) == 2838);
static_assert(recordSize(kAgonisticaFields) == 2900);
static_assert(recordSize(kPazienteFields) == 4436);

inline constexpr RecordLayout TSchedaCertificato{"TSchedaCertificato", kCertificatoFields};
inline constexpr RecordLayout TSchedaNonIdoneita{"TSchedaNonIdoneita", kNonIdoneitaFields};
inline constexpr RecordLayout TSchedaAgonistica{"TSchedaAgonistica", kAgonisticaFields};
inline constexpr RecordLayout TSchedaPaziente{"TSchedaPaziente", kPazienteFields};
} // namespace layouts

// The five archives of the program folder.
struct ArchiveDef {
    const char* fileName;
    const RecordLayout* layout;
};
namespace archives {
inline constexpr ArchiveDef Pazienti{"Pazienti.vrn", &layouts::TSchedaPaziente};
inline constexpr ArchiveDef Certificati{"Certificati.vrn", &layouts::TSchedaCertificato};
inline constexpr ArchiveDef Agonistici{"Certificati_Agonistici.vrn", &layouts::TSchedaAgonistica};
inline constexpr ArchiveDef Disabili{"Certificati_Disabili.vrn", &layouts::TSchedaAgonistica};
inline constexpr ArchiveDef NonIdoneita{"Certificati_Non_Idoneita.vrn", &layouts::TSchedaNonIdoneita};
} // namespace archives

// The yes/no flag texts.
inline const QString kFlagYes = QStringLiteral("S\u00ec");
inline const QString kFlagNo = QStringLiteral("No");

// One record's bytes, read and written field by field.
class Record {
public:
    explicit Record(const RecordLayout& layout);
    Record(const RecordLayout& layout, const char* bytes);

    const RecordLayout& layout() const { return *m_layout; }
    const QByteArray& bytes() const { return m_bytes; }
    void setBytes(const char* bytes);
    void clear();

    // Field text converted from Windows-1252 and trimmed.
    QString text(int field) const;
    QString text(std::string_view name) const;
    QString text(QStringView name) const;
    // Stores the trimmed text, '?' for characters Windows-1252 lacks, cut to
    // the field's capacity; the bytes after the text are zeroed.
    void setText(int field, QStringView value);
    void setText(std::string_view name, QStringView value);

    // "Sì" -> true, "No" -> false, anything else -> no value.
    std::optional<bool> flag(std::string_view name) const;
    void setFlag(std::string_view name, bool yes);

private:
    int require(std::string_view name) const;

    const RecordLayout* m_layout;
    QByteArray m_bytes;
};

// Decodes field 'field' of a raw record without building a Record.
QString fieldText(const RecordLayout& layout, const char* record, int field);

// Every field of a raw record decoded and trimmed into one reusable buffer:
// a scan decodes each record into the same RecordText, so reading a large
// archive allocates nothing per record or per field.
class RecordText {
public:
    void decode(const RecordLayout& layout, const char* record);
    QStringView field(int i) const
    {
        return QStringView(m_text).mid(m_start[std::size_t(i)], m_start[std::size_t(i) + 1] - m_start[std::size_t(i)]);
    }
    QStringView field(std::string_view name) const;

private:
    const RecordLayout* m_layout = nullptr;
    QString m_text;
    std::array<int, RecordLayout::kMaxFields + 1> m_start{};
};

} // namespace vornel
