#include "lists/listwindow.h"

#include "app/look.h"
#include "app/messages.h"
#include "storage/clock.h"
#include "storage/text.h"
#include "lists/core/listorder.h"
#include "lists/core/quickfind.h"
#include "lists/summaryprint.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QShowEvent>
#include <QStringListModel>
#include <QStyledItemDelegate>

using namespace vornel;
using vornel::look::named;

// Gives every line the same width, so the list scrolls sideways over it.
class ListRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    int rowWidth = 0;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        if (rowWidth > 0)
            s.setWidth(rowWidth);
        return s;
    }
};

QPushButton* ListWindow::makeButton(const QString& caption, const char* name, const QRect& g, QWidget* parent)
{
    auto* b = named(new QPushButton(caption, parent), name);
    b->setGeometry(g);
    b->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    b->setCursor(Qt::PointingHandCursor);
    b->setAutoDefault(false);
    return b;
}

ListWindow::ListWindow(const QString& caption, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(caption);
    look::makeFixed(this, 862, 560);
    look::setGradient(this, QColor(0x6D, 0x9E, 0xC7), Qt::white);
    clock::applyProgramFormats();

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("panLista"));
    panel->setGeometry((862 - 833) / 2, (560 - 529) / 2, 833, 529);

    panContainer = named(new QWidget(panel), "panContainer");
    panContainer->setGeometry(0, 0, 833, 529);
    look::setBand(panContainer, QColor(255, 255, 255, 170), QColor(0x9F, 0xB6, 0xCD));

    lblBanner = named(new QLabel(panContainer), "lblBanner");
    lblBanner->setGeometry(8, 8, 817, 53);
    lblBanner->setAlignment(Qt::AlignCenter);
    lblBanner->setFont(look::font(QStringLiteral("Arial"), 20, true));
    lblBanner->setStyleSheet(QStringLiteral(
        "color: white; border: 1px solid #1F3F6B; border-radius: 6px;"
        " background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #5E8FBF, stop:0.5 #2F5F93, stop:1 #1F3F6B);"));

    lblIstruzioni = named(new QLabel(panContainer), "lblIstruzioni");
    lblIstruzioni->setGeometry(16, 66, 645, 31);
    lblIstruzioni->setFont(look::font(QStringLiteral("Verdana"), 8, true));
    lblIstruzioni->setStyleSheet(QStringLiteral("color: #1F3F6B;"));
    setInstructions(QStringLiteral(
        "Digitare una o pi\u00f9 parole consecutive della voce da cercare e premere il pulsante Trova.\n"
        "Premere di nuovo Trova per passare alla voce successiva che contiene le stesse parole."));

    // Quick find row: magnifier box, then the field and its button.
    auto* lens = new QWidget(panContainer);
    lens->setGeometry(16, 104, 44, 42);
    look::setBand(lens, Qt::white, QColor(0x9F, 0xB6, 0xCD));
    auto* lensPicture = new QLabel(lens);
    lensPicture->setGeometry(5, 4, 34, 34);
    lensPicture->setPixmap(look::picture(QStringLiteral("btn_trova"), QSize(34, 34)));
    auto* findBox = new QWidget(panContainer);
    findBox->setGeometry(66, 104, 751, 42);
    look::setGradient(findBox, QColor(0xE3, 0xEC, 0xF6), QColor(0xB9, 0xCF, 0xE6));
    txtTrova = named(new QLineEdit(findBox), "txtTrova");
    txtTrova->setGeometry(10, 7, 593, 28);
    txtTrova->setFont(look::font(QStringLiteral("Verdana"), 12, true));
    look::setFieldLook(txtTrova);
    btnTrova = makeButton(QStringLiteral("Trova"), "btnTrova", QRect(628, 6, 105, 30), findBox);

    lstRecords = named(new QListView(panContainer), "lstRecords");
    lstRecords->setGeometry(16, 154, 801, 273);
    m_model = new QStringListModel(this);
    lstRecords->setModel(m_model);
    m_delegate = new ListRowDelegate(lstRecords);
    lstRecords->setItemDelegate(m_delegate);
    lstRecords->setUniformItemSizes(true);
    lstRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    lstRecords->setAlternatingRowColors(true);
    lstRecords->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstRecords->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstRecords->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    lstRecords->setStyleSheet(QStringLiteral(
        "QListView { color: black; background: white; alternate-background-color: #EEF4FA;"
        " border: 1px solid #7A9CC0; }"
        "QListView::item:selected { background: #2F5F93; color: white; }"));
    setListFont(14);
    lstRecords->viewport()->installEventFilter(this);

    lblRigo03 = named(new QLabel(panContainer), "lblRigo03");
    lblRigo03->setGeometry(16, 432, 801, 22);
    lblRigo03->setAlignment(Qt::AlignCenter);
    lblRigo03->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    lblRigo03->setStyleSheet(QStringLiteral("color: #DC143C;"));

    btnChiudi = makeButton(QStringLiteral("Chiudi"), "btnChiudi", QRect(16, 478, 150, 30), panContainer);
    lblTrovate = named(new QLabel(panContainer), "lblTrovate");
    lblTrovate->setGeometry(176, 478, 481, 30);
    lblTrovate->setAlignment(Qt::AlignCenter);
    lblTrovate->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    lblTrovate->setStyleSheet(QStringLiteral("color: #008B8B;"));
    btnStampa = makeButton(QStringLiteral("Stampa"), "btnStampa", QRect(667, 478, 150, 30), panContainer);

    lblMemory = named(new QLabel(this), "lblMemory");
    lblMemory->hide();

    txtTrova->installEventFilter(this);
    setTabOrder(txtTrova, lstRecords);
    setTabOrder(lstRecords, btnStampa);
    setTabOrder(btnStampa, btnTrova);
    setTabOrder(btnTrova, btnChiudi);

    connect(btnTrova, &QPushButton::clicked, this, &ListWindow::btnTrovaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &ListWindow::btnChiudiClick);
    connect(btnStampa, &QPushButton::clicked, this, &ListWindow::btnStampaClick);
}

