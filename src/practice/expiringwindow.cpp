#include "practice/expiringwindow.h"

#include "app/cardwindow.h"
#include "app/inputrules.h"
#include "app/look.h"
#include "app/messages.h"
#include "app/registry.h"
#include "storage/archive.h"
#include "storage/clock.h"
#include "storage/programfolder.h"
#include "storage/text.h"
#include "export/exportflow.h"

#include <QIcon>
#include <QKeyEvent>

using namespace vornel;
using vornel::look::named;

namespace {
// The card of a certificate's kind, found in the registry.
CardWindow* cardOf(expiring::Kind kind)
{
    return findCard(kind == expiring::Kind::Agonistico ? "TfrmCertificati_Agonistici" : "TfrmCertificati_Disabili");
}

const ArchiveDef& archiveOf(expiring::Kind kind)
{
    return kind == expiring::Kind::Agonistico ? archives::Agonistici : archives::Disabili;
}
} // namespace

TfrmScadenze::TfrmScadenze(QWidget* parent)
    : ListWindow(QStringLiteral(" Certificati agonistici in scadenza"), parent)
{
    setBanner(QStringLiteral("CERTIFICATI AGONISTICI IN SCADENZA"));
    setInstructions(QStringLiteral(
        "Indicare quanti giorni da oggi considerare e premere Cerca. Per trovare una voce digitarne una o pi\u00f9\n"
        "parole consecutive e premere Trova; premere di nuovo Trova per passare alla voce successiva."));
    lblRigo03->setText(QStringLiteral("Fare doppio clic sulla voce in elenco per richiamare la scheda"));

    // The filter row between the quick find and the list.
    auto* row = new QWidget(panContainer);
    row->setObjectName(QStringLiteral("panFiltri"));
    row->setGeometry(16, 152, 801, 40);
    look::setGradient(row, QColor(0xE3, 0xEC, 0xF6), QColor(0xB9, 0xCF, 0xE6));
    auto* days = new QLabel(QStringLiteral("Giorni da oggi:"), row);
    days->setGeometry(10, 6, 130, 28);
    days->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    days->setStyleSheet(QStringLiteral("color: #1F3F6B; background: transparent;"));
    txtGiorni = named(new QLineEdit(row), "txtGiorni");
    txtGiorni->setGeometry(142, 6, 70, 28);
    txtGiorni->setMaxLength(4);
    txtGiorni->setAlignment(Qt::AlignRight);
    txtGiorni->setFont(look::font(QStringLiteral("Verdana"), 12, true));
    look::setFieldLook(txtGiorni);
    input::filterEdits(txtGiorni);
    chkScaduti = named(new QCheckBox(QStringLiteral("Comprendi i certificati gi\u00e0 scaduti negli ultimi 12 mesi"), row),
                       "chkScaduti");
    chkScaduti->setGeometry(228, 6, 440, 28);
    chkScaduti->setFont(look::font(QStringLiteral("Verdana"), 9, true));
    chkScaduti->setStyleSheet(QStringLiteral("color: #1F3F6B;"));
    chkScaduti->setCursor(Qt::PointingHandCursor);
    btnCerca = makeButton(QStringLiteral("Cerca"), "btnCerca", QRect(686, 5, 105, 30), row);

    lstRecords->setGeometry(16, 198, 801, 229);
    // The bottom row: Chiudi, the count, the two exports (.xls and .xlsx)
    // with their spreadsheet pictures, Stampa.
    btnChiudi->setGeometry(16, 478, 110, 30);
    lblTrovate->setGeometry(130, 478, 321, 30);
    cmdEsporta = makeButton(QStringLiteral("Esporta .xls"), "cmdEsporta", QRect(455, 478, 130, 30), panContainer);
    cmdEsportaXlsx =
        makeButton(QStringLiteral("Esporta .xlsx"), "cmdEsportaXlsx", QRect(589, 478, 140, 30), panContainer);
    btnStampa->setGeometry(733, 478, 84, 30);
    for (auto [button, art] : {std::pair{cmdEsporta, "excel"}, std::pair{cmdEsportaXlsx, "excel_xlsx"}}) {
        button->setIcon(QIcon(look::picture(QString::fromLatin1(art), QSize(22, 22))));
        button->setIconSize(QSize(22, 22));
    }
    cmdEsporta->setToolTip(QStringLiteral("Esporta l'elenco in formato Microsoft Excel."));
    cmdEsportaXlsx->setToolTip(QString::fromUtf8(exporting::kXlsxHint));

    txtGiorni->installEventFilter(this);
    setTabOrder(txtGiorni, chkScaduti);
    setTabOrder(chkScaduti, btnCerca);
    setTabOrder(btnCerca, txtTrova);

    connect(btnCerca, &QPushButton::clicked, this, &TfrmScadenze::btnCercaClick);
    connect(cmdEsporta, &QPushButton::clicked, this, &TfrmScadenze::cmdEsportaClick);
    connect(cmdEsportaXlsx, &QPushButton::clicked, this, &TfrmScadenze::cmdEsportaXlsxClick);
}

