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
#include "patients/patientsearch.h"
#include "patients/tfrmclienti.h"
#include "storage/archive.h"
#include "storage/programfolder.h"
#include "export/exportwindows.h"
#include "app/slowwork.h"
#include "lists/certificatesearch.h"
#include "storage/clock.h"
#include "practice/expiringwindow.h"
#include "practice/historywindow.h"
#include "practice/strumenti.h"

#include <QApplication>
#include <QDir>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QThread>
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
// A search window on its filter page, then on its result page.
template <class Search>
void saveSearch(QWidget* owner, const QString& folder)
{
    Search search(owner);
    search.show();
    QCoreApplication::processEvents();
    const QString name = QString::fromLatin1(Search::staticMetaObject.className());
    save(&search, folder, name);
    search.btnCerca->click();
    QCoreApplication::processEvents();
    save(&search, folder, name + QStringLiteral("_risultati"));
}

// A few patients and competitive certificates, so the lists show lines.
void addSamples()
{
    const char* const people[][5] = {
        {"Rossi Mario", "333 1234567", "RSSMRA80E12D704X", "Portare ECG", "Esito prova da sforzo"},
        {"bianchi anna", "0547 22334", "BNCNNA85M41C573K", "", "Richiamare per il certificato"},
        {"Verdi Giuseppe Maria Alessandro", "339 7654321", "VRDGPP70A01H501Z", "Allergia al lattice", ""},
    };
    vornel::Archive patients(vornel::archives::Pazienti);
    patients.open();
    vornel::Archive certificates(vornel::archives::Agonistici);
    certificates.open();
    for (const auto& p : people) {
        vornel::Record r(vornel::layouts::TSchedaPaziente);
        r.setText("txtPaziente", QString::fromUtf8(p[0]));
        r.setText("txtRecapito", QString::fromUtf8(p[1]));
        r.setText("txtCodFisc", QString::fromUtf8(p[2]));
        r.setText("txtTessera", QStringLiteral("80380001234567890123"));
        r.setText("txtNote", QString::fromUtf8(p[3]));
        r.setText("txtQuestioni", QString::fromUtf8(p[4]));
        r.setFlag("chkRicontatta", true);
        patients.append(r);
        vornel::Record c(vornel::layouts::TSchedaAgonistica);
        c.setText("txtPaziente", QString::fromUtf8(p[0]));
        c.setText("txtDataNasc", QStringLiteral("12/05/1980"));
        c.setText("txtSportRichiesto", QStringLiteral("Calcio"));
        c.setText("txtData", QStringLiteral("14/03/2026"));
        c.setText("txtDataScade", QStringLiteral("14/03/2027"));
        c.setFlag("chkCompletato", false);
        certificates.append(c);
    }
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
    // The smallest the menu gets: what a 1366 x 768 laptop's work area holds.
    menu->resize(menu->minimumSizeHint());
    QCoreApplication::processEvents();
    save(menu, out, QStringLiteral("menu_minimo"));
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
    {
        // A few records, so the export grids show rows.
        vornel::Archive certificates(vornel::archives::NonIdoneita);
        certificates.open();
        vornel::Archive people(vornel::archives::Pazienti);
        people.open();
        for (int i = 1; i <= 3; ++i) {
            vornel::Record c(vornel::layouts::TSchedaNonIdoneita);
            c.setText("txtPaziente", QStringLiteral("Rossi Mario %1").arg(i));
            c.setText("txtLuogoNasc", QStringLiteral("Forl\u00ec"));
            c.setText("txtDataNasc", QStringLiteral("12/05/1980"));
            c.setText("txtResidenza", QStringLiteral("Via Garibaldi 12, Cesena"));
            c.setText("txtSportRichiesto", QStringLiteral("Calcio"));
            c.setText("txtData", QStringLiteral("14/03/2026"));
            c.setFlag("chkCompletato", i == 2);
            certificates.append(c);
            vornel::Record p(vornel::layouts::TSchedaPaziente);
            p.setText("txtPaziente", QStringLiteral("Bianchi Anna %1").arg(i));
            p.setText("txtComuneNasc", QStringLiteral("Citt\u00e0 di Castello"));
            p.setText("txtProvNasc", QStringLiteral("PG"));
            p.setText("txtTessera", QStringLiteral("80380 00012%1").arg(i));
            people.append(p);
        }
    }
    {
        // Two changes of a certificate, its history window and the card
        // showing it (the history button enabled).
        vornel::Archive certificates(vornel::archives::NonIdoneita);
        vornel::Record c(vornel::layouts::TSchedaNonIdoneita);
        certificates.open();
        certificates.seek(1);
        certificates.read(c);
        c.setText("txtSportApprovato", QStringLiteral("Cardiopatia in corso di accertamento"));
        certificates.overwrite(2, c);
        c.setText("txtPaziente", QStringLiteral("Rossi Mario Luigi"));
        c.setFlag("chkCompletato", true);
        certificates.overwrite(2, c);
        certificates.close();
        auto* nonIdoneita = vornel::instance<TfrmCertificati_NonIdoneita>();
        TfrmStorico history(nonIdoneita, vornel::archives::NonIdoneita, 2);
        history.load();
        history.show();
        QCoreApplication::processEvents();
        history.selectRow(1);
        QCoreApplication::processEvents();
        save(&history, out, QStringLiteral("TfrmStorico"));
        history.close();
        nonIdoneita->resize(1016, 713);
        vornel::goTo(nonIdoneita, menu);
        nonIdoneita->showNormal();
        nonIdoneita->resize(1016, 713);
        nonIdoneita->loadRecord(c, 2);
        QCoreApplication::processEvents();
        save(nonIdoneita, out, QStringLiteral("TfrmCertificati_NonIdoneita_scheda"));
        nonIdoneita->hide();
    }
    saveDialog<TfrmExpCertificati>(card, out);
    saveDialog<TfrmExpCertificatiNon>(card, out);
    saveDialog<TfrmExpClienti>(patients, out);
    {
        TfrmGuida guida(card);
        guida.lblTitolo->setText(vornel::help::exportTopic(vornel::help::ExportKind::NonFitness).title);
        guida.txtGuida->setPlainText(vornel::help::exportTopic(vornel::help::ExportKind::NonFitness).text());
        guida.show();
        QCoreApplication::processEvents();
        save(&guida, out, QStringLiteral("guida_esportazione"));
    }
    {
        // The progress of slow work appears after half a second.
        SlowWork work(card, QStringLiteral("Scrittura del file di Excel in corso..."), 100);
        for (int i = 0; i <= 60; ++i) {
            QThread::msleep(15);
            work.step(i);
        }
        QCoreApplication::processEvents();
        for (QProgressDialog* d : card->findChildren<QProgressDialog*>())
            if (d->isVisible())
                save(d, out, QStringLiteral("avanzamento"));
    }
    addSamples();
    saveDialog<TfrmExpCertificatiAgo>(card, out);
    saveDialog<TfrmExpCertificatiDis>(vornel::instance<TfrmCertificati_Disabili>(), out);
    {
        // The patient grid scrolled to its last columns.
        TfrmExpClienti dialog(patients);
        dialog.show();
        QCoreApplication::processEvents();
        dialog.grdRecords->scrollTo(dialog.grid()->index(0, dialog.grid()->columnCount() - 1));
        QCoreApplication::processEvents();
        save(&dialog, out, QStringLiteral("TfrmExpClienti_ultime_colonne"));
    }
    saveSearch<TfrmTrovaClienti>(patients, out);
    saveSearch<TfrmTrovaCertificatiAgo>(card, out);
    saveSearch<TfrmTrovaCertificati>(vornel::instance<TfrmCertificati>(), out);
    saveSearch<TfrmTrovaCertificatiNon>(vornel::instance<TfrmCertificati_NonIdoneita>(), out);
    saveSearch<TfrmTrovaCertificatiDis>(vornel::instance<TfrmCertificati_Disabili>(), out);
    saveDialog<TfrmRicontatta>(patients, out);
    saveDialog<TfrmSelezionateAgo>(card, out);
    saveDialog<TfrmSelezionate>(vornel::instance<TfrmCertificati>(), out);
    saveDialog<TfrmSelezionateNon>(vornel::instance<TfrmCertificati_NonIdoneita>(), out);
    saveDialog<TfrmSelezionateDis>(vornel::instance<TfrmCertificati_Disabili>(), out);
    // A day the sample certificates are about to expire, for the tools
    // window's sentence and the list of expiring certificates.
    vornel::clock::setFixedNow(QDateTime(QDate(2027, 2, 20), QTime(9, 0)));
    saveDialog<TfrmStrumenti>(menu, out);
    saveDialog<TfrmScadenze>(menu, out);
    vornel::clock::setFixedNow(QDateTime());
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
