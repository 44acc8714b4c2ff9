#include "app/slowwork.h"

#include <QProgressDialog>

namespace {
constexpr int kSteps = 1000;
}

SlowWork::SlowWork(QWidget* parent, const QString& label, qint64 total)
    : m_dialog(std::make_unique<QProgressDialog>(label, QString(), 0, kSteps, parent)), m_total(qMax<qint64>(1, total))
{
    m_dialog->setWindowTitle(QStringLiteral(" Esportazione in Excel"));
    m_dialog->setObjectName(QStringLiteral("dlgAvanzamento"));
    m_dialog->setCancelButton(nullptr);
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setMinimumDuration(500);
    m_dialog->setAutoClose(true);
    m_dialog->setMinimumWidth(420);
    m_dialog->setValue(0);
}

SlowWork::~SlowWork()
{
    m_dialog->reset();
}

void SlowWork::step(qint64 done)
{
    const int value = int(qBound<qint64>(0, done, m_total) * kSteps / m_total);
    // Each new value lets the dialog paint; equal values cost nothing.
    if (value == m_shown)
        return;
    m_shown = value;
    m_dialog->setValue(value);
}
