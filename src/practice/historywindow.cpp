#include "practice/historywindow.h"

#include "app/cardwindow.h"
#include "app/core/helptopics.h"
#include "app/help.h"
#include "app/look.h"
#include "app/messages.h"
#include "storage/archive.h"
#include "storage/text.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>

using namespace vornel;
using vornel::look::named;

namespace {
constexpr int kStationWidth = 24;
const QColor kChanged{0xFF, 0xE4, 0xB5};

QString fieldName(const RecordLayout& layout, int i)
{
    const std::string_view n = layout.fields()[std::size_t(i)].name;
    return QString::fromLatin1(n.data(), qsizetype(n.size()));
}
} // namespace

QString TfrmStorico::noHistoryLine()
{
    return QStringLiteral("Nessuna modifica registrata per questa scheda.");
}

TfrmStorico::TfrmStorico(CardWindow* card, const ArchiveDef& archive, qint64 position)
    : ListWindow(QStringLiteral(" Storico delle modifiche"), card), m_card(card), m_archive(archive),
      m_position(position)
{
    // Taller than the other lists: the chosen version is shown under them.
    look::makeFixed(this, 862, 700);
    panContainer->parentWidget()->setGeometry((862 - 833) / 2, (700 - 669) / 2, 833, 669);
    panContainer->setGeometry(0, 0, 833, 669);

    setBanner(QStringLiteral("STORICO DELLE MODIFICHE - SCHEDA N. %1").arg(position));
    setInstructions(QStringLiteral(
        "Selezionare una versione per confrontarla con la scheda in archivio; \"Riporta nella scheda\" la copia\n"
        "nella scheda, che sar\u00e0 salvata soltanto premendo Salva. Trova cerca le parole digitate nell'elenco."));

    lstVersioni = lstRecords;
    lstVersioni->setObjectName(QStringLiteral("lstVersioni"));
    lstVersioni->setGeometry(16, 154, 801, 150);
    setListFont(11);

    grdConfronto = named(new QTableWidget(panContainer), "grdConfronto");
    grdConfronto->setGeometry(16, 312, 801, 262);
    grdConfronto->setColumnCount(3);
    grdConfronto->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdConfronto->setSelectionMode(QAbstractItemView::NoSelection);
    grdConfronto->setFocusPolicy(Qt::NoFocus);
    grdConfronto->verticalHeader()->hide();
    grdConfronto->verticalHeader()->setDefaultSectionSize(22);
    grdConfronto->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    grdConfronto->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    grdConfronto->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    grdConfronto->setColumnWidth(0, 190);
    grdConfronto->setFont(look::font(QStringLiteral("Verdana"), 9));
    grdConfronto->horizontalHeader()->setFont(look::font(QStringLiteral("Verdana"), 9, true));
    grdConfronto->setStyleSheet(QStringLiteral(
        "QTableWidget { color: black; background: white; gridline-color: #C8D6E3; border: 1px solid #7A9CC0; }"
        "QHeaderView::section { color: white; background: #2F5F93; border: none; padding: 3px; }"));
    grdConfronto->setHorizontalHeaderLabels(
        {QStringLiteral("Campo"), QStringLiteral("Versione scelta"), QStringLiteral("Scheda in archivio")});

    lblRigo03->setGeometry(16, 580, 801, 22);
    lblRigo03->setText(QStringLiteral("I campi evidenziati sono diversi nella versione scelta e nella scheda in archivio"));
    btnChiudi->setGeometry(16, 618, 150, 30);
    cmdGuida = makeButton(QStringLiteral("Guida"), "cmdGuida", QRect(176, 618, 110, 30), panContainer);
    lblTrovate->setGeometry(296, 618, 151, 30);
    cmdRipristina = makeButton(QStringLiteral("Riporta nella scheda"), "cmdRipristina", QRect(457, 618, 200, 30),
                               panContainer);
    cmdRipristina->setEnabled(false);
    btnStampa->setGeometry(667, 618, 150, 30);

    setTabOrder(lstVersioni, cmdRipristina);
    setTabOrder(cmdRipristina, btnStampa);
    setTabOrder(btnChiudi, cmdGuida);

    connect(cmdRipristina, &QPushButton::clicked, this, &TfrmStorico::cmdRipristinaClick);
    connect(cmdGuida, &QPushButton::clicked, this, &TfrmStorico::cmdGuidaClick);
    connect(lstVersioni->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TfrmStorico::showSelected);
}

bool TfrmStorico::load()
{
    const RecordLayout& layout = *m_archive.layout;
    return msg::guarded(this, [&] {
        Archive archive(m_archive);
        archive.open();
        if (m_position < 1 || m_position > archive.count())
            throw ArchiveError("the card's position is not a record of the archive");
        Record current(layout);
        archive.seek(m_position - 1);
        archive.read(current);
        archive.close();
        m_current = current.bytes();
        m_versions = history::versionsOf(history::pathFor(archive.path()), layout, m_position);
    });
}

