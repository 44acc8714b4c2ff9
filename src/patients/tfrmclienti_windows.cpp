// The windows the patient card opens: attachments, the patient folder, the
// tax code and VAT number checks, the privacy consent, the patient search and
// the recontact summary. Each is created for one use, filled through its
// named controls, shown modally and destroyed.
#include "patients/tfrmclienti.h"

#include "app/messages.h"
#include "patients/attachments.h"
#include "patients/checks.h"
#include "patients/fieldtext.h"
#include "patients/patientsearch.h"
#include "patients/privacy.h"
#include "storage/clock.h"
#include "storage/text.h"
#include "export/exportwindows.h"

using namespace vornel;

namespace {

// Writes a text into the dialog's control of that name.
void put(QWidget* dialog, const QString& name, const QString& text)
{
    fields::setText(dialog->findChild<QWidget*>(name), text);
}

bool onlyDigits(const QString& s)
{
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

void TfrmClienti::cmdFileClick()
{
    TfrmAllegaCartella dialog(this);
    put(&dialog, QStringLiteral("lblMemory"), QStringLiteral("clienti"));
    const QLabel* files[] = {lblFile01, lblFile02, lblFile03};
    const QLabel* descriptions[] = {lblDesc01, lblDesc02, lblDesc03};
    for (int i = 0; i < 3; ++i) {
        put(&dialog, QStringLiteral("txtFile0%1").arg(i + 1), trimmed(files[i]->text()));
        put(&dialog, QStringLiteral("txtDesc0%1").arg(i + 1), trimmed(descriptions[i]->text()));
    }
    dialog.exec();
}

void TfrmClienti::cmdCartellaClick()
{
    const QString position = trimmed(lblPosizione->text());
    if (position.isEmpty()) {
        msg::warning(this, QStringLiteral("Attenzione: l'associazione di una cartella ad un paziente pu\u00f2 avvenire "
                                          "soltanto dopo che la scheda \u00e8 stata inserita in archivio."));
        return;
    }
    TfrmCartella dialog(this);
    put(&dialog, QStringLiteral("lblMemory"), position);
    dialog.exec();
}

void TfrmClienti::btnCodFiscClick()
{
    // A tax code made only of digits is a company's, that is its VAT number.
    const QString code = trimmed(txtCodFisc->text());
    if (!code.isEmpty() && onlyDigits(code)) {
        TfrmPartitaIva dialog(this);
        put(&dialog, QStringLiteral("txtPartitaIva"), code);
        dialog.exec();
        return;
    }
    TfrmCodFisc dialog(this);
    put(&dialog, QStringLiteral("txtCodFisc"), code);
    dialog.exec();
}

void TfrmClienti::btnPartitaIvaClick()
{
    TfrmPartitaIva dialog(this);
    put(&dialog, QStringLiteral("txtPartitaIva"), trimmed(txtPartitaIva->text()));
    dialog.exec();
}

void TfrmClienti::btnPrivacyClick()
{
    TfrmPrivacy dialog(this);
    for (QWidget* field : QList<QWidget*>{txtPaziente, txtComuneNasc, txtProvNasc, txtDataNasc, txtComuneRes,
                                          txtProvRes, txtCapRes, txtCodFisc, txtRecapito})
        put(&dialog, field->objectName(), trimmed(fields::text(field)));
    put(&dialog, QStringLiteral("txtIndirizzo"), trimmed(txtIndirizzoRes->text()));
    put(&dialog, QStringLiteral("txtData"), clock::shortDate(clock::today()));
    dialog.exec();
}

void TfrmClienti::cmdTrovaClick()
{
    patients::openPatientSearch(this, QStringLiteral("clienti"));
}

void TfrmClienti::cmdRicontattaClick()
{
    patients::openRecontactList(this);
}

void TfrmClienti::cmdEsportaClick()
{
    TfrmExpClienti window(this);
    window.exec();
}
