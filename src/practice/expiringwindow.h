#pragma once
#include "storage/records.h"
#include "practice/core/expiring.h"
#include "lists/listwindow.h"

#include <QCheckBox>

#include <functional>
#include <optional>

#include <vector>

class CardWindow;
class QWidget;

// The competitive certificates about to expire, of both competitive
// archives: the days ahead and whether to include those expired in the last
// twelve months, then the list sorted by expiry date. A double-click loads
// the certificate into its card; the two Esporta buttons write the list as
// a spreadsheet (.xls and .xlsx).
class TfrmScadenze : public ListWindow {
    Q_OBJECT
public:
    explicit TfrmScadenze(QWidget* parent);

    QLineEdit* txtGiorni;
    QCheckBox* chkScaduti;
    QPushButton* btnCerca;
    QPushButton* cmdEsporta;
    QPushButton* cmdEsportaXlsx;

    // The certificate a double-click chose, read again from its archive: the
    // opener shows its card in place of the main menu and loads it there
    // (showing a card starts it on a new certificate, so loading comes after).
    struct Choice {
        CardWindow* card = nullptr;
        std::optional<vornel::Record> record;
        qint64 position = 0;
    };
    const Choice& choice() const { return m_choice; }

public slots:
    void btnCercaClick();
    void cmdEsportaClick();
    void cmdEsportaXlsxClick();
    void lstRecordsDblClick() override;

protected:
    void FormShow() override;
    void FormClose() override;
    QString printTitle() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<vornel::expiring::Entry> m_entries; // one per line, in list order
    Choice m_choice;
};

namespace vornel::expiring {
// The file the list is exported to, in the program folder.
inline constexpr char kExportFile[] = "Certificati_In_Scadenza.xls";
// Opens the list over 'parent'. When a certificate is chosen, 'leave' closes
// the windows between the list and the main menu, then the certificate's
// card takes the place of the main menu, showing it. Returns whether a
// certificate was chosen.
bool openList(QWidget* parent, const std::function<void()>& leave);
} // namespace vornel::expiring