const QByteArray& TfrmStorico::versionBytes(int row) const
{
    return m_versions[m_versions.size() - 1 - std::size_t(row)].bytes;
}

const QByteArray& TfrmStorico::nextBytes(int row) const
{
    return row == 0 ? m_current : versionBytes(row - 1);
}

void TfrmStorico::FormShow()
{
    const RecordLayout& layout = *m_archive.layout;
    QStringList lines;
    for (int row = 0; row < int(m_versions.size()); ++row) {
        const history::Version& v = m_versions[m_versions.size() - 1 - std::size_t(row)];
        QStringList changed;
        for (int i : history::changedFields(layout, v.bytes, nextBytes(row)))
            changed << history::fieldLabel(layout, layout.fields()[std::size_t(i)].name);
        const QString what = changed.isEmpty() ? QStringLiteral("Nessun campo cambiato")
                                               : QStringLiteral("Cambiati: ") + changed.join(QStringLiteral(", "));
        lines << QStringLiteral("%1  %2  %3").arg(v.when.leftJustified(19), v.station.left(kStationWidth).leftJustified(kStationWidth), what);
    }
    if (lines.isEmpty())
        lines << noHistoryLine();
    setLines(lines);
    fitRowWidth();
    lblTrovate->setText(m_versions.empty()
                            ? QString()
                            : m_versions.size() == 1 ? QStringLiteral("1 versione")
                                                     : QStringLiteral("%1 versioni").arg(m_versions.size()));
    showSelected();
}

void TfrmStorico::showSelected()
{
    const RecordLayout& layout = *m_archive.layout;
    const int row = selectedRow();
    const bool chosen = row >= 0 && row < int(m_versions.size());
    cmdRipristina->setEnabled(chosen);
    grdConfronto->setRowCount(layout.fieldCount());
    QFont bold = grdConfronto->font();
    bold.setBold(true);
    const history::Version* v = chosen ? &m_versions[m_versions.size() - 1 - std::size_t(row)] : nullptr;
    grdConfronto->horizontalHeaderItem(1)->setText(v ? QStringLiteral("Versione del %1").arg(v->when)
                                                     : QStringLiteral("Versione scelta"));
    int firstChanged = -1;
    for (int i = 0; i < layout.fieldCount(); ++i) {
        const QString now = fieldText(layout, m_current.constData(), i);
        const QString then = v ? fieldText(layout, v->bytes.constData(), i) : QString();
        const bool changed = v && now != then;
        if (changed && firstChanged < 0)
            firstChanged = i;
        const QString label = history::fieldLabel(layout, layout.fields()[std::size_t(i)].name);
        const QString cells[3] = {changed ? QStringLiteral("\u25b6 ") + label : label, then, now};
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setData(Qt::UserRole, changed);
            item->setData(Qt::UserRole + 1, fieldName(layout, i));
            item->setToolTip(cells[c]);
            if (changed) {
                item->setBackground(kChanged);
                item->setFont(bold);
            }
            grdConfronto->setItem(i, c, item);
        }
    }
    // The first changed field is in view.
    if (firstChanged >= 0)
        grdConfronto->scrollToItem(grdConfronto->item(firstChanged, 0), QAbstractItemView::PositionAtTop);
}

void TfrmStorico::cmdRipristinaClick()
{
    const int row = selectedRow();
    if (row < 0 || row >= int(m_versions.size()))
        return;
    // The card shows the version at its own position; Salva stores it,
    // keeping the version it overwrites.
    m_card->loadRecord(Record(*m_archive.layout, versionBytes(row).constData()), m_position);
    close();
}

void TfrmStorico::cmdGuidaClick()
{
    TfrmGuida::showTopic(this, help::history());
}

namespace vornel::history {

void openWindow(CardWindow* card, const ArchiveDef& archive, const QString& shownPosition)
{
    bool number = false;
    const qint64 position = trimmed(shownPosition).toLongLong(&number);
    if (!number || position < 1)
        return;
    TfrmStorico window(card, archive, position);
    if (window.load())
        window.exec();
}

namespace {
// Refreshes the button whenever the position label is drawn or shown, so a
// position written by any window is followed.
class PositionFollower : public QObject {
public:
    PositionFollower(QPushButton* button, QLabel* label) : QObject(label), m_button(button), m_label(label) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_label && (event->type() == QEvent::Paint || event->type() == QEvent::Show))
            refreshButton(m_button, m_label);
        return false;
    }

private:
    QPushButton* m_button;
    QLabel* m_label;
};
} // namespace

void followPosition(QPushButton* button, QLabel* position)
{
    position->installEventFilter(new PositionFollower(button, position));
    refreshButton(button, position);
}

void refreshButton(QPushButton* button, QLabel* position)
{
    const bool stored = !trimmed(position->text()).isEmpty();
    if (button->isEnabled() != stored)
        button->setEnabled(stored);
}

QString buttonHint()
{
    return QStringLiteral("Visualizza le versioni precedenti della scheda in archivio.");
}

} // namespace vornel::history
