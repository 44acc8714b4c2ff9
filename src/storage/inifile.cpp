#include "storage/inifile.h"

#include "storage/cp1252.h"
#include "storage/filelayer.h"
#include "storage/text.h"

#include <QFileInfo>
#include <QStringList>

namespace vornel {

namespace {

// The file's lines; a missing file has none. 'readable' tells a file that
// exists but cannot be read.
QStringList readLines(const QString& path, bool* readable = nullptr)
{
    const files::Read r = files::readWhole(path);
    if (readable)
        *readable = r.status != files::Read::Unreadable;
    if (!r.ok())
        return {};
    const QString text = cp1252::decode(r.bytes);
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

namespace {
QString findValue(const QStringList& lines, const QString& section, const QString& key)
{
    bool inSection = false;
    for (const QString& line : lines) {
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

// Names the writer cannot put in a line that reads back as that name.
bool writable(const QString& name, bool isSection)
{
    const QString t = trimmed(name);
    if (t.isEmpty() || t.contains(QLatin1Char('\r')) || t.contains(QLatin1Char('\n')))
        return false;
    for (QChar c : t)
        if (!cp1252::canEncode(c))
            return false;
    if (isSection)
        return !t.contains(QLatin1Char(']'));
    return !t.startsWith(QLatin1Char('[')) && !t.contains(QLatin1Char('='));
}
} // namespace

QString IniFile::read(const QString& section, const QString& key) const
{
    return findValue(readLines(m_path), section, key);
}

QString IniFile::readChecked(const QString& section, const QString& key) const
{
    bool readable = true;
    const QStringList lines = readLines(m_path, &readable);
    if (!readable)
        throw IniReadError(QStringLiteral("Unable to read %1").arg(m_path).toStdString());
    return findValue(lines, section, key);
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
    if (!writable(section, true) || !writable(key, false))
        refuse();

    // A value is one line: line breaks become blanks.
    QString oneLine = value;
    oneLine.replace(QLatin1String("\r\n"), QLatin1String(" "));
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString entry = trimmed(key) + QLatin1Char('=') + oneLine;

    // A file that is there but cannot be read is never replaced by one
    // holding only the new key.
    bool readable = true;
    QStringList lines = readLines(m_path, &readable);
    if (!readable)
        refuse();
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

    try {
        files::writeWhole(m_path, cp1252::encode(lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n")));
    } catch (const files::FileError&) {
        refuse();
    }
}

} // namespace vornel
