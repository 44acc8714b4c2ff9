#include "patients/core/attachmentnames.h"

#include "storage/cp1252.h"
#include "storage/records.h"
#include "storage/text.h"

namespace vornel::attachments {

int nameCapacity()
{
    const RecordLayout& layout = layouts::TSchedaPaziente;
    return layout.fields()[std::size_t(layout.indexOf(std::string_view("lblFile01")))].capacity;
}

NameProblem checkName(const QString& fileName)
{
    if (trimmed(fileName) != fileName)
        return NameProblem::Characters;
    for (QChar c : fileName)
        if (!cp1252::canEncode(c))
            return NameProblem::Characters;
    if (fileName.size() > nameCapacity())
        return NameProblem::Length;
    return NameProblem::None;
}

QString refusalMessage(NameProblem problem, const QString& fileName)
{
    switch (problem) {
    case NameProblem::None:
        break;
    case NameProblem::Characters:
        return QStringLiteral("Attenzione: il nome del file \"%1\" contiene caratteri che non possono essere "
                              "memorizzati nella scheda (lettere di altri alfabeti, simboli particolari, oppure "
                              "spazi all'inizio o alla fine del nome).\r\n\r\n"
                              "Rinominare il file e selezionarlo di nuovo.")
            .arg(fileName);
    case NameProblem::Length:
        return QStringLiteral("Attenzione: il nome del file \"%1\" \u00e8 troppo lungo per essere memorizzato "
                              "nella scheda (al massimo %2 caratteri).\r\n\r\n"
                              "Rinominare il file con un nome pi\u00f9 breve e selezionarlo di nuovo.")
            .arg(fileName)
            .arg(nameCapacity());
    }
    return QString();
}

} // namespace vornel::attachments
