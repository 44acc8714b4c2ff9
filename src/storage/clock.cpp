#include "storage/clock.h"

#include <QLocale>

namespace vornel::clock {

namespace {
QDateTime& fixed()
{
    static QDateTime when;
    return when;
}
} // namespace

QDateTime now()
{
    return fixed().isValid() ? fixed() : QDateTime::currentDateTime();
}

QDate today()
{
    return now().date();
}

void setFixedNow(const QDateTime& when)
{
    fixed() = when;
}

QString shortDate(const QDate& d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

QString timeText(const QTime& t)
{
    return t.toString(QStringLiteral("HH:mm:ss"));
}

void applyProgramFormats()
{
    // Italian: "," as decimal separator and day/month/year dates.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

} // namespace vornel::clock
