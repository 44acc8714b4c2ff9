#include "documents/certificate_fill.h"

#include "storage/text.h"

namespace vornel::certificates {

using layouts::CertificateKind;

QList<FilledMemo> certificateTexts(CertificateKind kind, const ControlReader& read)
{
    auto t = [&](const char* control) { return trimmed(read(QString::fromLatin1(control))); };
    const bool competitive = kind != CertificateKind::NonAgonistico;
    const bool validity = kind == CertificateKind::Agonistico || kind == CertificateKind::Disabili;

    QList<FilledMemo> out;
    auto add = [&](const char* memo, const QString& text) { out.append({QString::fromLatin1(memo), text}); };
    // The letterhead.
    add("txtStudioDent", t("txtStudioDent"));
    add("txtIndirizzoDent", t("txtIndirizzoDent") + QStringLiteral("  -  ") + t("txtCapDent") + QLatin1Char(' ')
                                + t("txtCittaDent") + QLatin1Char(' ') + t("txtProvDent"));
    add("txtTelDent", t("txtTelDent"));
    add("txtIvaDent",
        QStringLiteral("Partita IVA: ") + t("txtIvaDent") + QStringLiteral("  -  Codice Fiscale: ") + t("txtCodFiscDent"));
    add("txtLibero", t("txtLibero"));
    // The physician.
    add("txtMedico", t("txtMedico"));
    add("txtCodice", t("txtCodice"));
    if (competitive)
        add("txtRegione",
            QStringLiteral("Regione:  ") + t("txtRegione") + QStringLiteral("  -  Servizio di Medicina dello Sport"));
    // The person and the certificate's body.
    for (const char* name : {"txtPaziente", "txtDataNasc", "txtLuogoNasc", "txtResidenza"})
        add(name, t(name));
    if (!competitive)
        add("txtDataECG", t("txtDataECG"));
    else
        for (const char* name : {"txtDocumento", "txtSportRichiesto", "txtSportApprovato"})
            add(name, t(name));
    if (validity)
        for (const char* name : {"txtNumMesi", "txtDataScade"})
            add(name, t(name));
    // Place and date of issue.
    add("txtData", t("txtLuogo") + QStringLiteral(", ") + t("txtData"));
    return out;
}

void fillCertificate(report::Document& doc, CertificateKind kind, const ControlReader& read)
{
    doc.page().setOrientation(report::Orientation::Portrait);
    for (const FilledMemo& f : certificateTexts(kind, read))
        doc.memo(f.memo).setText(f.text);
}

} // namespace vornel::certificates
