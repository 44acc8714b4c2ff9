#pragma once
#include <QString>
#include <QStringList>

class QWidget;

namespace vornel {

// The "Stampa" of every list window: fills the "Riepilogo dati" layout with
// the window's title, the date and time of printing and the list lines (as
// shown, in list order), prepares it and prints it through the print dialog.
// A cancelled dialog prints nothing and says nothing; an engine or printer
// failure is shown with its own text.
void printSummary(QWidget* parent, const QString& title, const QStringList& lines);

} // namespace vornel
