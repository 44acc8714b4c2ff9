#include "patients/core/patientsheet.h"

#include "documents/layout_scheda.h"
#include "storage/clock.h"
#include "storage/text.h"

namespace vornel::patientsheet {

namespace {
// A row's value: card fields (trimmed) and fixed separators, in order.
struct Part {
    bool field = false;
    const char* text = nullptr; // nullptr: no more parts
};
struct RowDef {
    const char* title;
    Part parts[3];
};
constexpr Part F(const char* name) { return {true, name}; }
constexpr Part S(const char* text) { return {false, text}; }

const RowDef kRows[] = {
    {"Cognome e nome:", {F("txtPaziente")}},
    {"Data di nascita:", {F("txtDataNasc")}},
    {"Comune di nascita:", {F("txtComuneNasc"), S(" "), F("txtProvNasc")}},
    {"Sesso:", {F("txtSesso"), S("   -   ASL: "), F("txtASL")}},
    {"Tel. preferenziale:", {F("txtRecapito")}},
    {"Indirizzo di residenza:", {F("txtIndirizzoRes")}},
    {"Comune di residenza:", {F("txtComuneRes"), S(" "), F("txtProvRes")}},
    {"Professione:", {F("txtProfessione")}},
    {"Tel. casa:", {F("txtTelCasa")}},
    {"Tel. ufficio:", {F("txtTelUff")}},
    {"Tel. cellulare:", {F("txtTelCel")}},
    {"PEC:", {F("txtFax")}},
    {"E-mail:", {F("txtEmail")}},
    {"Codice fiscale:", {F("txtCodFisc")}},
    {"Partita IVA:", {F("txtPartitaIva")}},
    {"Documento di identit\u00e0:", {F("txtVaccinazioni")}},
    {"Patologie:", {F("txtPatologie")}},
    {"Allergie e intolleranze:", {F("txtAllergie")}},
    {"Farmaci assunti:", {F("txtFarmaci")}},
    {"Interventi subiti:", {F("txtInterventi")}},
    {"Protesi:", {F("txtProtesi")}},
    {"Handicap psicomotori:", {F("txtHandicap")}},
    {"Questioni in sospeso:", {F("txtQuestioni")}},
    {"Note:", {F("txtNote")}},
};
} // namespace

QList<Row> rows(const ControlText& text)
{
    QList<Row> out;
    out.reserve(std::size(kRows));
    for (const RowDef& def : kRows) {
        QString value;
        for (const Part& p : def.parts) {
            if (!p.text)
                break;
            value += p.field ? trimmed(text(QString::fromLatin1(p.text))) : QString::fromLatin1(p.text);
        }
        out.append({QString::fromUtf8(def.title), value});
    }
    return out;
}

QString title()
{
    return QStringLiteral("SCHEDA ANAGRAFICA PAZIENTE");
}

QString closing(const QDateTime& now)
{
    return QStringLiteral("Stampa eseguita in data %1 alle ore %2")
        .arg(clock::shortDate(now.date()), clock::timeText(now.time()));
}

void fill(report::Document& doc, const ControlText& text, const QDateTime& now)
{
    doc.page().setOrientation(report::Orientation::Portrait);
    const QList<Row> all = rows(text);
    for (int n = 1; n <= all.size(); ++n) {
        doc.memo(layouts::schedaTitleMemo(n)).setText(all[n - 1].title);
        doc.memo(layouts::schedaValueMemo(n)).setText(all[n - 1].value);
    }
    doc.memo(QStringLiteral("txtTitolo")).setText(title());
    doc.memo(QStringLiteral("txtCalce")).setText(closing(now));
}

} // namespace vornel::patientsheet
