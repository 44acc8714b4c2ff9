// Saves a picture of each window of the shell into a folder, for looking at
// the program's windows without a screen (QT_QPA_PLATFORM=offscreen).
// Usage: vornel_snapshots <folder>
#include "app/core/helptopics.h"
#include "app/help.h"
#include "app/mainmenu.h"
#include "app/password.h"
#include "app/registry.h"
#include "app/startup.h"
#include "storage/programfolder.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

namespace {
void save(QWidget* w, const QString& folder, const QString& name)
{
    w->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
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
    vornel::shutDown();
    return 0;
}
