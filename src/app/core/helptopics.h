#pragma once
#include <QString>
#include <QStringList>

// The topics of the built-in help: a title and an ordered list of paragraphs,
// shown by the help window and gathered into the user manual "Guida.pdf".
namespace vornel::help {

struct Topic {
    QString title;
    QStringList paragraphs;
    // The paragraphs separated by one empty line ("\r\n\r\n"), with nothing
    // before the first or after the last.
    QString text() const;
};

enum class ExportKind { Patients, NonCompetitive, Competitive, Disabled, NonFitness };

// Main menu: the overview, the patient paragraphs, the certificate paragraphs
// and five closing paragraphs (28 in all).
Topic mainMenu();
// Patient card: 10 paragraphs.
Topic patients();
// The four certificate cards: 12 paragraphs, the same topic for all of them.
Topic certificates();
// The five export windows: 3 paragraphs, the first naming the archive.
Topic exportTopic(ExportKind kind);

// The practice tools (backup, verify, restore, archive check): 7 paragraphs.
Topic tools();

// The history of changes of the five cards: 5 paragraphs.
Topic history();

// The password of a new installation, as the help names it (lower case).
QString initialPassword();

} // namespace vornel::help
