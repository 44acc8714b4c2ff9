#include "app/shell.h"

#include "storage/text.h"

#include <QDesktopServices>

namespace {
std::function<void(const QUrl&)>& opener()
{
    static std::function<void(const QUrl&)> o;
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

void TMisc::Open(const QString& sCommand)
{
    const QUrl url = targetUrl(sCommand);
    if (opener())
        opener()(url);
    else
        QDesktopServices::openUrl(url);
}

void TMisc::setOpener(std::function<void(const QUrl&)> o)
{
    opener() = std::move(o);
}
