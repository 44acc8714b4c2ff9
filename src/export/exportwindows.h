#pragma once
#include "export/exportwindow.h"

namespace vornel {
struct ArchiveDef;
}

// "Certificati.vrn" to "Certificati_Non_Agonistici.xls".
class TfrmExpCertificati : public ExportWindow {
    Q_OBJECT
public:
    explicit TfrmExpCertificati(QWidget* parent) : ExportWindow(vornel::exporting::kCertificati, parent) {}
};

// "Certificati_Non_Idoneita.vrn" to "Certificati_Non_Idoneita.xls".
class TfrmExpCertificatiNon : public ExportWindow {
    Q_OBJECT
public:
    explicit TfrmExpCertificatiNon(QWidget* parent) : ExportWindow(vornel::exporting::kCertificatiNon, parent) {}
};

// "Certificati_Agonistici.vrn" to "Certificati_Agonistici.xls".
class TfrmExpCertificatiAgo : public ExportWindow {
    Q_OBJECT
public:
    explicit TfrmExpCertificatiAgo(QWidget* parent) : ExportWindow(vornel::exporting::kCertificatiAgo, parent) {}
};

// "Certificati_Disabili.vrn" to "Certificati_Disabili.xls".
class TfrmExpCertificatiDis : public ExportWindow {
    Q_OBJECT
public:
    explicit TfrmExpCertificatiDis(QWidget* parent) : ExportWindow(vornel::exporting::kCertificatiDis, parent) {}
};

// "Pazienti.vrn" to "Pazienti.xls".
class TfrmExpClienti : public ExportWindow {
    Q_OBJECT
public:
    explicit TfrmExpClienti(QWidget* parent) : ExportWindow(vornel::exporting::kClienti, parent) {}
};

namespace vornel::exporting {
// Opens, modally and owned by 'owner', the export window of that archive;
// it is destroyed when it closes.
void openExportWindow(QWidget* owner, const ArchiveDef& archive);
} // namespace vornel::exporting
