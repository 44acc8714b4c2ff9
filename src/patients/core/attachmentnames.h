#pragma once
#include <QString>

// Which chosen files can be attached to a patient card: the card stores the
// bare file name in a Windows-1252 field of fixed capacity, and must point at
// the very file that was copied.
namespace vornel::attachments {

enum class NameProblem {
    None,
    Characters, // a character Windows-1252 lacks, or blanks/control characters at an end (lost by trimming)
    Length,     // longer than the record field holds
};
NameProblem checkName(const QString& fileName);
// The most characters a stored attachment name may have.
int nameCapacity();
// The warning for a refused name, or an empty text.
QString refusalMessage(NameProblem problem, const QString& fileName);

} // namespace vornel::attachments
