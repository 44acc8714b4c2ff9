#include "certificates/core/patientimport.h"

namespace vornel::cards {

QList<std::pair<QString, QString>> patientImportValues(const Record& patient, bool withDocument)
{
    const auto t = [&patient](const char* field) { return patient.text(std::string_view(field)); };
    QList<std::pair<QString, QString>> values{
        {QStringLiteral("txtPaziente"), t("txtPaziente")},
        {QStringLiteral("txtDataNasc"), t("txtDataNasc")},
        {QStringLiteral("txtLuogoNasc"), t("txtComuneNasc") + QLatin1Char(' ') + t("txtProvNasc")},
        {QStringLiteral("txtResidenza"), t("txtIndirizzoRes") + QStringLiteral(" - CAP ") + t("txtCapRes") +
                                             QStringLiteral(" - ") + t("txtComuneRes") + QLatin1Char(' ') +
                                             t("txtProvRes")},
    };
    if (withDocument)
        values.append({QStringLiteral("txtDocumento"), t("txtVaccinazioni")});
    return values;
}

} // namespace vornel::cards
