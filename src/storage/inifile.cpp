#include "storage/inifile.h"

#include "storage/cp1252.h"
#include "storage/text.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace vornel {

namespace {

QStringList readLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString text = cp1252::decode(f.readAll());
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the terminator of the last line
    return lines;
}

// The section name of a "[Name]" line, or a null string.
QString sectionOf(const QString& line)
{
    const QString t = trimmed(line);
    if (t.startsWith(QLatin1Char('[')) ) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        if (close > 0)
            return trimmed(QStringView(t).mid(1, close - 1));
    }
    return QString();
}

// The key of a "Key=Value" line, or a null string.
QString keyOf(const QString& line, QString* value = nullptr)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return QString();
    if (value)
        *value = trimmed(QStringView(line).mid(eq + 1));
    return trimmed(QStringView(line).left(eq));
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

QString IniFile::read(const QString& section, const QString& key) const
{
    bool inSection = false;
    for (const QString& line : readLines(m_path)) {
        const QString s = sectionOf(line);
        if (!s.isNull()) {
            inSection = equalsFold(s, trimmed(section));
            continue;
        }
        if (!inSection)
            continue;
        QString value;
        const QString k = keyOf(line, &value);
        if (!k.isNull() && equalsFold(k, trimmed(key)))
            return value;
    }
    return QString();
}

void IniFile::write(const QString& section, const QString& key, const QString& value) const
{
    const auto refuse = [this] {
        throw IniWriteError(QStringLiteral("Unable to write to %1").arg(m_path).toStdString());
    };
    // A read-only file is refused, as the system's own profile routines do.
    const QFileInfo info(m_path);
    if (info.exists() && !info.isWritable())
        refuse();

    // A value is one line: line breaks become blanks.
    QString oneLine = value;
    oneLine.replace(QLatin1String("\r\n"), QLatin1String(" "));
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString entry = trimmed(key) + QLatin1Char('=') + oneLine;

    QStringList lines = readLines(m_path);
    qsizetype sectionLine = -1, lastEntry = -1, keyLine = -1;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString s = sectionOf(lines[i]);
        if (!s.isNull()) {
            if (inSection)
                break; // only the first section of that name counts
            inSection = equalsFold(s, trimmed(section));
            if (inSection)
                sectionLine = lastEntry = i;
            continue;
        }
        if (!inSection)
            continue;
        if (!trimmed(lines[i]).isEmpty())
            lastEntry = i;
        const QString k = keyOf(lines[i]);
        if (!k.isNull() && equalsFold(k, trimmed(key))) {
            keyLine = i;
            break;
        }
    }
    if (keyLine >= 0)
        lines[keyLine] = entry;
    else if (sectionLine >= 0)
        lines.insert(lastEntry + 1, entry);
    else
        lines << QLatin1Char('[') + trimmed(section) + QLatin1Char(']') << entry;

    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly))
        refuse();
    const QByteArray bytes = cp1252::encode(lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
    if (out.write(bytes) != bytes.size() || !out.commit())
        refuse();
}

} // namespace vornel
