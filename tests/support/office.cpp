#include "support/office.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace testing {

QString officeProgram()
{
    for (const char* name : {"soffice", "libreoffice"}) {
        const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!exe.isEmpty())
            return exe;
    }
    return {};
}

QList<QStringList> officeSheetCells(const QString& path, const QString& inFilter, QString* error)
{
    const QString office = officeProgram();
    if (office.isEmpty()) {
        *error = QStringLiteral("LibreOffice is not installed");
        return {};
    }
    QTemporaryDir out, profile;
    QProcess convert;
    convert.setProcessChannelMode(QProcess::MergedChannels);
    // 44 = comma, 34 = double quote, 76 = UTF-8, 1 = start at the first line.
    convert.start(office, {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
                           QStringLiteral("--headless"), QStringLiteral("--infilter=") + inFilter,
                           QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"),
                           QStringLiteral("--outdir"), out.path(), path});
    if (!convert.waitForFinished(180000)) {
        convert.kill();
        *error = QStringLiteral("LibreOffice did not finish");
        return {};
    }
    const QString csv = QDir(out.path()).filePath(QFileInfo(path).completeBaseName() + QStringLiteral(".csv"));
    QFile f(csv);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("LibreOffice wrote no CSV: ") + QString::fromLocal8Bit(convert.readAll());
        return {};
    }
    return parseCsv(QString::fromUtf8(f.readAll()));
}

QList<QStringList> parseCsv(const QString& csv)
{
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false, any = false;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        const QChar c = csv[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < csv.size() && csv[i + 1] == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            any = true;
        } else if (c == QLatin1Char(',')) {
            row << cell;
            cell.clear();
            any = true;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < csv.size() && csv[i + 1] == QLatin1Char('\n'))
                ++i;
            row << cell;
            rows << row;
            row.clear();
            cell.clear();
            any = false;
        } else {
            cell += c;
            any = true;
        }
    }
    if (any || !cell.isEmpty()) {
        row << cell;
        rows << row;
    }
    return rows;
}

} // namespace testing
