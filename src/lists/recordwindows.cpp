#include "lists/recordwindows.h"

#include "app/look.h"
#include "app/messages.h"
#include "storage/archive.h"
#include "storage/text.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>

using namespace vornel;
using vornel::look::named;

namespace {

// Reads the archive again and hands every record whose line equals the
// selected one, in file order, to 'load'. Any failure (no line selected,
// an archive that cannot be read) hands nothing more and says nothing.
void handOverSelected(const ListWindow& window, const ArchiveDef& def, lists::LineLayout line,
                      const std::function<void(const Record&, qint64)>& load)
{
    if (window.selectedRow() < 0)
        return;
    const QString selected = window.selectedLine();
    try {
        Archive archive(def);
        archive.open();
        lists::forEachRecordWithLine(archive, lists::LineBuilder(*def.layout, line), selected, load);
    } catch (const ArchiveError&) {
    }
}

QString foundText(int count)
{
    return QStringLiteral("Il presente riepilogo contiene ") + QString::number(count) + QStringLiteral(" schede.");
}

} // namespace

// --- search -----------------------------------------------------------------------

SearchWindow::SearchWindow(const records::Search& search, QWidget* parent)
    : ListWindow(QString::fromUtf8(search.caption), parent), m_search(search)
{
    setBanner(QString::fromUtf8(search.banner));
    lblRigo03->setText(QString::fromUtf8(search.hint));
    setSorted(search.sorted);
    setListFont(12);
    buildFilterPage();
    panContainer->hide();
    panAvvio->show();
}

void SearchWindow::buildFilterPage()
{
    panAvvio = named(new QWidget(panContainer->parentWidget()), "panAvvio");
    panAvvio->setGeometry(panContainer->geometry());
    look::setBand(panAvvio, QColor(255, 255, 255, 170), QColor(0x9F, 0xB6, 0xCD));

    // Instructions on a white band.
    auto* band = new QWidget(panAvvio);
    band->setGeometry(8, 8, 817, 86);
    look::setBand(band, Qt::white, QColor(0x9F, 0xB6, 0xCD));
    auto* lens = new QLabel(band);
    lens->setGeometry(14, 17, 52, 52);
    lens->setPixmap(look::picture(QStringLiteral("btn_trova"), QSize(52, 52)));
    auto* text = named(new QLabel(band), "lblIstruzioniRicerca");
    text->setGeometry(80, 6, 725, 74);
    text->setWordWrap(true);
    text->setFont(look::font(QStringLiteral("Verdana"), 9, true));
    text->setStyleSheet(QStringLiteral("color: #1F3F6B;"));
    text->setText(QString::fromUtf8(m_search.instructions));

    // The filters, two to a row (a full-width filter takes a row of its
    // own), beside a decorative picture.
    auto* area = new QWidget(panAvvio);
    area->setGeometry(8, 102, 817, 364);
    look::setGradient(area, QColor(0xE3, 0xEC, 0xF6), QColor(0xB9, 0xCF, 0xE6));
    auto* decoration = named(new QLabel(area), "imgDecorazione");
    decoration->setGeometry(10, 10, 150, 344);
    decoration->setAlignment(Qt::AlignCenter);
    decoration->setPixmap(look::picture(QStringLiteral("illustration"), decoration->size()));

    // Where each filter goes: two to a row, a full-width one on a row of its own.
    struct Place {
        int row, column;
    };
    QList<Place> places;
    int row = 0, column = 0;
    for (const records::Filter& f : m_search.filters) {
        if (f.fullWidth && column == 1) {
            ++row;
            column = 0;
        }
        places.append({row, column});
        if (f.fullWidth || column == 1) {
            ++row;
            column = 0;
        } else {
            column = 1;
        }
    }
    const int rows = row + column;
    const int left = 180, columnWidth = 305, gap = 17, rowHeight = 56;
    const int top = qMax(8, (364 - rows * rowHeight) / 2);
    for (qsizetype i = 0; i < places.size(); ++i) {
        const records::Filter& f = m_search.filters[size_t(i)];
        const int x = left + places[i].column * (columnWidth + gap);
        const int y = top + places[i].row * rowHeight;
        const int w = f.fullWidth ? 2 * columnWidth + gap : columnWidth;
        auto* label = new QLabel(QString::fromUtf8(f.label), area);
        label->setGeometry(x, y, w, 18);
        label->setFont(look::font(QStringLiteral("Verdana"), 9, true));
        label->setStyleSheet(QStringLiteral("color: #1F3F6B; background: transparent;"));
        // The highlight rectangle behind the field, shown while it has the focus.
        const QRect editRect(x, y + 20, w, 28);
        const QString name = QString::fromUtf8(f.name);
        auto* eff = new QWidget(area);
        eff->setObjectName(QStringLiteral("eff") + name.mid(3));
        eff->setGeometry(editRect.adjusted(-4, -4, 4, 4));
        eff->setAttribute(Qt::WA_StyledBackground);
        eff->setStyleSheet(QStringLiteral("background: #FFFF00; border-radius: 3px;"));
        eff->hide();
        auto* edit = new QLineEdit(area);
        edit->setObjectName(name);
        edit->setGeometry(editRect);
        edit->setFont(look::font(QStringLiteral("Verdana"), 12, true));
        look::setFieldLook(edit);
        edit->installEventFilter(this);
        m_filters.append(edit);
        m_highlights.insert(edit, eff);
    }
    for (qsizetype i = 1; i < m_filters.size(); ++i)
        setTabOrder(m_filters[i - 1], m_filters[i]);

    btnAnnulla = makeButton(QStringLiteral("Chiudi"), "btnAnnulla", QRect(16, 478, 150, 30), panAvvio);
    lblAttendere = named(new QLabel(QStringLiteral("Ricerca schede in corso. Attendere..."), panAvvio), "lblAttendere");
    lblAttendere->setGeometry(176, 478, 481, 30);
    lblAttendere->setAlignment(Qt::AlignCenter);
    lblAttendere->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    lblAttendere->setStyleSheet(QStringLiteral("color: #008B8B;"));
    lblAttendere->hide();
    btnCerca = makeButton(QStringLiteral("Cerca"), "btnCerca", QRect(667, 478, 150, 30), panAvvio);
    btnCerca->installEventFilter(this);
    lblConta = named(new QLabel(this), "lblConta");
    lblConta->hide();

    connect(btnAnnulla, &QPushButton::clicked, this, &SearchWindow::btnAnnullaClick);
    connect(btnCerca, &QPushButton::clicked, this, &SearchWindow::btnCercaClick);
}

