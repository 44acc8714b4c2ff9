#pragma once
#include "storage/history.h"
#include "storage/records.h"
#include "lists/listwindow.h"

#include <QTableWidget>

#include <vector>

class CardWindow;
class QLabel;
class QPushButton;

// The earlier versions of the record a card shows, newest first: when, from
// which workstation, and which fields the next change altered. A selected
// version is shown beside the record as it is stored now, the changed fields
// marked; "Riporta nella scheda" copies it into the card (nothing is stored
// until the user presses Salva there).
class TfrmStorico : public ListWindow {
    Q_OBJECT
public:
    TfrmStorico(CardWindow* card, const vornel::ArchiveDef& archive, qint64 position);

    // Reads the stored record and its history; false (the archive message
    // shown) when either cannot be read.
    bool load();

    QListView* lstVersioni; // the list of the base, under this name
    QTableWidget* grdConfronto;
    QPushButton* cmdRipristina;
    QPushButton* cmdGuida;

    // The line a record without history shows.
    static QString noHistoryLine();

public slots:
    void cmdRipristinaClick();
    void cmdGuidaClick();

protected:
    void FormShow() override;

private:
    void showSelected();
    // The version of a line (0 = newest), and the one that followed it.
    const QByteArray& versionBytes(int row) const;
    const QByteArray& nextBytes(int row) const;

    CardWindow* m_card;
    const vornel::ArchiveDef& m_archive;
    qint64 m_position;
    QByteArray m_current;
    std::vector<vornel::history::Version> m_versions; // oldest first
};

namespace vornel::history {
// Opens the history of the record at the card's shown position (nothing
// when the card shows no stored record).
void openWindow(CardWindow* card, const ArchiveDef& archive, const QString& shownPosition);
// Keeps a card's history button enabled exactly while its position label
// shows a stored record.
void followPosition(QPushButton* button, QLabel* position);
void refreshButton(QPushButton* button, QLabel* position);
// The hint of the cards' history buttons.
QString buttonHint();
} // namespace vornel::history
