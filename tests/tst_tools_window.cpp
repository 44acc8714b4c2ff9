// The practice tools window, driven from the main menu as a user would.
#include "app/filedialogs.h"
#include "app/look.h"
#include "app/mainmenu.h"
#include "app/password.h"
#include "app/registry.h"
#include "app/startup.h"
#include "storage/filelayer.h"
#include "storage/programfolder.h"
#include "storage/inifile.h"
#include "storage/records.h"
#include "support/pdfwords.h"
#include "support/testenv.h"
#include "practice/core/backup.h"
#include "app/reportui.h"
#include "practice/strumenti.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QProgressDialog>
#include <QTimer>
#include <QtTest>

#include <zip.h>

using namespace vornel;

namespace {

QByteArray patients(int count)
{
    QByteArray bytes;
    Record r(layouts::TSchedaPaziente);
    for (int i = 0; i < count; ++i) {
        r.clear();
        r.setText("txtPaziente", QStringLiteral("Bianchi %1").arg(i));
        r.setFlag("chkRicontatta", false);
        bytes += r.bytes();
    }
    return bytes;
}


} // namespace

class TestToolsWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;
    QTemporaryDir m_dest;
    QString m_folderAnswer;
    QStringList m_printed;

    // Opens the tools from the main menu's picture, runs 'inside' on the
    // window, and closes it with Esci.
    void withTools(const std::function<void(TfrmStrumenti*)>& inside)
    {
        auto* menu = instance<TfrmAvvio>();
        bool ran = false;
        testing::whenModal<TfrmStrumenti>([&](TfrmStrumenti* w) {
            inside(w);
            ran = true;
            w->cmdEsci->click();
        });
        QTest::mouseClick(menu->imgStrumenti, Qt::LeftButton);
        QVERIFY(ran);
        QVERIFY(!QApplication::activeModalWidget());
    }

    QString programFile(const QString& name) const { return m_env->path(name); }

