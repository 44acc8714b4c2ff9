#include "app/startup.h"

#include "app/cardwindow.h"
#include "app/mainmenu.h"
#include "app/messages.h"
#include "app/password.h"
#include "app/registry.h"
#include "certificates/certificatecards.h"
#include "patients/tfrmclienti.h"
#include "storage/archive.h"
#include "practice/core/backup.h"
#include "storage/clock.h"
#include "storage/programfolder.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

namespace vornel {

void prepareApplication()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
    // Qt's own buttons and dialogs speak Italian.
    auto* qtItalian = new QTranslator(qApp);
    if (qtItalian->load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtItalian);
    clock::applyProgramFormats();
    QApplication::setApplicationName(QStringLiteral("Vornel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/art/app_icon.svg")));
    // The run ends explicitly (exit picture, main menu closed, login "Esci"),
    // never because the visible window was swapped for another.
    QApplication::setQuitOnLastWindowClosed(false);
}

void startUp()
{
    prepareApplication();

    // The login window is created first: it is the application's main window.
    auto* login = new TfrmPassword();
    registerWindow(login);
    registerWindow(new TfrmAvvio());
    registerWindow(new TfrmCambiaPassword());
    registerWindow(new TfrmCertificati());
    registerWindow(new TfrmClienti());
    registerWindow(new TfrmCertificati_Agonistici());
    registerWindow(new TfrmCertificati_Disabili());
    registerWindow(new TfrmCertificati_NonIdoneita());

    // A restore cut short (killed, power cut) is finished or undone before
    // anything could create an archive it had moved aside.
    const backup::Recovery recovery = backup::recoverInterruptedRestore(programFolder());

    // The four certificate archives exist from the first run on; any failure
    // here is left for the cards to report when they are used. Not while an
    // interrupted restore keeps files aside: an empty archive would take
    // the place of the one it keeps.
    for (const ArchiveDef* def : {&archives::Certificati, &archives::Agonistici, &archives::Disabili,
                                  &archives::NonIdoneita}) {
        if (recovery.kind == backup::Recovery::Failed)
            break;
        try {
            Archive a(*def);
            a.open();
            a.close();
        } catch (const ArchiveError&) {
        }
    }

    goTo(login, nullptr);
    if (recovery.kind == backup::Recovery::Failed)
        msg::error(login, recovery.message);
    else if (recovery.kind != backup::Recovery::None)
        msg::information(login, recovery.message);
}

void shutDown()
{
    destroyWindows();
}

} // namespace vornel
