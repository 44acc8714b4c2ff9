#pragma once
#include <QString>

// The four record buttons of the cards (first, previous, next, last): what
// a press does, given the position the card shows and the archive's size.
namespace vornel::nav {

enum class Button { First, Previous, Next, Last };

struct Step {
    enum Kind {
        Nothing,      // no record brought up, no message
        EmptyArchive, // "L'archivio non contiene nessuna scheda."
        Load,         // bring up the record at 'position' (1-based)
    };
    Kind kind = Nothing;
    qint64 position = 0;
    // Next on an empty archive also empties the card's position.
    bool clearPosition = false;
};

// Previous on record 1 neither opens the archive nor does anything else.
bool opensArchive(Button button, const QString& shownPosition);
// The press, once the archive is open and holds 'count' records. An empty
// position counts as 0, so next and previous both bring up record 1 from a
// blank card; neither wraps around at the ends.
Step step(Button button, const QString& shownPosition, qint64 count);

// The messages every card shows for its record buttons, Salva and Duplica.
inline const QString kEmptyArchiveMessage = QStringLiteral("L'archivio non contiene nessuna scheda.");
inline const QString kInsertedMessage = QStringLiteral("La scheda corrente \u00e8 stata inserita in archivio.");
inline const QString kUpdatedMessage =
    QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");
inline const QString kDuplicateNeedsStoredCard =
    QStringLiteral("Attenzione: la duplicazione di una scheda pu\u00f2 avvenire soltanto dopo che questa \u00e8 stata "
                   "inserita in archivio.");
inline const QString kDuplicateReady =
    QStringLiteral("E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\r"
                   "Al termine premere Salva per inserire la scheda in archivio.");

} // namespace vornel::nav
