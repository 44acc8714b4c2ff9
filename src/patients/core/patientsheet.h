#pragma once
#include "documents/report.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

// What the printout of a patient card ("Scheda informativa") shows: 24 rows
// of a title and a value made of the card's fields, a title and a closing
// line with the date and time of printing.
namespace vornel::patientsheet {

struct Row {
    QString title;
    QString value;
};

// The text of the card control of that name, as it stands.
using ControlText = std::function<QString(const QString& controlName)>;

// The 24 rows, each control's text trimmed.
QList<Row> rows(const ControlText& text);
QString title();
QString closing(const QDateTime& now);

// Turns the page to portrait and sets every memo of the layout by name.
// Throws report::ReportError when a memo is missing.
void fill(report::Document& doc, const ControlText& text, const QDateTime& now);

} // namespace vornel::patientsheet
