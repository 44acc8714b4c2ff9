#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>

// The one source of "today" and "now", fixed by tests so dates in fields,
// printouts and file names are deterministic.
namespace vornel::clock {

QDateTime now();
QDate today();
// A valid value fixes the clock; an invalid one gives it back to the system.
void setFixedNow(const QDateTime& when);

// The program's short date format "dd/mm/yyyy" and time format "hh:mm:ss".
QString shortDate(const QDate& d);
QString timeText(const QTime& t);
// Sets the process-wide date format and decimal separator (Italian locale).
void applyProgramFormats();

} // namespace vornel::clock
