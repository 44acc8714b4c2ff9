// Printing the patient card on paper and to "Paziente.pdf" through the
// report engine, from the card's controls as they stand.
#include "patients/tfrmclienti.h"

#include "app/messages.h"
#include "app/shell.h"
#include "documents/layout_scheda.h"
#include "patients/core/patientsheet.h"
#include "patients/fieldtext.h"
#include "storage/clock.h"
#include "storage/filelayer.h"
#include "storage/programfolder.h"
#include "app/reportui.h"

#include <QTemporaryDir>

using namespace vornel;

namespace {

report::Document preparedSheet(const TfrmClienti* card)
{
    report::Document doc = report::Document::fromLayout(layouts::scheda());
    patientsheet::fill(
        doc, [card](const QString& name) { return fields::text(card->field(name)); }, clock::now());
    doc.prepare();
    return doc;
}

} // namespace

void TfrmClienti::cmdStampaClick()
{
    // An engine failure is shown with its own text; the card stays as it is.
    try {
        report::Document doc = preparedSheet(this);
        printing::print(this, doc);
    } catch (const report::ReportError& e) {
        msg::error(this, e.message());
    }
}

void TfrmClienti::cmdPDFClick()
{
    const QString path = programPath(QStringLiteral("Paziente.pdf"));
    try {
        const report::Document doc = preparedSheet(this);
        report::PdfSettings settings;
        settings.title = QStringLiteral("Scheda informativa");
        settings.subject = QStringLiteral("Scheda informativa");
        // Made aside and then put in place whole, so a failure leaves an
        // earlier "Paziente.pdf" as it was.
        const QTemporaryDir scratch;
        const QString made = scratch.filePath(QStringLiteral("scheda.pdf"));
        if (!scratch.isValid())
            throw report::ReportError(QStringLiteral("Impossibile scrivere il file \"%1\".").arg(path));
        doc.exportPdf(made, settings);
        try {
            files::copyReplacing(made, path);
        } catch (const files::FileError&) {
            throw report::ReportError(QStringLiteral("Impossibile scrivere il file \"%1\".").arg(path));
        }
    } catch (const report::ReportError& e) {
        msg::error(this, e.message());
        return;
    }
    if (msg::confirm(this, QStringLiteral("L'esportazione della scheda in PDF \u00e8 terminata con successo.\r\n\r\n"
                                          "Si vuole aprire il file?")))
        TMisc::OpenFile(this, path);
}
