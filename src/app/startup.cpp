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
#include "storage/filelayer.h"
#include "storage/programfolder.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace vornel {

QStringList loadProgramFonts(const QString& folder)
{
    QStringList families;
    const QDir dir(folder);
    if (!dir.exists())
        return families;
    const QStringList files = dir.entryList({QStringLiteral("*.ttf"), QStringLiteral("*.otf"),
                                             QStringLiteral("*.ttc"), QStringLiteral("*.TTF"),
                                             QStringLiteral("*.OTF"), QStringLiteral("*.TTC")},
                                            QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : files) {
        const int id = QFontDatabase::addApplicationFont(dir.filePath(name));
        if (id < 0)
            continue;
        for (const QString& family : QFontDatabase::applicationFontFamilies(id)) {
            if (!families.contains(family))
                families.append(family);
        }
    }
    return families;
}

void prepareApplication()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    // The fonts shipped beside the executable come first, so the names below
    // map to the same faces (and the same printed metrics) on every machine;
    // without the folder the system's fonts serve.
    loadProgramFonts(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("fonts")));
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

    // A folder the user may not write into (a program installed by an
    // administrator, a read-only share) is said once, before anything else:
    // otherwise the first sign would be a card that cannot be saved.
    if (!files::canCreateFilesIn(programFolder()))
        msg::warning(login, QStringLiteral(
            "La cartella del programma non \u00e8 scrivibile: le schede non potranno essere salvate. "
            "Nemmeno i dati dello studio medico e i documenti potranno essere scritti.\r\n\r\n%1\r\n\r\n"
            "Chiedere all'amministratore del computer il permesso di scrittura su questa cartella, "
            "oppure copiare il programma in una cartella in cui sia possibile scrivere.")
                                .arg(QDir::toNativeSeparators(programFolder())));

    // Then what the start-up found of a restore cut short.
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
