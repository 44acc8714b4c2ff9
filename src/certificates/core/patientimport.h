#pragma once
#include "storage/records.h"

#include <QList>
#include <QString>

#include <utility>

namespace vornel::cards {

// What a certificate card takes from a patient record (TSchedaPaziente) when
// a patient is imported: (card field, value) pairs, each part trimmed and
// joined as it is, empty parts included. The identity document only for the
// cards that have a document field.
QList<std::pair<QString, QString>> patientImportValues(const Record& patient, bool withDocument);

} // namespace vornel::cards