void ListWindow::setBanner(const QString& text)
{
    lblBanner->setText(text);
}

void ListWindow::setInstructions(const QString& text)
{
    lblIstruzioni->setText(text);
}

void ListWindow::setListFont(int pointSize)
{
    // The list's own font, whatever the style says, so the columns line up.
    lstRecords->setFont(look::font(QStringLiteral("Courier New"), pointSize));
}

void ListWindow::fitRowWidth()
{
    qsizetype longest = 0;
    for (const QString& line : lines())
        longest = qMax(longest, line.size());
    const int advance = QFontMetrics(lstRecords->font()).horizontalAdvance(QLatin1Char('M'));
    setRowWidth(int(qMax<qsizetype>(1600, longest * advance + 16)));
}

void ListWindow::setRowWidth(int width)
{
    m_delegate->rowWidth = width;
    lstRecords->doItemsLayout();
}

QStringList ListWindow::lines() const
{
    return m_model->stringList();
}

int ListWindow::lineCount() const
{
    return m_model->rowCount();
}

void ListWindow::setLines(QStringList lines)
{
    if (m_sorted)
        sortFold(lines);
    m_model->setStringList(lines);
}

void ListWindow::clearLines()
{
    m_model->setStringList({});
}

int ListWindow::selectedRow() const
{
    const QModelIndexList rows = lstRecords->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString ListWindow::selectedLine() const
{
    const int row = selectedRow();
    return row < 0 ? QString() : m_model->index(row).data().toString();
}

void ListWindow::selectRow(int row)
{
    if (row < 0 || row >= lineCount()) {
        lstRecords->selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = m_model->index(row);
    lstRecords->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    lstRecords->scrollTo(index);
}

void ListWindow::btnTrovaClick()
{
    const QStringList shown = lines();
    const auto out = quickfind::find(shown, selectedRow(), txtTrova->text(), *m_memory);
    if (out.emptyList) {
        msg::plain(this, QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
        return;
    }
    selectRow(out.selected);
    *m_memory = out.remembered;
}

void ListWindow::btnChiudiClick()
{
    close();
}

QString ListWindow::printTitle() const
{
    return vornel::trimmed(windowTitle());
}

void ListWindow::btnStampaClick()
{
    printSummary(this, printTitle(), lines());
}

void ListWindow::showEvent(QShowEvent* e)
{
    // No button is the default: a dialog would otherwise make its first
    // button the default, and Enter anywhere would press it.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    QDialog::showEvent(e);
    if (!e->spontaneous()) {
        look::centreOnScreen(this);
        FormShow();
    }
}

void ListWindow::closeEvent(QCloseEvent* e)
{
    FormClose();
    QDialog::closeEvent(e);
}

void ListWindow::keyPressEvent(QKeyEvent* e)
{
    // The window closes only by its own buttons.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    // Enter presses only the button that has the focus; in the list or on
    // the background it does nothing.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled())
            button->click();
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool ListWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtTrova && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter moves to Trova; it does not search by itself.
            btnTrova->setFocus();
            return true;
        }
    }
    if (watched == lstRecords->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // A double-click anywhere on the list acts on the selected line.
        lstRecordsDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
