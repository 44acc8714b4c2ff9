// Saves a picture of each window of the program into a folder, for looking
// at the windows without a screen (QT_QPA_PLATFORM=offscreen).
// Usage: vornel_snapshots <folder>
#include "app/core/helptopics.h"
#include "app/help.h"
#include "app/mainmenu.h"
#include "app/password.h"
#include "app/registry.h"
#include "app/startup.h"
#include "certificates/certificatecards.h"
#include "certificates/printwindows.h"
#include "certificates/sporttables.h"
#include "patients/attachments.h"
#include "patients/checks.h"
#include "patients/privacy.h"
#include "patients/tfrmclienti.h"
#include "storage/programfolder.h"
#include "tools/strumenti.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

namespace {
void save(QWidget* w, const QString& folder, const QString& name)
{
    w->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

// A persistent card at its designed size.
void saveCard(QWidget* card, QWidget* menu, const QString& folder)
{
    card->resize(1016, 713);
    vornel::goTo(card, menu);
    card->showNormal();
    card->resize(1016, 713);
    QCoreApplication::processEvents();
    save(card, folder, QString::fromLatin1(card->metaObject()->className()));
    card->hide();
}

template <class Dialog>
void saveDialog(QWidget* owner, const QString& folder)
{
    Dialog dialog(owner);
    dialog.show();
    QCoreApplication::processEvents();
    save(&dialog, folder, QString::fromLatin1(Dialog::staticMetaObject.className()));
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    QTemporaryDir dir;
    vornel::setProgramFolder(dir.path());
    vornel::startUp();

    auto* login = vornel::instance<TfrmPassword>();
    QCoreApplication::processEvents();
    save(login, out, QStringLiteral("login"));
    auto* change = vornel::instance<TfrmCambiaPassword>();
    vornel::goTo(change, login);
    QCoreApplication::processEvents();
    save(change, out, QStringLiteral("cambia_password"));
    auto* menu = vornel::instance<TfrmAvvio>();
    menu->resize(1016, 713);
    menu->show();
    QCoreApplication::processEvents();
    save(menu, out, QStringLiteral("menu"));
    {
        TfrmInfo info(menu);
        info.show();
        QCoreApplication::processEvents();
        save(&info, out, QStringLiteral("info"));
    }
    {
        TfrmSplash splash(menu);
        splash.show();
        QCoreApplication::processEvents();
        save(&splash, out, QStringLiteral("splash"));
    }
    {
        TfrmGuida guida(menu);
        const vornel::help::Topic topic = vornel::help::mainMenu();
        guida.lblTitolo->setText(topic.title);
        guida.txtGuida->setPlainText(QString(topic.text()).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        guida.show();
        QCoreApplication::processEvents();
        save(&guida, out, QStringLiteral("guida"));
    }
    saveCard(vornel::instance<TfrmClienti>(), menu, out);
    saveCard(vornel::instance<TfrmCertificati>(), menu, out);
    saveCard(vornel::instance<TfrmCertificati_Agonistici>(), menu, out);
    saveCard(vornel::instance<TfrmCertificati_Disabili>(), menu, out);
    saveCard(vornel::instance<TfrmCertificati_NonIdoneita>(), menu, out);
    QWidget* card = vornel::instance<TfrmCertificati_Agonistici>();
    saveDialog<TfrmImpSport>(card, out);
    saveDialog<TfrmImpSportDis>(card, out);
    saveDialog<TfrmStampaAgonistici>(card, out);
    saveDialog<TfrmAnteprimaAgonistici>(card, out);
    QWidget* patients = vornel::instance<TfrmClienti>();
    saveDialog<TfrmAllegaCartella>(patients, out);
    saveDialog<TfrmCartella>(patients, out);
    saveDialog<TfrmCodFisc>(patients, out);
    saveDialog<TfrmPartitaIva>(patients, out);
    saveDialog<TfrmPrivacy>(patients, out);
    saveDialog<TfrmStrumenti>(menu, out);
    {
        TfrmPasswordCopia twice(true, menu);
        twice.show();
        QCoreApplication::processEvents();
        save(&twice, out, QStringLiteral("TfrmPasswordCopia"));
    }
    saveDialog<TfrmControllaArchivi>(menu, out);
    vornel::shutDown();
    return 0;
}