QLineEdit* SearchWindow::filter(const QString& name) const
{
    for (QLineEdit* edit : m_filters)
        if (edit->objectName() == name)
            return edit;
    return nullptr;
}

void SearchWindow::FormShow()
{
    forgetFind();
    selectRow(0);
    txtTrova->clear();
    if (!m_filters.isEmpty())
        m_filters.first()->setFocus();
}

void SearchWindow::FormClose()
{
    clearLines();
    lblAttendere->hide();
}

QString SearchWindow::printTitle() const
{
    return QString::fromUtf8(m_search.printTitle);
}

void SearchWindow::btnCercaMouseDown()
{
    lblAttendere->show();
    lblAttendere->repaint();
}

void SearchWindow::btnCercaClick()
{
    const RecordLayout& layout = *m_search.archive->layout;
    lists::Selection selection(layout);
    for (qsizetype i = 0; i < m_filters.size(); ++i)
        selection.addFilter(m_search.filters[size_t(i)].field, m_filters[i]->text());
    lblConta->setText(QString::number(selection.filterCount()));

    QStringList found;
    try {
        Archive archive(*m_search.archive);
        archive.open();
        clearLines();
        found = lists::selectLines(archive, lists::LineBuilder(layout, m_search.line), selection);
    } catch (const ArchiveError&) {
        msg::plain(this, archiveErrorMessage());
        return;
    }
    setLines(std::move(found));
    fitRowWidth();
    lblTrovate->setText(foundText(lineCount()));
    panAvvio->hide();
    panContainer->show();
    txtTrova->clear();
    txtTrova->setFocus();
}

void SearchWindow::btnAnnullaClick()
{
    close();
}

void SearchWindow::lstRecordsDblClick()
{
    const QString marker = trimmed(lblMemory->text());
    handOverSelected(*this, *m_search.archive, m_search.line, [&](const Record& record, qint64 position) {
        for (const records::Target& t : m_search.targets)
            if (marker == QLatin1String(t.marker))
                t.load(record, position);
    });
    close();
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == btnCerca && event->type() == QEvent::MouseButtonPress)
        btnCercaMouseDown();
    if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && m_highlights.contains(edit)) {
        switch (event->type()) {
        case QEvent::FocusIn:
            m_highlights.value(edit)->show();
            break;
        case QEvent::FocusOut:
            m_highlights.value(edit)->hide();
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                // Enter moves along the ring of filters; it never searches.
                m_filters[(m_filters.indexOf(edit) + 1) % m_filters.size()]->setFocus();
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return ListWindow::eventFilter(watched, event);
}

// --- flagged list -------------------------------------------------------------------

FlaggedListWindow::FlaggedListWindow(const records::FlaggedList& list, QWidget* parent)
    : ListWindow(QString::fromUtf8(list.caption), parent), m_list(list)
{
    if (list.gradientTop != 0)
        look::setGradient(this, QColor::fromRgb(QRgb(list.gradientTop)), Qt::white);
    setBanner(QString::fromUtf8(list.banner));
    lblRigo03->setText(QString::fromUtf8(list.hint));
    lblTrovate->hide();
    setSorted(true);
    setListFont(12);
    if (!m_list.buildOnShow)
        buildList();
}

void FlaggedListWindow::buildList()
{
    forgetFind();
    selectRow(0);
    txtTrova->clear();
    const RecordLayout& layout = *m_list.archive->layout;
    lists::Selection selection(layout);
    selection.requireValue(m_list.flagField, QString::fromUtf8(m_list.flagValue));
    // A failure keeps the lines read so far and says nothing.
    QStringList found;
    try {
        Archive archive(*m_list.archive);
        archive.open();
        clearLines();
        lists::selectLines(archive, lists::LineBuilder(layout, m_list.line), selection, found);
    } catch (const ArchiveError&) {
    }
    setLines(std::move(found));
    fitRowWidth();
    txtTrova->setFocus();
}

void FlaggedListWindow::FormShow()
{
    if (m_list.buildOnShow)
        buildList();
    txtTrova->setFocus();
}

void FlaggedListWindow::FormClose()
{
    clearLines();
}

QString FlaggedListWindow::printTitle() const
{
    return QString::fromUtf8(m_list.printTitle);
}

void FlaggedListWindow::lstRecordsDblClick()
{
    handOverSelected(*this, *m_list.archive, m_list.line, m_list.load);
    close();
}
