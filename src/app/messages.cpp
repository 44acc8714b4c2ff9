#include "app/messages.h"

#include "storage/archive.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>

namespace vornel::msg {

namespace {
Responder& responder()
{
    static Responder r;
    return r;
}

bool show(QWidget* parent, Kind kind, const QString& text)
{
    if (responder())
        return responder()(kind, text);

    QMessageBox box(parent);
    box.setText(text);
    switch (kind) {
    case Kind::Warning:
        box.setIcon(QMessageBox::Warning);
        box.setWindowTitle(QStringLiteral("Attenzione"));
        break;
    case Kind::Error:
        box.setIcon(QMessageBox::Critical);
        box.setWindowTitle(QStringLiteral("Errore"));
        break;
    case Kind::Information:
        box.setIcon(QMessageBox::Information);
        box.setWindowTitle(QStringLiteral("Informazione"));
        break;
    case Kind::Confirmation:
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(QStringLiteral("Conferma"));
        break;
    case Kind::Plain:
        box.setWindowTitle(QStringLiteral("Vornel"));
        break;
    }
    if (kind == Kind::Confirmation) {
        QPushButton* yes = box.addButton(QStringLiteral("S\u00ec"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.exec();
        return box.clickedButton() == yes;
    }
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    if (kind != Kind::Plain)
        box.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    box.exec();
    return true;
}
} // namespace

void setResponder(Responder r)
{
    responder() = std::move(r);
}

void warning(QWidget* parent, const QString& text) { show(parent, Kind::Warning, text); }
void error(QWidget* parent, const QString& text) { show(parent, Kind::Error, text); }
void information(QWidget* parent, const QString& text) { show(parent, Kind::Information, text); }
bool confirm(QWidget* parent, const QString& text) { return show(parent, Kind::Confirmation, text); }
void plain(QWidget* parent, const QString& text) { show(parent, Kind::Plain, text); }

bool closeWithoutOfficeData(QWidget* parent)
{
    return confirm(parent, QStringLiteral("I dati dello studio medico non sono stati salvati.\r\n\r\n"
                                          "Si vuole chiudere ugualmente la finestra senza salvarli?"));
}

QString archiveLockedMessage(const QString& lockPath)
{
    return QStringLiteral("Attenzione: l'archivio \u00e8 in uso da un'altra postazione del programma "
                          "(file di blocco \"%1\").\r\n\r\nSi vuole riprovare?")
        .arg(QDir::toNativeSeparators(lockPath));
}

bool guarded(QWidget* parent, const std::function<void()>& action)
{
    for (;;) {
        try {
            action();
            return true;
        } catch (const ArchiveLockedError& e) {
            // Nothing was written: the whole action may run again.
            if (!confirm(parent, archiveLockedMessage(e.lockPath())))
                return false;
        } catch (const ArchiveError&) {
            error(parent, archiveErrorMessage());
            return false;
        }
    }
}

} // namespace vornel::msg
