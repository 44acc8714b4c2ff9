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

namespace {
const char* fileKind(CertificateKind kind)
{
    switch (kind) {
    case CertificateKind::NonAgonistico: return "Certificato_Non_Agonistico";
    case CertificateKind::Agonistico: return "Certificato_Agonistico";
    case CertificateKind::Disabili: return "Certificato_Agonistico_Disabili";
    case CertificateKind::NonIdoneita: return "Certificato_Non_Idoneita";
    }
    return "Certificato";
}

// One part of a file name: each run of blanks and each character no file
// system takes (control characters, \ / : * ? " < > |) becomes "_".
QString fileNamePart(const QString& text)
{
    QString out;
    bool blank = false;
    for (const QChar c : trimmed(text)) {
        if (c == QLatin1Char(' ')) {
            if (!blank)
                out += QLatin1Char('_');
            blank = true;
            continue;
        }
        blank = false;
        const bool forbidden = c.unicode() < 32 || c.unicode() == 127 || QStringLiteral("\\/:*?\"<>|").contains(c);
        out += forbidden ? QChar(QLatin1Char('_')) : c;
    }
    // Windows drops dots at the end of a name part; none is left there.
    while (out.endsWith(QLatin1Char('.')))
        out.chop(1);
    return out;
}
} // namespace

QString pdfFileName(CertificateKind kind, const QString& athlete, const QDate& day)
{
    QStringList parts{QString::fromLatin1(fileKind(kind))};
    const QString name = fileNamePart(athlete);
    if (!name.isEmpty())
        parts << name;
    parts << day.toString(QStringLiteral("yyyy-MM-dd"));
    return parts.join(QLatin1Char('_')) + QStringLiteral(".pdf");
}

QString pdfTitle(CertificateKind kind, const QString& athlete)
{
    const QString title = QString::fromUtf8(layouts::certificate(kind, false).documentName);
    const QString name = trimmed(athlete);
    return name.isEmpty() ? title : title + QStringLiteral(" - ") + name;
}

} // namespace vornel::certificates
