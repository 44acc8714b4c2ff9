#include "app/shell.h"

#include "app/messages.h"
#include "storage/text.h"

#include <QDesktopServices>
#include <QDir>

namespace {
std::function<bool(const QUrl&)>& opener()
{
    static std::function<bool(const QUrl&)> o;
    return o;
}
} // namespace

QUrl TMisc::targetUrl(const QString& sCommand)
{
    QString target = vornel::trimmed(sCommand);
    // Callers wrap paths in double quotes, as the Windows shell wants.
    if (target.size() >= 2 && target.startsWith(QLatin1Char('"')) && target.endsWith(QLatin1Char('"')))
        target = target.mid(1, target.size() - 2);
    if (target.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive) || target.contains(QLatin1String("://")))
        return QUrl(target);
    if (target.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return QUrl(QStringLiteral("https://") + target);
    return QUrl::fromLocalFile(target);
}

bool TMisc::Open(const QString& sCommand)
{
    const QUrl url = targetUrl(sCommand);
    if (opener())
        return opener()(url);
    return QDesktopServices::openUrl(url);
}

void TMisc::OpenFile(QWidget* parent, const QString& path)
{
    if (Open(QLatin1Char('"') + path + QLatin1Char('"')))
        return;
    vornel::msg::information(parent, QStringLiteral("Impossibile aprire automaticamente il file:\r\n\r\n%1\r\n\r\n"
                                                    "Aprirlo con il programma adatto.")
                                         .arg(QDir::toNativeSeparators(path)));
}

void TMisc::setOpener(std::function<bool(const QUrl&)> o)
{
    opener() = std::move(o);
}