void TfrmScadenze::FormShow()
{
    forgetFind();
    txtTrova->clear();
    txtGiorni->setText(QStringLiteral("30"));
    btnCercaClick();
    txtGiorni->setFocus();
    txtGiorni->selectAll();
}

void TfrmScadenze::FormClose()
{
    clearLines();
    m_entries.clear();
}

QString TfrmScadenze::printTitle() const
{
    return QStringLiteral("Certificati agonistici in scadenza");
}

void TfrmScadenze::btnCercaClick()
{
    expiring::Query query;
    query.today = clock::today();
    query.days = trimmed(txtGiorni->text()).toInt(); // digits only; empty is today alone
    query.includeExpired = chkScaduti->isChecked();

    std::vector<expiring::Entry> found;
    const bool read = msg::guarded(this, [&] {
        const std::vector<expiring::Certificate> all = expiring::readCertificates();
        found = expiring::select(all, query, expiring::readPhoneBook());
    });
    if (!read)
        return; // the previous list stays as it was
    m_entries = std::move(found);
    QStringList shown;
    shown.reserve(qsizetype(m_entries.size()));
    for (const expiring::Entry& e : m_entries)
        shown << expiring::lineText(e);
    setLines(shown);
    fitRowWidth();
    lblTrovate->setText(m_entries.size() == 1
                            ? QStringLiteral("Il presente riepilogo contiene 1 certificato.")
                            : QStringLiteral("Il presente riepilogo contiene %1 certificati.").arg(m_entries.size()));
    if (!m_entries.empty())
        selectRow(0);
}

void TfrmScadenze::cmdEsportaClick()
{
    exporting::exportToExcel(this, programPath(QString::fromLatin1(expiring::kExportFile)),
                             expiring::exportSheet(m_entries));
}

void TfrmScadenze::cmdEsportaXlsxClick()
{
    exporting::exportToExcel(this, exporting::xlsxPath(programPath(QString::fromLatin1(expiring::kExportFile))),
                             expiring::exportSheet(m_entries), exporting::Format::Xlsx);
}

void TfrmScadenze::lstRecordsDblClick()
{
    const int row = selectedRow();
    if (row < 0 || row >= int(m_entries.size()))
        return;
    const expiring::Entry& e = m_entries[std::size_t(row)];
    CardWindow* card = cardOf(e.cert.kind);
    if (!card)
        return;
    // The certificate is read again at its position: one saved over since
    // the list was made (from another workstation), or no longer there (the
    // archive restored from an older copy), is not loaded.
    Record record(*archiveOf(e.cert.kind).layout);
    bool stored = false;
    const bool read = msg::guarded(this, [&] {
        Archive archive(archiveOf(e.cert.kind));
        archive.open();
        stored = e.cert.position <= archive.count();
        if (stored) {
            archive.seek(e.cert.position - 1);
            archive.read(record);
        }
        archive.close();
    });
    if (!read)
        return;
    if (!stored) {
        msg::warning(this, QStringLiteral("Attenzione: il certificato non \u00e8 pi\u00f9 in archivio.\r\n\r\n"
                                          "Premere Cerca per aggiornare l'elenco."));
        return;
    }
    if (record.text("txtPaziente") != e.cert.name || record.text("txtDataNasc") != e.cert.birth
        || record.text("txtSportRichiesto") != e.cert.sport || record.text("txtData") != e.cert.issued
        || record.text("txtDataScade") != e.cert.expires) {
        msg::warning(this, QStringLiteral("Attenzione: il certificato \u00e8 stato modificato dopo la ricerca.\r\n\r\n"
                                          "Premere Cerca per aggiornare l'elenco."));
        return;
    }
    m_choice = {card, std::move(record), e.cert.position};
    close();
}

bool TfrmScadenze::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtGiorni && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btnCercaClick();
            return true;
        }
    }
    return ListWindow::eventFilter(watched, event);
}

namespace vornel::expiring {

bool openList(QWidget* parent, const std::function<void()>& leave)
{
    TfrmScadenze window(parent);
    window.exec();
    const TfrmScadenze::Choice& chosen = window.choice();
    if (!chosen.card || !chosen.record)
        return false;
    if (leave)
        leave();
    goTo(chosen.card, findWindow("TfrmAvvio"));
    chosen.card->loadRecord(*chosen.record, chosen.position);
    return true;
}

} // namespace vornel::expiring
