#include "app/cardwindow.h"

#include "app/mainmenu.h"
#include "app/messages.h"
#include "app/registry.h"
#include "storage/inifile.h"

#include <QCloseEvent>

CardWindow::CardWindow(const QString& caption, QWidget* parent) : QWidget(parent)
{
    setWindowTitle(caption);
    resize(1016, 713);
    setProperty("vornelMaximized", true);
}

bool CardWindow::FormClose()
{
    try {
        saveOnClose();
    } catch (const vornel::IniWriteError& e) {
        // Outside the archive guard: the error reaches the user with its own
        // text. Then the user may leave anyway: a folder that refuses every
        // write would otherwise keep the card open for ever.
        vornel::msg::error(this, QString::fromUtf8(e.what()));
        if (!vornel::msg::closeWithoutOfficeData(this))
            return false;
    }
    vornel::goTo(vornel::instance<TfrmAvvio>(), this);
    return true;
}

void CardWindow::closeEvent(QCloseEvent* event)
{
    // Hiding the card from goTo must not run the close handler again.
    if (m_closing || !isVisible()) {
        event->accept();
        return;
    }
    m_closing = true;
    const bool ok = FormClose();
    m_closing = false;
    if (ok)
        event->accept();
    else
        event->ignore();
}
