#include "support/office.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QXmlStreamReader>

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

namespace {

// The text of a text:p (or of an element inside it): spaces, tabs and line
// breaks written as elements are given back as characters.
void readOdfText(QXmlStreamReader& xml, QString& out)
{
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement())
            return;
        if (xml.isCharacters()) {
            out += xml.text();
        } else if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("s")) {
                const QStringView c = xml.attributes().value(QLatin1String("text:c"));
                out += QString(c.isEmpty() ? 1 : c.toInt(), QLatin1Char(' '));
                xml.skipCurrentElement();
            } else if (xml.name() == QLatin1String("tab")) {
                out += QLatin1Char('\t');
                xml.skipCurrentElement();
            } else if (xml.name() == QLatin1String("line-break")) {
                out += QLatin1Char('\n');
                xml.skipCurrentElement();
            } else {
                readOdfText(xml, out); // a span or a link: its text
            }
        }
    }
}

OfficeCell readOdfCell(QXmlStreamReader& xml)
{
    OfficeCell cell;
    const QXmlStreamAttributes a = xml.attributes();
    cell.type = a.value(QLatin1String("office:value-type")).toString();
    cell.formula = a.value(QLatin1String("table:formula")).toString();
    bool firstParagraph = true;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("p")) {
            if (!firstParagraph)
                cell.text += QLatin1Char('\n');
            firstParagraph = false;
            readOdfText(xml, cell.text);
        } else {
            xml.skipCurrentElement();
        }
    }
    return cell;
}

// The first table of a flat ODF spreadsheet.
OfficeSheet readFlatOdf(const QByteArray& bytes, QString* error)
{
    OfficeSheet sheet;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd() && !(xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("table")
                             && xml.namespaceUri().endsWith(QLatin1String(":table:1.0")))) {
    }
    if (xml.atEnd()) {
        *error = QStringLiteral("no table in the flat ODF file: ") + xml.errorString();
        return {};
    }
    sheet.name = xml.attributes().value(QLatin1String("table:name")).toString();
    int pendingEmptyRows = 0; // empty rows kept only when a filled one follows
    // Rows may sit inside row groups or header rows: walk every element.
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement()) {
            --depth;
            continue;
        }
        if (!xml.isStartElement())
            continue;
        if (xml.name() != QLatin1String("table-row")) {
            if (xml.name() == QLatin1String("table-column") || xml.name() == QLatin1String("shapes")
                || xml.name() == QLatin1String("named-expressions"))
                xml.skipCurrentElement();
            else
                ++depth;
            continue;
        }
        const int rowRepeat = qMax(1, xml.attributes().value(QLatin1String("table:number-rows-repeated")).toInt());
        QList<OfficeCell> row;
        int pendingEmptyCells = 0;
        while (xml.readNextStartElement()) {
            const int repeat =
                qMax(1, xml.attributes().value(QLatin1String("table:number-columns-repeated")).toInt());
            const OfficeCell cell = readOdfCell(xml);
            if (cell.type.isEmpty() && cell.text.isEmpty() && cell.formula.isEmpty()) {
                pendingEmptyCells += repeat;
                continue;
            }
            for (; pendingEmptyCells > 0; --pendingEmptyCells)
                row.append(OfficeCell());
            for (int i = 0; i < repeat; ++i)
                row.append(cell);
        }
        if (row.isEmpty()) {
            pendingEmptyRows += rowRepeat;
            continue;
        }
        for (; pendingEmptyRows > 0; --pendingEmptyRows)
            sheet.rows.append(QList<OfficeCell>());
        for (int i = 0; i < rowRepeat; ++i)
            sheet.rows.append(row);
    }
    if (xml.hasError()) {
        *error = xml.errorString();
        return {};
    }
    return sheet;
}

// One profile for every run of this process, made on the first run: runs
// follow one another, and a fresh profile makes LibreOffice start slowly.
QString officeProfile()
{
    static QTemporaryDir profile;
    return QUrl::fromLocalFile(profile.path()).toString();
}

} // namespace

QList<OfficeSheet> officeSheets(const QStringList& paths, const QString& inFilter, QString* error)
{
    const QString office = officeProgram();
    if (office.isEmpty()) {
        *error = QStringLiteral("LibreOffice is not installed");
        return {};
    }
    QTemporaryDir out;
    QStringList args{QStringLiteral("-env:UserInstallation=") + officeProfile(), QStringLiteral("--headless")};
    if (!inFilter.isEmpty())
        args << QStringLiteral("--infilter=") + inFilter;
    args << QStringLiteral("--convert-to") << QStringLiteral("fods") << QStringLiteral("--outdir") << out.path()
         << paths;
    QProcess convert;
    convert.setProcessChannelMode(QProcess::MergedChannels);
    convert.start(office, args);
    if (!convert.waitForFinished(180000)) {
        convert.kill();
        *error = QStringLiteral("LibreOffice did not finish");
        return {};
    }
    const QString log = QString::fromLocal8Bit(convert.readAll());
    QList<OfficeSheet> sheets;
    for (const QString& path : paths) {
        QFile f(QDir(out.path()).filePath(QFileInfo(path).completeBaseName() + QStringLiteral(".fods")));
        if (!f.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("LibreOffice did not convert %1: %2").arg(path, log);
            return {};
        }
        sheets.append(readFlatOdf(f.readAll(), error));
        if (!error->isEmpty())
            return {};
    }
    return sheets;
}

QJsonObject openpyxlRead(const QString& path, QString* error)
{
    // Debian's own Python first: python3-openpyxl is installed for it, and
    // another python3 earlier on the PATH may not have it.
    QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    if (python.isEmpty())
        python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) {
        *error = QStringLiteral("python3 is not installed");
        return {};
    }
    static const char* const script = R"(
import json, sys
try:
    import openpyxl
except ImportError:
    print("NO-OPENPYXL"); sys.exit(3)
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
rows = []
for row in ws.iter_rows():
    rows.append([[c.value, c.data_type, bool(c.font and c.font.b)] for c in row])
out = {"sheets": wb.sheetnames, "title": wb.properties.title, "author": wb.properties.creator,
       "freeze": ws.freeze_panes, "filter": ws.auto_filter.ref,
       "widths": {k: v.width for k, v in ws.column_dimensions.items()}, "rows": rows}
sys.stdout.write(json.dumps(out, default=str))
)";
    QProcess run;
    run.start(python, {QStringLiteral("-c"), QString::fromUtf8(script), path});
    if (!run.waitForFinished(60000)) {
        run.kill();
        *error = QStringLiteral("openpyxl did not finish");
        return {};
    }
    const QByteArray out = run.readAllStandardOutput();
    if (run.exitCode() == 3) {
        *error = QStringLiteral("openpyxl is not installed (Debian: python3-openpyxl)");
        return {};
    }
    QJsonParseError parsed{};
    const QJsonDocument doc = QJsonDocument::fromJson(out, &parsed);
    if (run.exitCode() != 0 || !doc.isObject()) {
        *error = QStringLiteral("openpyxl could not read %1: %2").arg(path, QString::fromUtf8(run.readAllStandardError()));
        return {};
    }
    return doc.object();
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
