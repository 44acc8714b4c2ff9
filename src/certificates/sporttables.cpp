#include "certificates/sporttables.h"

#include "app/registry.h"
#include "certificates/certificatecards.h"
#include "certificates/core/sportrows.h"
#include "storage/text.h"

#include <QLineEdit>

using namespace vornel;

namespace vornel::sport {
namespace {
template <class Card>
QWidget* card()
{
    return vornel::instance<Card>();
}

const Target kGeneralTargets[] = {
    {"richiesto", &card<TfrmCertificati_Agonistici>, "txtSportRichiesto"},
    {"approvato", &card<TfrmCertificati_Agonistici>, "txtSportApprovato"},
    {"richiesto_non", &card<TfrmCertificati_NonIdoneita>, "txtSportRichiesto"},
};
const Target kDisabledTargets[] = {
    {"richiesto_dis", &card<TfrmCertificati_Disabili>, "txtSportRichiesto"},
    {"approvato_dis", &card<TfrmCertificati_Disabili>, "txtSportApprovato"},
};
QString generalMemory;
QString disabledMemory;
} // namespace

const Table kGeneral{" Tabella discipline sportive", "TABELLA DISCIPLINE SPORTIVE", "Tabella discipline sportive",
                     &generalRows, kGeneralTargets, &generalMemory};
const Table kDisabled{" Tabella discipline sportive per disabili", "DISCIPLINE SPORTIVE PER DISABILI",
                      "Tabella discipline sportive per disabili", &disabledRows, kDisabledTargets, &disabledMemory};

} // namespace vornel::sport

SportTableWindow::SportTableWindow(const sport::Table& table, QWidget* parent)
    : ListWindow(QString::fromUtf8(table.caption), parent), m_table(table)
{
    setBanner(QString::fromUtf8(table.banner));
    lblRigo03->setText(QStringLiteral("Fare doppio clic sulla voce in elenco per importare la disciplina sportiva"));
    lblTrovate->hide();
    setSorted(true);
    useFindMemory(table.findMemory);
}

void SportTableWindow::FormShow()
{
    txtTrova->clear();
    clearLines();
    setLines(m_table.rows());
    setRowWidth(780);
    txtTrova->setFocus();
}

void SportTableWindow::FormClose()
{
    clearLines();
}

QString SportTableWindow::printTitle() const
{
    return QString::fromUtf8(m_table.printTitle);
}

void SportTableWindow::lstRecordsDblClick()
{
    const int row = selectedRow();
    if (row >= 0) {
        const QString marker = trimmed(lblMemory->text());
        for (const sport::Target& t : m_table.targets) {
            if (marker != QLatin1String(t.marker))
                continue;
            if (QWidget* card = t.card())
                if (auto* field = card->findChild<QLineEdit*>(QLatin1String(t.field))) {
                    field->setText(trimmed(selectedLine()));
                    field->setCursorPosition(0); // a long name shows its beginning
                }
        }
    }
    close();
}
