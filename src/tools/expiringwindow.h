#pragma once
#include "tools/core/expiring.h"
#include "tools/listwindow.h"

#include <QCheckBox>

#include <vector>

class QWidget;

// The competitive certificates about to expire, of both competitive
// archives: the days ahead and whether to include those expired in the last
// twelve months, then the list sorted by expiry date. A double-click loads
// the certificate into its card; Esporta writes the list as a spreadsheet.
class TfrmScadenze : public ListWindow {
    Q_OBJECT
public:
    explicit TfrmScadenze(QWidget* parent);

    QLineEdit* txtGiorni;
    QCheckBox* chkScaduti;
    QPushButton* btnCerca;
    QPushButton* cmdEsporta;

    // The card a double-click loaded a certificate into (nullptr until then):
    // the opener shows it once the dialogs are closed.
    QWidget* loadedCard() const { return m_loadedCard; }

public slots:
    void btnCercaClick();
    void cmdEsportaClick();
    void lstRecordsDblClick() override;

protected:
    void FormShow() override;
    void FormClose() override;
    QString printTitle() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<vornel::expiring::Entry> m_entries; // one per line, in list order
    QWidget* m_loadedCard = nullptr;
};

namespace vornel::expiring {
// The file the list is exported to, in the program folder.
inline constexpr char kExportFile[] = "Certificati_In_Scadenza.xls";
// Opens the list over 'parent'; returns the card a double-click loaded a
// certificate into, or nullptr.
QWidget* openList(QWidget* parent);
} // namespace vornel::expiring