private slots:
    void initTestCase()
    {
        vornel::printing::setPrintSeam([this](const report::Document& doc, QWidget*) {
            const QString path = m_dest.filePath(QStringLiteral("stampa%1.pdf").arg(m_printed.size()));
            doc.exportPdf(path);
            m_printed << path;
            return true;
        });
    }
    void cleanupTestCase() { vornel::printing::setPrintSeam({}); }
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_folderAnswer = m_dest.path();
        dialogs::setFolderResponder([this](const QString&, const QString&) { return m_folderAnswer; });
        startUp();
        goTo(instance<TfrmAvvio>(), instance<TfrmPassword>());
        testing::writeFile(programFile("Pazienti.vrn"), patients(2));
        testing::writeFile(programFile("Studio_Medico_Vrn.ini"), "[Modulo Privacy]\r\nStudio Medico=Studio Rossi\r\n");
        QDir().mkpath(programFile("Documenti_Allegati"));
        testing::writeFile(programFile("Documenti_Allegati/referto.pdf"), "contenuto del referto");
    }
    void cleanup()
    {
        shutDown();
        dialogs::setFolderResponder({});
        m_env.reset();
        for (const QString& f : QDir(m_dest.path()).entryList(QDir::Files))
            QFile::remove(m_dest.filePath(f));
    }

    // A restore killed part way (here right after it moved the patient
    // archive aside) is finished by the next start before any archive is
    // created, and the user is told; a restore whose journal cannot be read
    // is left alone, said so, and no missing archive is created empty.
    void startUpFinishesAnInterruptedRestore()
    {
        shutDown();
        QTemporaryDir source;
        testing::writeFile(source.filePath("Pazienti.vrn"), patients(5));
        testing::writeFile(source.filePath("Certificati.vrn"), QByteArray());
        const QString zip = m_dest.filePath("Vornel_Copia_2026-03-01_0800.zip");
        QVERIFY(backup::createCopy(source.path(), zip, QString()).outcome == backup::Outcome::Done);
        const QString restorer = QDir(qEnvironmentVariable("VORNEL_TEST_HELPER_DIR")).filePath("restorer");
        QProcess p;
        p.start(restorer, {m_env->folder(), zip, programFile("Vornel_Prima.zip"), "2"});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        QVERIFY(!QFile::exists(programFile("Pazienti.vrn")));

        startUp();
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].kind, msg::Kind::Information);
        QVERIFY2(m_env->messages[0].text.startsWith(
                     "All'avvio \u00e8 stato trovato un ripristino interrotto della copia "
                     "\"Vornel_Copia_2026-03-01_0800.zip\": \u00e8 stato completato"),
                 qPrintable(m_env->messages[0].text));
        QCOMPARE(testing::readFile(programFile("Pazienti.vrn")), patients(5));
        QVERIFY(QDir(m_env->folder()).entryList({".vornel_ripristino_*"}, QDir::Dirs | QDir::Hidden).isEmpty());

        shutDown();
        m_env->messages.clear();
        QFile::remove(programFile("Certificati_Disabili.vrn"));
        QVERIFY(QDir().mkpath(programFile(".vornel_ripristino_XyZ123")));
        testing::writeFile(programFile(".vornel_ripristino_XyZ123/giornale.json"), "{ rotto");
        startUp();
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].kind, msg::Kind::Error);
        QVERIFY(m_env->messages[0].text.contains("il cui giornale non si pu\u00f2 leggere"));
        QVERIFY(!QFile::exists(programFile("Certificati_Disabili.vrn")));
        QVERIFY(QFile::exists(programFile(".vornel_ripristino_XyZ123/giornale.json")));
    }

    // Attachments kept on another disk through a link: Copia copies their
    // content and names the link; Ripristina asks before writing through it,
    // naming where it leads, and No stops before anything moves.
    void linkedAttachmentsAreCopiedAndAskedAbout()
    {
        QTemporaryDir outside;
        for (int i = 0; i < 20; ++i)
            testing::writeFile(outside.filePath(QStringLiteral("allegato%1.txt").arg(i)), QByteArray::number(i));
        QVERIFY(QDir(programFile("Documenti_Allegati")).removeRecursively());
        QVERIFY(QFile::link(outside.path(), programFile("Documenti_Allegati")));

        withTools([&](TfrmStrumenti* w) { QTest::mouseClick(w->cmdCopia, Qt::LeftButton); });
        QVERIFY2(m_env->lastText().startsWith("Copia di sicurezza creata e verificata."), qPrintable(m_env->lastText()));
        QVERIFY2(m_env->lastText().endsWith("\r\n\r\nCollegamenti seguiti, copiati come cartelle e file normali: "
                                            "Documenti_Allegati."),
                 qPrintable(m_env->lastText()));
        const QStringList zips = QDir(m_dest.path()).entryList({"Vornel_Copia_*.zip"}, QDir::Files);
        QCOMPARE(zips.size(), 1);
        const backup::VerifyReport v = backup::verifyCopy(m_dest.filePath(zips[0]), QString());
        QVERIFY(v.whole());
        int attachments = 0;
        for (const backup::ManifestFile& f : v.manifest.files)
            attachments += f.path.startsWith("Documenti_Allegati/allegato") ? 1 : 0;
        QCOMPARE(attachments, 20);

        testing::writeFile(outside.filePath("allegato0.txt"), "cambiato");
        m_env->messages.clear();
        m_env->openFileAnswer = m_dest.filePath(zips[0]);
        msg::setResponder([&](msg::Kind kind, const QString& text) {
            m_env->messages.append({kind, text});
            return !text.contains("collegamento"); // Sì to the restore, No to the link
        });
        withTools([&](TfrmStrumenti* w) { QTest::mouseClick(w->cmdRipristina, Qt::LeftButton); });
        QCOMPARE(m_env->messages.size(), 2);
        QCOMPARE(m_env->messages[1].text,
                 QStringLiteral("Attenzione: nella cartella del programma, Documenti_Allegati \u00e8 un collegamento a "
                                "%1, fuori dalla cartella del programma.\r\n\r\nIl ripristino scriver\u00e0 i file della "
                                "copia in quella posizione. Continuare?")
                     .arg(QDir::toNativeSeparators(outside.path())));
        QCOMPARE(testing::readFile(outside.filePath("allegato0.txt")), QByteArray("cambiato"));
        QVERIFY(QDir(m_env->folder()).entryList({"Vornel_Prima*"}).isEmpty());
    }

    void windowLooksAndHints()
    {
        withTools([&](TfrmStrumenti* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral(" Strumenti di Vornel"));
            QCOMPARE(w->minimumSize(), w->maximumSize());
            QCOMPARE(w->cmdCopia->text(), QStringLiteral("Crea copia di sicurezza"));
            QCOMPARE(w->cmdVerifica->text(), QStringLiteral("Verifica una copia"));
            QCOMPARE(w->cmdRipristina->text(), QStringLiteral("Ripristina da una copia"));
            QCOMPARE(w->cmdControlla->text(), QStringLiteral("Controlla gli archivi"));
            QCOMPARE(w->lblUltimaCopia->text(), QStringLiteral("Nessuna copia di sicurezza eseguita."));
            // Room for more tools below the last one, inside the window.
            QVERIFY(TfrmStrumenti::freeRowTop() >= w->cmdScadenze->geometry().bottom());
            QVERIFY(TfrmStrumenti::freeRowTop() + 46 < w->lblUltimaCopia->geometry().top());
            // Moved on the dialog's own window: the maximised main menu lies
            // under it on the screen.
            QVERIFY(QTest::qWaitForWindowExposed(w));
            QTest::mouseMove(w->windowHandle(), w->cmdRipristina->geometry().center());
            QTRY_COMPARE(w->panInfo->text(),
                         QStringLiteral("Sostituisce i dati attuali con quelli di una copia di sicurezza."));
            QTest::mouseMove(w->windowHandle(), QPoint(w->width() / 2, w->lblUltimaCopia->geometry().top() - 3));
            QTRY_VERIFY(w->panInfo->text().isEmpty());
        });
        QCOMPARE(instance<TfrmAvvio>()->imgStrumenti->cursor().shape(), Qt::PointingHandCursor);
    }

    void copyIsMadeVerifiedAndRemembered()
    {
        withTools([&](TfrmStrumenti* w) { QTest::mouseClick(w->cmdCopia, Qt::LeftButton); });
        const QString zip = m_dest.filePath("Vornel_Copia_2026-03-14_0926.zip");
        QVERIFY(QFile::exists(zip));
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].kind, msg::Kind::Information);
        QVERIFY2(m_env->lastText().startsWith(QStringLiteral("Copia di sicurezza creata e verificata.\r\n\r\n"
                                                               "File copiati: 7\r\nDimensione: ")),
                 qPrintable(m_env->lastText()));
        QVERIFY(m_env->lastText().endsWith(QStringLiteral("\r\nPercorso: ") + QDir::toNativeSeparators(zip)));
        const QByteArray ini = testing::readFile(programFile("Studio_Medico_Vrn.ini"));
        QVERIFY2(ini.startsWith("[Modulo Privacy]\r\nStudio Medico=Studio Rossi\r\n"), ini.constData());
        QVERIFY(ini.contains("[Copia di sicurezza]\r\nCartella=" + QDir::toNativeSeparators(m_dest.path()).toLocal8Bit()));

        // The next opening tells when and where the last copy was made.
        withTools([&](TfrmStrumenti* w) {
            QCOMPARE(w->lblUltimaCopia->text(),
                     QStringLiteral("Ultima copia di sicurezza verificata: 14/03/2026 alle 09:26\n")
                         + QDir::toNativeSeparators(zip));
        });
    }

    void copyInsideProgramFolderWarnsFirst()
    {
        m_folderAnswer = programFile("Copie");
        QDir().mkpath(m_folderAnswer);
        m_env->confirmAnswer = false;
        withTools([&](TfrmStrumenti* w) { QTest::mouseClick(w->cmdCopia, Qt::LeftButton); });
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].kind, msg::Kind::Confirmation);
        QVERIFY(m_env->lastText().startsWith(
            QStringLiteral("Attenzione: la cartella scelta si trova nella cartella del programma")));
        QVERIFY(QDir(m_folderAnswer).isEmpty());
        m_env->confirmAnswer = true;
        withTools([&](TfrmStrumenti* w) { QTest::mouseClick(w->cmdCopia, Qt::LeftButton); });
        QCOMPARE(QDir(m_folderAnswer).entryList(QDir::Files), QStringList{"Vornel_Copia_2026-03-14_0926.zip"});
    }

    void unwritableFolderLeavesNothing_data()
    {
        QTest::addColumn<bool>("folderIsAFile");
        QTest::addColumn<int>("op"); // files::Op of a fault on the copy's ZIP, -1 for none
        QTest::addColumn<int>("after"); // uses of the operation that succeed first
        QTest::addColumn<QString>("reason");
        const QString cannotCreate = "Impossibile creare il file nella cartella di destinazione: la cartella non "
                                     "esiste o la scrittura non \u00e8 consentita.";
        const QString cannotWrite = "Impossibile scrivere nella cartella di destinazione: il disco potrebbe essere "
                                    "pieno oppure la scrittura non \u00e8 consentita.";
        QTest::newRow("folder that is a file") << true << -1 << 0 << cannotCreate;
        QTest::newRow("write of the ZIP fails") << false << int(files::Op::Write) << 2 << cannotWrite;
        QTest::newRow("finished ZIP cannot take its name") << false << int(files::Op::Rename) << 0 << cannotWrite;
    }
    void unwritableFolderLeavesNothing()
    {
        QFETCH(bool, folderIsAFile);
        QFETCH(int, op);
        QFETCH(int, after);
        QFETCH(QString, reason);
        QStringList left;
        if (folderIsAFile) {
            testing::writeFile(m_dest.filePath("un_file"), "x");
            m_folderAnswer = m_dest.filePath("un_file/copie");
            left << "un_file";
        }
        if (op >= 0)
            files::faults::failOn(files::Op(op), QStringLiteral("Vornel_Copia_2026-03-14_0926.zip"), -1, after);
        withTools([&](TfrmStrumenti* w) { QTest::mouseClick(w->cmdCopia, Qt::LeftButton); });
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].kind, msg::Kind::Error);
        QCOMPARE(m_env->lastText(),
                 QStringLiteral("Attenzione: non \u00e8 stato possibile creare la copia di sicurezza.\r\n\r\n")
                     + reason + QStringLiteral("\r\n\r\nNella cartella scelta non \u00e8 rimasto nessun file."));
        QCOMPARE(QDir(m_dest.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), left);
    }

    void annullaOnTheProgressLeavesNothing()
    {
        // A large file (sparse, so cheap to make and read) keeps the copy
        // busy long enough for the progress dialog to show.
        QFile big(programFile("Documenti_Allegati/grande.bin"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(qint64(3) << 30));
        big.close();
        QString label;
        withTools([&](TfrmStrumenti* w) {
            testing::whenModal<QProgressDialog>([&](QProgressDialog* p) {
                label = p->labelText();
                QPushButton* annulla = p->findChild<QPushButton*>();
                QCOMPARE(annulla->text(), QStringLiteral("Annulla"));
                annulla->click();
            });
            QTest::mouseClick(w->cmdCopia, Qt::LeftButton);
        });
        QCOMPARE(label, QStringLiteral("Scrittura della copia di sicurezza..."));
        QCOMPARE(m_env->texts(), QStringList{QStringLiteral(
                                     "Copia di sicurezza annullata: nella cartella scelta non \u00e8 rimasto nessun file.")});
        QCOMPARE(QDir(m_dest.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    void protectedCopyAsksThePasswordTwiceThenOnce()
    {
        withTools([&](TfrmStrumenti* w) {
            w->chkPassword->setChecked(true);
            int round = 0;
            std::function<void(TfrmPasswordCopia*)> answer = [&](TfrmPasswordCopia* p) {
                QVERIFY(p->txtConferma->isVisible());
                QTest::keyClicks(p->txtPassword, round == 0 ? "uno" : "Segreta");
                testing::pressEnter(p->txtPassword);
                QTRY_VERIFY(p->txtConferma->hasFocus());
                QTest::keyClicks(p->txtConferma, round == 0 ? "due" : "Segreta");
                ++round;
                if (round == 1)
                    testing::whenModal<TfrmPasswordCopia>(answer); // asked again after the warning
                p->btnOK->click();
            };
            testing::whenModal<TfrmPasswordCopia>(answer);
            QTest::mouseClick(w->cmdCopia, Qt::LeftButton);
        });
        QCOMPARE(m_env->texts().first(),
                 QStringLiteral("Attenzione: le due password non coincidono.\r\n\r\nDigitarle di nuovo."));
        const QString zip = m_dest.filePath("Vornel_Copia_2026-03-14_0926.zip");
        QVERIFY(backup::isEncrypted(zip));
        QVERIFY(m_env->lastText().startsWith(QStringLiteral("Copia di sicurezza creata e verificata.")));

        m_env->openFileAnswer = zip;
        withTools([&](TfrmStrumenti* w) {
            testing::whenModal<TfrmPasswordCopia>([](TfrmPasswordCopia* p) {
                QVERIFY(!p->txtConferma->isVisible());
                QTest::keyClicks(p->txtPassword, "Segreta");
                p->btnOK->click();
            });
            QTest::mouseClick(w->cmdVerifica, Qt::LeftButton);
        });
        QCOMPARE(m_env->lastText(), QStringLiteral("La copia di sicurezza \u00e8 integra.\r\n\r\nCopia del 14/03/2026 "
                                                   "alle 09:26: 7 file, 2 pazienti e 0 certificati."));
    }

    void damagedCopyIsReportedAndRefused()
    {
        const QString zip = m_dest.filePath("copia.zip");
        QVERIFY(backup::createCopy(m_env->folder(), zip, QString()).outcome == backup::Outcome::Done);
        QByteArray bytes = testing::readFile(zip);
        const int at = bytes.indexOf("contenuto del referto");
        QVERIFY(at > 0);
        bytes[at + 2] = 'X'; // stored as it is: the pdf is not deflated
        testing::writeFile(zip, bytes);
        testing::writeFile(programFile("Pazienti.vrn"), patients(5));
        QDir program(m_env->folder());
        const QStringList before = program.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const QByteArray archive = testing::readFile(programFile("Pazienti.vrn"));

        m_env->openFileAnswer = zip;
        withTools([&](TfrmStrumenti* w) {
            QTest::mouseClick(w->cmdVerifica, Qt::LeftButton);
            QTest::mouseClick(w->cmdRipristina, Qt::LeftButton);
        });
        QCOMPARE(m_env->texts(), (QStringList{
                                     QStringLiteral("Attenzione: la copia di sicurezza non \u00e8 integra.\r\n\r\n"
                                                    "File danneggiati: Documenti_Allegati/referto.pdf."),
                                     QStringLiteral("Attenzione: la copia non pu\u00f2 essere ripristinata.\r\n\r\n"
                                                    "File danneggiati: Documenti_Allegati/referto.pdf."),
                                 }));
        QCOMPARE(program.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QCOMPARE(testing::readFile(programFile("Pazienti.vrn")), archive);
    }

    // A chosen file that is not a whole copy of this program: Verifica says
    // why, Ripristina refuses with the same reason and touches nothing.
    void refusedChoicesChangeNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not a ZIP") << "notzip"
                                   << "Attenzione: il file scelto non \u00e8 un archivio ZIP leggibile: la copia \u00e8 "
                                      "danneggiata.";
        QTest::newRow("ZIP without manifest") << "plainzip"
                                              << "Attenzione: il file scelto non \u00e8 una copia di sicurezza di "
                                                 "Vornel.";
        QTest::newRow("wrong password") << "protected" << "Attenzione: la password non \u00e8 corretta.";
    }
    void refusedChoicesChangeNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString zip = m_dest.filePath("scelta.zip");
        if (kind == "notzip") {
            testing::writeFile(zip, "PK\x03\x04 non davvero");
        } else if (kind == "plainzip") {
            int err = 0;
            zip_t* za = zip_open(QFile::encodeName(zip).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
            QVERIFY(za);
            zip_file_add(za, "Pazienti.vrn", zip_source_buffer(za, "abc", 3, 0), 0);
            QCOMPARE(zip_close(za), 0);
        } else {
            QVERIFY(backup::createCopy(m_env->folder(), zip, QStringLiteral("Segreta")).outcome
                    == backup::Outcome::Done);
        }
        testing::writeFile(programFile("Pazienti.vrn"), patients(3));
        QDir program(m_env->folder());
        const QStringList before = program.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        const QByteArray archive = testing::readFile(programFile("Pazienti.vrn"));
        const QByteArray ini = testing::readFile(programFile("Studio_Medico_Vrn.ini"));

        m_env->openFileAnswer = zip;
        int asked = 0;
        std::function<void(TfrmPasswordCopia*)> answer = [&](TfrmPasswordCopia* p) {
            QTest::keyClicks(p->txtPassword, "Sbagliata");
            if (++asked == 1)
                testing::whenModal<TfrmPasswordCopia>(answer);
            p->btnOK->click();
        };
        if (kind == "protected")
            testing::whenModal<TfrmPasswordCopia>(answer);
        withTools([&](TfrmStrumenti* w) {
            QTest::mouseClick(w->cmdVerifica, Qt::LeftButton);
            QTest::mouseClick(w->cmdRipristina, Qt::LeftButton);
        });
        QCOMPARE(asked, kind == "protected" ? 2 : 0);
        QCOMPARE(m_env->texts(), (QStringList{reason, reason}));
        QCOMPARE(m_env->messages[1].kind, msg::Kind::Warning);
        QCOMPARE(program.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
        QCOMPARE(testing::readFile(programFile("Pazienti.vrn")), archive);
        QCOMPARE(testing::readFile(programFile("Studio_Medico_Vrn.ini")), ini);
        QVERIFY(QFile::remove(zip));
    }

    // What a copy holds is named in the singular where it is one.
    void countsOfTheCopyReadAsItalian_data()
    {
        QTest::addColumn<int>("patientCount");
        QTest::addColumn<int>("certificateCount");
        QTest::addColumn<QString>("held");
        QTest::newRow("one and one") << 1 << 1 << "1 paziente e 1 certificato";
        QTest::newRow("none and many") << 0 << 3 << "0 pazienti e 3 certificati";
        QTest::newRow("many and one") << 2 << 1 << "2 pazienti e 1 certificato";
    }
    void countsOfTheCopyReadAsItalian()
    {
        QFETCH(int, patientCount);
        QFETCH(int, certificateCount);
        QFETCH(QString, held);
        testing::writeFile(programFile("Pazienti.vrn"), patients(patientCount));
        testing::writeFile(programFile("Certificati.vrn"),
                           QByteArray(certificateCount * layouts::TSchedaCertificato.size(), '\0'));
        const QString zip = m_dest.filePath("copia.zip");
        QVERIFY(backup::createCopy(m_env->folder(), zip, QString()).outcome == backup::Outcome::Done);
        m_env->openFileAnswer = zip;
        m_env->confirmAnswer = false;
        withTools([&](TfrmStrumenti* w) {
            QTest::mouseClick(w->cmdVerifica, Qt::LeftButton);
            QTest::mouseClick(w->cmdRipristina, Qt::LeftButton);
        });
        QCOMPARE(m_env->texts().size(), 2);
        QCOMPARE(m_env->texts()[0], QStringLiteral("La copia di sicurezza \u00e8 integra.\r\n\r\nCopia del 14/03/2026 "
                                                   "alle 09:26: 7 file, ")
                                        + held + QStringLiteral("."));
        QVERIFY2(m_env->texts()[1].startsWith(QStringLiteral("Ripristinare la copia di sicurezza del 14/03/2026 alle "
                                                             "09:26?\r\n\r\nLa copia contiene ")
                                              + held + QStringLiteral(".\r\n\r\n")),
                 qPrintable(m_env->texts()[1]));
    }

    void restoreAsksThenRestoresAndKeepsTheFilesAsTheyWere()
    {
        const QString zip = m_dest.filePath("copia.zip");
        QVERIFY(backup::createCopy(m_env->folder(), zip, QString()).outcome == backup::Outcome::Done);
        const QByteArray copied = testing::readFile(programFile("Pazienti.vrn"));
        testing::writeFile(programFile("Pazienti.vrn"), patients(4));
        const QByteArray current = testing::readFile(programFile("Pazienti.vrn"));
        m_env->openFileAnswer = zip;

        m_env->confirmAnswer = false;
        withTools([&](TfrmStrumenti* w) { QTest::mouseClick(w->cmdRipristina, Qt::LeftButton); });
        QCOMPARE(m_env->texts(),
                 QStringList{QStringLiteral(
                     "Ripristinare la copia di sicurezza del 14/03/2026 alle 09:26?\r\n\r\nLa copia contiene 2 "
                     "pazienti e 0 certificati.\r\n\r\nGli archivi, le impostazioni e i documenti della copia "
                     "sostituiranno quelli attuali; prima i file attuali saranno salvati nella copia "
                     "\"Vornel_Prima_del_ripristino_2026-03-14_0926.zip\" nella cartella del programma.")});
        QCOMPARE(testing::readFile(programFile("Pazienti.vrn")), current);
        QVERIFY(!QFile::exists(programFile("Vornel_Prima_del_ripristino_2026-03-14_0926.zip")));

        m_env->confirmAnswer = true;
        // The settings file of the copy knows nothing of the copies made since.
        IniFile(programFile("Studio_Medico_Vrn.ini"))
            .write("Copia di sicurezza", "Ultimo file", QStringLiteral("/media/chiavetta/Vornel_Copia_2026-03-14_0920.zip"));
        IniFile(programFile("Studio_Medico_Vrn.ini")).write("Copia di sicurezza", "Ultima copia", "14/03/2026 alle 09:20");
        withTools([&](TfrmStrumenti* w) {
            QTest::mouseClick(w->cmdRipristina, Qt::LeftButton);
            QCOMPARE(w->lblUltimaCopia->text(), QStringLiteral("Ultima copia di sicurezza verificata: 14/03/2026 alle "
                                                               "09:20\n")
                                                    + QDir::toNativeSeparators("/media/chiavetta/Vornel_Copia_2026-03-14_0920.zip"));
        });
        QVERIFY2(m_env->lastText().startsWith(QStringLiteral("Ripristino completato e verificato.")),
                 qPrintable(m_env->lastText()));
        QCOMPARE(testing::readFile(programFile("Pazienti.vrn")), copied);
        // The files as they were are in the copy made before the restore.
        const QString before = programFile("Vornel_Prima_del_ripristino_2026-03-14_0926.zip");
        const backup::VerifyReport v = backup::verifyCopy(before, QString());
        QVERIFY(v.whole());
        QCOMPARE(v.manifest.patients(), 4);
    }

    void archiveCheckListsAndPrints()
    {
        testing::writeFile(programFile("Pazienti.vrn"), patients(2) + QByteArray(10, 'x'));
        QStringList lines;
        withTools([&](TfrmStrumenti* w) {
            testing::whenModal<TfrmControllaArchivi>([&](TfrmControllaArchivi* list) {
                QCOMPARE(list->windowTitle(), QStringLiteral(" Controllo archivi"));
                lines = list->lines();
                QTest::mouseClick(list->btnStampa, Qt::LeftButton);
                list->btnChiudi->click();
            });
            QTest::mouseClick(w->cmdControlla, Qt::LeftButton);
        });
        QVERIFY(lines.contains(QStringLiteral("  Scheda incompleta alla fine: 10 byte dopo la scheda 2")));
        QCOMPARE(lines.last(), QStringLiteral("Esito: problemi trovati in 1 archivio su 5."));
        QCOMPARE(m_printed.size(), 1);
        const PdfText pdf = readPdfText(m_printed.last());
        QVERIFY(pdf.ok);
        QVERIFY(pdf.pageText(0).contains(QStringLiteral("Controllo archivi")));
        QVERIFY(pdf.pageText(0).contains(QStringLiteral("Scheda incompleta alla fine: 10 byte dopo la scheda 2")));
    }

    // A stored attachment name that leads out of Documenti_Allegati is
    // listed as a problem of its own, though a file stands at that place.
    void archiveCheckListsAttachmentsOutsideTheirFolder()
    {
        QByteArray bytes = patients(2);
        Record r(layouts::TSchedaPaziente, bytes.constData() + layouts::TSchedaPaziente.size());
        r.setText("lblFile01", QStringLiteral("referto.pdf"));
        r.setText("lblFile03", QStringLiteral("../Paziente_1/visita.txt"));
        bytes.replace(layouts::TSchedaPaziente.size(), r.bytes().size(), r.bytes());
        testing::writeFile(programFile("Pazienti.vrn"), bytes);
        QDir().mkpath(programFile("Paziente_1"));
        testing::writeFile(programFile("Paziente_1/visita.txt"), "visita");
        QStringList lines;
        withTools([&](TfrmStrumenti* w) {
            testing::whenModal<TfrmControllaArchivi>([&](TfrmControllaArchivi* list) {
                lines = list->lines();
                list->btnChiudi->click();
            });
            QTest::mouseClick(w->cmdControlla, Qt::LeftButton);
        });
        QVERIFY(lines.contains(QStringLiteral("  Documenti allegati mancanti: nessuno")));
        const qsizetype at = lines.indexOf(QStringLiteral("  Documenti allegati fuori dalla cartella Documenti_Allegati: 1"));
        QVERIFY2(at > 0, qPrintable(lines.join(u'\n')));
        QCOMPARE(lines.value(at + 1), QStringLiteral("    scheda 2, lblFile03: ../Paziente_1/visita.txt"));
        QCOMPARE(lines.last(), QStringLiteral("Esito: problemi trovati in 1 archivio su 5."));
    }

    void helpHasItsOwnTopic()
    {
        QString title;
        withTools([&](TfrmStrumenti* w) {
            testing::whenModal<QDialog>([&](QDialog* d) {
                if (QString::fromLatin1(d->metaObject()->className()) != QLatin1String("TfrmGuida"))
                    return;
                title = d->findChild<QLabel*>(QStringLiteral("lblTitolo"))->text();
                d->close();
            });
            QTest::mouseClick(w->cmdGuida, Qt::LeftButton);
        });
        QCOMPARE(title, QStringLiteral("Strumenti di Vornel"));
    }
};

QTEST_MAIN(TestToolsWindow)
#include "tst_tools_window.moc"
