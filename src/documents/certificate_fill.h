#pragma once
#include "documents/layouts_certificates.h"
#include "documents/report.h"

#include <QDate>
#include <QString>

#include <functional>

// How a certificate sheet is filled from its card: each filled memo takes
// the trimmed text of the card control of the same name, except four memos
// composed of several controls (address, tax numbers, region, place and
// date), whose separators are written even when the parts are empty.
namespace vornel::certificates {

// Gives the text of the card control of that name as it stands.
using ControlReader = std::function<QString(const QString& control)>;

// Sets the page to portrait and fills the memos in the order the print
// windows fill them. Throws report::ReportError when the layout lacks a memo.
void fillCertificate(report::Document& doc, layouts::CertificateKind kind, const ControlReader& read);

// The memos filled for a kind, in filling order, with their texts.
struct FilledMemo {
    QString memo;
    QString text;
};
QList<FilledMemo> certificateTexts(layouts::CertificateKind kind, const ControlReader& read);

// The name proposed for a certificate saved as a PDF file:
// "<Kind>_<athlete>_<yyyy-mm-dd>.pdf", for example
// "Certificato_Agonistico_Rossi_Mario_2026-12-10.pdf". Blanks, and characters
// a file name cannot hold on Windows or elsewhere, become "_".
QString pdfFileName(layouts::CertificateKind kind, const QString& athlete, const QDate& day);
// The document title of that PDF: the certificate's kind and the athlete.
QString pdfTitle(layouts::CertificateKind kind, const QString& athlete);

} // namespace vornel::certificates
