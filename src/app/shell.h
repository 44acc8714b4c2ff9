#pragma once
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

// Hands a web address, "mailto:" address, file or folder to the desktop to
// open.
class TMisc {
public:
    // Returns whether the desktop took the target; web and "mailto:"
    // callers ignore it.
    static bool Open(const QString& sCommand);
    // Opens a file or folder the program has just written or offers. When
    // nothing on this computer opens it, an information box says where it
    // is, so the user can open it by hand.
    static void OpenFile(QWidget* parent, const QString& path);
    // What Open would hand to the desktop.
    static QUrl targetUrl(const QString& sCommand);
    // Tests record instead of opening, and answer whether it opened; an
    // empty opener gives back the desktop.
    static void setOpener(std::function<bool(const QUrl&)> opener);
};
