#pragma once
#include <QString>
#include <QUrl>

#include <functional>

// Hands a web address, "mailto:" address, file or folder to the desktop to
// open. Nothing is reported when nothing can open it.
class TMisc {
public:
    static void Open(const QString& sCommand);
    // What Open would hand to the desktop.
    static QUrl targetUrl(const QString& sCommand);
    // Tests record instead of opening; an empty opener gives back the desktop.
    static void setOpener(std::function<void(const QUrl&)> opener);
};
