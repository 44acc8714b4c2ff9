#include "export/exportflow.h"

#include "app/messages.h"
#include "app/shell.h"
#include "app/slowwork.h"
#include "export/core/xlsxexport.h"

#include <QDir>
#include <QFileInfo>

namespace vornel::exporting {

bool exportToExcel(QWidget* parent, const QString& path, const xls::Sheet& sheet, Format format)
{
    if (!msg::confirm(parent, QStringLiteral("L'esportazione dei dati in Excel pu\u00f2 richiedere diversi minuti a "
                                             "seconda del numero di schede presenti in archivio.\r\n\r\n"
                                             "Si vuole esportare i dati adesso?")))
        return false;

    bool written;
    {
        SlowWork progress(parent, QStringLiteral("Scrittura del file di Excel in corso..."), sheet.rows);
        const auto step = [&](qint64 rows) { progress.step(rows); };
        written = format == Format::Xlsx ? xlsx::writeFile(path, sheet, step) : xls::writeFile(path, sheet, step);
    }
    if (!written) {
        msg::plain(parent, QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                                          "Accertarsi che il file di Excel non sia gi\u00e0 aperto."));
        return false;
    }

    if (msg::confirm(parent, QStringLiteral("Le schede in archivio sono state esportate con successo.\r\n\r\n"
                                            "Si vuole aprire il file di Excel?")))
        TMisc::OpenFile(parent, path);
    return true;
}

QString xlsxPath(const QString& xlsPath)
{
    const QFileInfo xls(xlsPath);
    return xls.dir().filePath(xls.completeBaseName() + QStringLiteral(".xlsx"));
}

} // namespace vornel::exporting
