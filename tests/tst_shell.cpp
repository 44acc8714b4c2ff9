// The application shell: start-up, login and change-password windows, the
// main menu and its navigation, help, and how the run ends.
#include "app/core/crypt.h"
#include "app/core/helptopics.h"
#include "app/help.h"
#include "app/look.h"
#include "app/mainmenu.h"
#include "app/password.h"
#include "app/registry.h"
#include "app/shell.h"
#include "app/startup.h"
#include "certificates/certificatecards.h"
#include "patients/tfrmclienti.h"
#include "storage/archive.h"
#include "storage/filelayer.h"
#include "storage/inifile.h"
#include "storage/programfolder.h"
#include "support/testenv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <memory>

using namespace vornel;

namespace {
void storePassword(const QString& plainCapitals)
{
    IniFile(passwordFilePath()).write(QStringLiteral("Accesso"), QStringLiteral("Valore"), Crypt::Encrypt(plainCapitals));
}
QString focusedName()
{
    QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
}
// Minimises a shown window and restores it, as the taskbar does.
void restore(QWidget* w)
{
    QVERIFY(w->isVisible());
    w->showMinimized();
    QTRY_VERIFY(w->isMinimized());
    w->showNormal();
    QTRY_VERIFY(!w->isMinimized());
    QCoreApplication::processEvents();
}
void typeInto(QLineEdit* e, const QString& text)
{
    e->setFocus();
    e->clear();
    // QTest types ASCII only; other characters arrive as an insertion, which
    // the field handles as typing.
    bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
    if (ascii)
        QTest::keyClicks(e, text);
    else
        e->insert(text);
}
} // namespace

class TestShell : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
    }
    void cleanup()
    {
        shutDown();
        m_env.reset();
    }

    void startUpCreatesCertificateArchivesOnly()
    {
        startUp();
        for (const char* name : {"Certificati.vrn", "Certificati_Agonistici.vrn", "Certificati_Disabili.vrn",
                                 "Certificati_Non_Idoneita.vrn"}) {
            QVERIFY2(QFile::exists(m_env->path(QString::fromLatin1(name))), name);
            QCOMPARE(QFileInfo(m_env->path(QString::fromLatin1(name))).size(), 0);
        }
        QVERIFY(!QFile::exists(m_env->path(QStringLiteral("Pazienti.vrn"))));
        auto* login = instance<TfrmPassword>();
        QVERIFY(login->isVisible());
        QCOMPARE(login->windowTitle(), QStringLiteral(" Vornel - Autenticazione"));
        QCOMPARE(login->size(), QSize(388, 405));
        QTRY_COMPARE(focusedName(), QStringLiteral("txtPassword"));
        QVERIFY(!login->cmdOK->isEnabled());
        for (QWidget* w : {static_cast<QWidget*>(instance<TfrmAvvio>()), static_cast<QWidget*>(instance<TfrmClienti>()),
                           static_cast<QWidget*>(instance<TfrmCertificati>())})
            QVERIFY(!w->isVisible());
        QCOMPARE(instance<TfrmCertificati_NonIdoneita>()->windowTitle(),
                 QStringLiteral(" Vornel - Archivio Certificati di Non Idoneit\u00e0 a Sport Agonistici"));
    }

    void startUpExistingArchivesKept()
    {
        testing::writeFile(m_env->path(QStringLiteral("Certificati.vrn")), QByteArray(1975 * 2, 'x'));
        startUp();
        QCOMPARE(QFileInfo(m_env->path(QStringLiteral("Certificati.vrn"))).size(), 1975 * 2);
    }

    void login_data()
    {
        QTest::addColumn<QString>("stored");   // plain form stored (encrypted by the test)
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("lower case and blanks") << "VORNEL" << "  vornel " << true;
        QTest::newRow("wrong") << "VORNEL" << "vornell" << false;
        QTest::newRow("accent as typed") << QStringLiteral("CAFF\u00c8") << QStringLiteral("caff\u00e8") << false;
        QTest::newRow("accent matches itself") << QStringLiteral("CAFF\u00e8") << QStringLiteral("caff\u00e8") << true;
        QTest::newRow("accent not plain letter") << QStringLiteral("CAFF\u00e8") << QStringLiteral("caffe") << false;
    }
    void login()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        storePassword(stored);
        startUp();
        auto* login = instance<TfrmPassword>();
        typeInto(login->txtPassword, typed);
        QVERIFY(login->cmdOK->isEnabled());
        QTest::keyClick(login->txtPassword, Qt::Key_Return);
        if (accepted) {
            QVERIFY(m_env->messages.isEmpty());
            QVERIFY(instance<TfrmAvvio>()->isVisible());
            QVERIFY(!login->isVisible());
        } else {
            QCOMPARE(m_env->texts(), QStringList{QStringLiteral("Attenzione: password errata.")});
            QCOMPARE(m_env->messages.first().kind, msg::Kind::Plain);
            QCOMPARE(login->txtPassword->text(), QString());
            QVERIFY(!login->cmdOK->isEnabled());
            QTRY_COMPARE(focusedName(), QStringLiteral("txtPassword"));
            QVERIFY(!instance<TfrmAvvio>()->isVisible());
        }
    }

    void loginEdgeCases()
    {
        startUp();
        auto* login = instance<TfrmPassword>();
        // Blanks only: OK stays disabled and Enter does nothing.
        typeInto(login->txtPassword, QStringLiteral("   "));
        QVERIFY(!login->cmdOK->isEnabled());
        QTest::keyClick(login->txtPassword, Qt::Key_Return);
        QVERIFY(m_env->messages.isEmpty());
        // No password file: every password is wrong.
        typeInto(login->txtPassword, QStringLiteral("vornel"));
        login->cmdOK->click();
        QCOMPARE(m_env->lastText(), QStringLiteral("Attenzione: password errata."));
        // A stored value that is not hexadecimal.
        IniFile(passwordFilePath()).write(QStringLiteral("Accesso"), QStringLiteral("Valore"), QStringLiteral("7G"));
        typeInto(login->txtPassword, QStringLiteral("vornel"));
        login->cmdOK->click();
        QCOMPARE(m_env->lastText(),
                 QStringLiteral("Attenzione: si \u00e8 verificato un errore durante la procedura di lettura della password. "
                                "Si consiglia di reinstallare il software."));
        QCOMPARE(login->txtPassword->text(), QStringLiteral("vornel"));
        QVERIFY(login->isVisible());
    }

    void shippedPasswordFileOpensWithVornel()
    {
        // The build writes the initial password file into the program folder.
        const QString shipped = QCoreApplication::applicationDirPath() + QStringLiteral("/../program/unins000.dll");
        QVERIFY2(QFile::exists(shipped), qPrintable(shipped));
        QFile::copy(shipped, passwordFilePath());
        startUp();
        auto* login = instance<TfrmPassword>();
        typeInto(login->txtPassword, QStringLiteral("vornel"));
        login->cmdOK->click();
        QVERIFY(m_env->messages.isEmpty());
        QVERIFY(instance<TfrmAvvio>()->isVisible());
    }

    void changePassword_data()
    {
        QTest::addColumn<QString>("oldTyped");
        QTest::addColumn<QString>("newTyped");
        QTest::addColumn<QString>("confirmTyped");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("stored"); // plain form stored afterwards
        const QString ok = QStringLiteral("Modifica della password completata con successo.");
        const QString mismatch = QStringLiteral("Attenzione: la nuova password non \u00e8 stata confermata correttamente. "
                                                "E' necessario reinserire entrambi i valori.");
        QTest::newRow("success") << " vornel " << "nuova1" << " nuova1 " << ok << "txtPassword" << "NUOVA1";
        QTest::newRow("wrong old") << "sbagliata" << "nuova1" << "nuova1"
                                   << "Attenzione: vecchia password errata." << "txtPasswordOld" << "VORNEL";
        QTest::newRow("case counts in confirmation") << "vornel" << "Nuova" << "nuova" << mismatch << "txtPasswordNew"
                                                     << "VORNEL";
        QTest::newRow("above code 255") << "vornel" << QStringLiteral("\u20acuro") << QStringLiteral("\u20acuro")
                                        << QStringLiteral("Attenzione: la nuova password pu\u00f2 contenere al massimo 255 caratteri, "
                                                          "scelti tra lettere, cifre, lettere accentate e simboli comuni. "
                                                          "E' necessario reinserire entrambi i valori.")
                                        << "txtPasswordNew" << "VORNEL";
    }
    void changePassword()
    {
        QFETCH(QString, oldTyped);
        QFETCH(QString, newTyped);
        QFETCH(QString, confirmTyped);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(QString, stored);
        storePassword(QStringLiteral("VORNEL"));
        startUp();
        auto* login = instance<TfrmPassword>();
        login->btnCambiaPassword->click();
        auto* change = instance<TfrmCambiaPassword>();
        QVERIFY(change->isVisible());
        QVERIFY(!login->isVisible());
        QTRY_COMPARE(focusedName(), QStringLiteral("txtPasswordOld"));
        QTRY_VERIFY(change->effPasswordOld->isVisible());
        typeInto(change->txtPasswordOld, oldTyped);
        QVERIFY(!change->cmdOK->isEnabled());
        typeInto(change->txtPasswordNew, newTyped);
        typeInto(change->txtConferma, confirmTyped);
        QVERIFY(change->cmdOK->isEnabled());
        change->cmdOK->click();
        QCOMPARE(m_env->texts(), QStringList{message});
        QTRY_COMPARE(focusedName(), focus);
        const QString value = IniFile(passwordFilePath()).read(QStringLiteral("Accesso"), QStringLiteral("Valore"));
        QCOMPARE(Crypt::Decrypt(value), stored);
        if (focus == QLatin1String("txtPassword")) {
            // Back at the login window: the new password is required.
            QVERIFY(!change->isVisible());
            QVERIFY(login->isVisible());
            QCOMPARE(login->txtPassword->text(), QString());
            typeInto(login->txtPassword, QStringLiteral("vornel"));
            login->cmdOK->click();
            QCOMPARE(m_env->lastText(), QStringLiteral("Attenzione: password errata."));
            typeInto(login->txtPassword, QStringLiteral("Nuova1"));
            login->cmdOK->click();
            QVERIFY(instance<TfrmAvvio>()->isVisible());
        } else {
            QVERIFY(change->isVisible());
            if (focus == QLatin1String("txtPasswordOld")) {
                QCOMPARE(change->txtPasswordOld->text(), QString());
                QCOMPARE(change->txtPasswordNew->text(), newTyped);
            } else {
                QCOMPARE(change->txtPasswordNew->text(), QString());
                QCOMPARE(change->txtConferma->text(), QString());
                QCOMPARE(change->txtPasswordOld->text(), oldTyped);
            }
        }
    }

    void changePasswordEnterRingAndHighlight()
    {
        startUp();
        instance<TfrmPassword>()->btnCambiaPassword->click();
        auto* change = instance<TfrmCambiaPassword>();
        typeInto(change->txtPasswordOld, QStringLiteral("a"));
        typeInto(change->txtPasswordNew, QStringLiteral("b"));
        typeInto(change->txtConferma, QStringLiteral("c"));
        QTRY_COMPARE(focusedName(), QStringLiteral("txtConferma"));
        QTRY_VERIFY(change->effConferma->isVisible());
        QTest::keyClick(change->txtConferma, Qt::Key_Return);
        QTRY_COMPARE(focusedName(), QStringLiteral("txtPasswordOld"));
        QTRY_VERIFY(!change->effConferma->isVisible());
        QVERIFY(change->effPasswordOld->isVisible());
        QVERIFY(m_env->messages.isEmpty()); // Enter never submits
        QTest::keyClick(change->txtPasswordOld, Qt::Key_Return);
        QTRY_COMPARE(focusedName(), QStringLiteral("txtPasswordNew"));
        // Chiudi changes nothing and goes back to the login window, emptied.
        change->cmdEsci->click();
        QVERIFY(instance<TfrmPassword>()->isVisible());
        QTRY_COMPARE(focusedName(), QStringLiteral("txtPassword"));
        // Reopened, the window starts empty.
        instance<TfrmPassword>()->btnCambiaPassword->click();
        QCOMPARE(change->txtPasswordOld->text(), QString());
        QCOMPARE(change->txtConferma->text(), QString());
        QVERIFY(!change->cmdOK->isEnabled());
    }

    // The password file through the file seam: a file that is there but
    // cannot be read, or cannot be replaced, is an error of the procedure
    // (never a wrong password), and the stored value stays as it was.
    void passwordFileFaults_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<bool>("folderInstead"); // a folder stands where the file should be
        QTest::addColumn<bool>("loginFails");
        QTest::newRow("unreadable") << int(files::Op::Read) << false << true;
        QTest::newRow("cannot be opened") << int(files::Op::Open) << false << true;
        QTest::newRow("folder instead of the file") << -1 << true << true;
        QTest::newRow("write refused") << int(files::Op::Write) << false << false;
        QTest::newRow("replace refused") << int(files::Op::Rename) << false << false;
    }
    void passwordFileFaults()
    {
        QFETCH(int, op);
        QFETCH(bool, folderInstead);
        QFETCH(bool, loginFails);
        storePassword(QStringLiteral("VORNEL"));
        startUp();
        if (folderInstead) {
            QFile::remove(passwordFilePath());
            QDir().mkpath(passwordFilePath() + QStringLiteral("/x"));
        }
        const QByteArray before = testing::readFile(passwordFilePath());
        if (op >= 0)
            files::faults::failOn(files::Op(op), QStringLiteral("unins000.dll"));

        auto* login = instance<TfrmPassword>();
        typeInto(login->txtPassword, QStringLiteral("vornel"));
        QTest::keyClick(login->txtPassword, Qt::Key_Return);
        if (loginFails) {
            QCOMPARE(m_env->lastText(), QStringLiteral("Attenzione: si \u00e8 verificato un errore durante la procedura di "
                                                       "lettura della password. Si consiglia di reinstallare il software."));
            QVERIFY(login->isVisible());
            QCOMPARE(login->txtPassword->text(), QStringLiteral("vornel")); // the window is left as it was
        } else {
            QVERIFY(m_env->messages.isEmpty());
            goTo(login, instance<TfrmAvvio>());
        }

        m_env->messages.clear();
        QTest::mouseClick(login->btnCambiaPassword, Qt::LeftButton);
        auto* change = instance<TfrmCambiaPassword>();
        QVERIFY(change->isVisible());
        typeInto(change->txtPasswordOld, QStringLiteral("vornel"));
        typeInto(change->txtPasswordNew, QStringLiteral("nuova"));
        typeInto(change->txtConferma, QStringLiteral("nuova"));
        QTest::mouseClick(change->cmdOK, Qt::LeftButton);
        QCOMPARE(m_env->texts(), QStringList{QStringLiteral("Attenzione: si \u00e8 verificato un errore durante la "
                                                            "procedura di modifica della password. Si consiglia di "
                                                            "reinstallare il software.")});
        QCOMPARE(m_env->messages.first().kind, msg::Kind::Plain);
        QVERIFY(change->isVisible());
        QCOMPARE(testing::readFile(passwordFilePath()), before);
        files::faults::clear();
        if (!folderInstead)
            QCOMPARE(IniFile(passwordFilePath()).read(QStringLiteral("Accesso"), QStringLiteral("Valore")),
                     Crypt::Encrypt(QStringLiteral("VORNEL")));
        change->cmdEsci->click();
    }

    // Enter on a focused button presses it, as Space does.
    void enterPressesFocusedButtons()
    {
        storePassword(QStringLiteral("VORNEL"));
        startUp();
        auto* login = instance<TfrmPassword>();
        typeInto(login->txtPassword, QStringLiteral("sbagliata"));
        login->cmdOK->setFocus();
        QTRY_VERIFY(login->cmdOK->hasFocus());
        QTest::keyClick(login->cmdOK, Qt::Key_Return);
        QCOMPARE(m_env->texts(), QStringList{QStringLiteral("Attenzione: password errata.")});

        login->btnCambiaPassword->setFocus();
        QTest::keyClick(login->btnCambiaPassword, Qt::Key_Enter);
        auto* change = instance<TfrmCambiaPassword>();
        QVERIFY(change->isVisible());
        typeInto(change->txtPasswordOld, QStringLiteral("sbagliata"));
        typeInto(change->txtPasswordNew, QStringLiteral("x"));
        typeInto(change->txtConferma, QStringLiteral("x"));
        change->cmdOK->setFocus();
        QTest::keyClick(change->cmdOK, Qt::Key_Return);
        QCOMPARE(m_env->lastText(), QStringLiteral("Attenzione: vecchia password errata."));
        change->cmdEsci->setFocus();
        QTest::keyClick(change->cmdEsci, Qt::Key_Return);
        QVERIFY(!change->isVisible());
        QVERIFY(login->isVisible());

        login->cmdEsci->setFocus();
        QTest::keyClick(login->cmdEsci, Qt::Key_Return);
        QCOMPARE(m_env->endRequests, 1);
    }

    // Restoring a minimised password window is no new showing: what was
    // typed stays.
    void restoringKeepsTheFields()
    {
        startUp();
        auto* login = instance<TfrmPassword>();
        typeInto(login->txtPassword, QStringLiteral("mezza"));
        restore(login);
        QCOMPARE(login->txtPassword->text(), QStringLiteral("mezza"));

        goTo(instance<TfrmCambiaPassword>(), login);
        auto* change = instance<TfrmCambiaPassword>();
        typeInto(change->txtPasswordOld, QStringLiteral("vecchia"));
        restore(change);
        QCOMPARE(change->txtPasswordOld->text(), QStringLiteral("vecchia"));
        change->cmdEsci->click();
    }

    // The main menu fits the work area of a 1366 x 768 screen (taskbar and
    // caption taken off), and the About window's Chiudi covers no picture.
    void mainMenuFitsALaptopAndAboutLaysOut()
    {
        startUp();
        auto* menu = instance<TfrmAvvio>();
        const QSize least = menu->minimumSizeHint().expandedTo(menu->minimumSize());
        QVERIFY2(least.width() <= 1366 && least.height() <= 768 - 40 - 31,
                 qPrintable(QStringLiteral("%1 x %2").arg(least.width()).arg(least.height())));
        menu->resize(1366, 768 - 40 - 31);
        QCOMPARE(menu->size(), QSize(1366, 768 - 40 - 31));

        TfrmInfo about(menu);
        const QRect button = about.btnChiudi->geometry();
        QVERIFY(QRect(QPoint(0, 0), about.size()).contains(button));
        for (const char* name : {"imgInfo1", "imgInfo2"}) {
            auto* picture = about.findChild<QLabel*>(QLatin1String(name));
            QVERIFY2(picture, name);
            QVERIFY2(!picture->geometry().intersects(button), name);
            QVERIFY2(!picture->geometry().intersects(about.lnkMail->geometry()), name);
        }
    }

    void mainMenuNavigation()
    {
        startUp();
        auto* menu = instance<TfrmAvvio>();
        goTo(menu, instance<TfrmPassword>());
        const QList<QPair<QPushButton*, QWidget*>> entries = {
            {menu->imgApp01, instance<TfrmClienti>()},
            {menu->imgApp02, instance<TfrmCertificati>()},
            {menu->btnApp03, instance<TfrmCertificati_Agonistici>()},
            {menu->imgApp04, instance<TfrmCertificati_Disabili>()},
            {menu->imgApp05, instance<TfrmCertificati_NonIdoneita>()},
        };
        QCOMPARE(menu->imgApp02->text(), QStringLiteral("IDONEITA' ATTIVITA' SPORTIVA NON AGONISTICA"));
        for (const auto& [button, card] : entries) {
            button->click();
            QVERIFY(card->isVisible());
            QVERIFY(!menu->isVisible());
            // The close box brings the main menu back.
            card->close();
            QVERIFY(!card->isVisible());
            QVERIFY(menu->isVisible());
        }
        QCOMPARE(m_env->endRequests, 0);
    }

    void endingTheProgram()
    {
        startUp();
        auto* menu = instance<TfrmAvvio>();
        goTo(menu, instance<TfrmPassword>());
        QTest::mouseClick(menu->imgEsci, Qt::LeftButton);
        QCOMPARE(m_env->endRequests, 1);
        menu->close();
        QCOMPARE(m_env->endRequests, 2);
        instance<TfrmPassword>()->cmdEsci->click();
        QCOMPARE(m_env->endRequests, 3);
    }

    void menuLinksAndDialogs()
    {
        startUp();
        auto* menu = instance<TfrmAvvio>();
        goTo(menu, instance<TfrmPassword>());
        // No browser or mail program: web and e-mail addresses say nothing.
        m_env->openSucceeds = false;
        QTest::mouseClick(menu->imgSito, Qt::LeftButton);
        QCOMPARE(m_env->opened, QList<QUrl>{QUrl(QStringLiteral("https://www.vornel.it"))});

        QString title;
        testing::onNextModal([&](QWidget* dialog) {
            title = dialog->windowTitle();
            QCOMPARE(dialog->metaObject()->className(), "TfrmInfo");
            QTest::mouseClick(dialog->findChild<QWidget*>(QStringLiteral("lnkMail")), Qt::LeftButton);
            dialog->findChild<QPushButton*>(QStringLiteral("btnChiudi"))->click();
        });
        QTest::mouseClick(menu->imgInfo, Qt::LeftButton);
        QCOMPARE(title, QStringLiteral(" Informazioni su Vornel"));
        QCOMPARE(m_env->opened.last(), QUrl(QStringLiteral("mailto:info@vornel.it")));

        testing::onNextModal([&](QWidget* dialog) {
            title = QString::fromLatin1(dialog->metaObject()->className());
            QTest::mouseClick(dialog->findChild<QWidget*>(QStringLiteral("imgWeb")), Qt::LeftButton);
            dialog->findChild<QPushButton*>(QStringLiteral("btnChiudi"))->click();
        });
        QTest::mouseClick(menu->imgCopyright, Qt::LeftButton);
        QCOMPARE(title, QStringLiteral("TfrmSplash"));
        QCOMPARE(m_env->opened.last(), QUrl(QStringLiteral("https://www.vornel.it")));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(m_env->messages.isEmpty());
    }

    void mainMenuHelpTopic()
    {
        startUp();
        auto* menu = instance<TfrmAvvio>();
        goTo(menu, instance<TfrmPassword>());
        m_env->openSucceeds = false; // no program opens PDF files here
        QString title, text;
        QSize size;
        testing::onNextModal([&](QWidget* dialog) {
            auto* guida = qobject_cast<TfrmGuida*>(dialog);
            QVERIFY(guida);
            title = guida->lblTitolo->text();
            text = guida->txtGuida->toPlainText();
            size = guida->size();
            QTest::mouseClick(guida->lnkWeb, Qt::LeftButton);
            guida->btnChiudi->click();
        });
        QTest::mouseClick(menu->imgGuida, Qt::LeftButton);
        QCOMPARE(title, QStringLiteral("Uno sguardo a Vornel"));
        QCOMPARE(size, QSize(670, 572));
        // Overview, the ten patient paragraphs, the twelve certificate
        // paragraphs, then the closing ones, one empty line between each.
        const QStringList shown = text.split(QStringLiteral("\n\n"));
        QCOMPARE(shown.size(), 28);
        QCOMPARE(shown.mid(1, 10), help::patients().paragraphs);
        QCOMPARE(shown.mid(11, 12), help::certificates().paragraphs);
        QVERIFY(shown.last().size() > 40);
        QCOMPARE(m_env->opened, QList<QUrl>{QUrl::fromLocalFile(m_env->path(QStringLiteral("Guida.pdf")))});
        // The manual's place is said, so it can be opened by hand.
        QCOMPARE(m_env->texts(), QStringList(QStringLiteral("Impossibile aprire automaticamente il file:\r\n\r\n%1"
                                                            "\r\n\r\nAprirlo con il programma adatto.")
                                                 .arg(QDir::toNativeSeparators(m_env->path(QStringLiteral("Guida.pdf"))))));
        QCOMPARE(m_env->messages[0].kind, msg::Kind::Information);
    }

    void archiveGuardShowsTheErrorAndStops()
    {
        // A program folder nothing can be created in (a path below a file).
        testing::writeFile(m_env->path(QStringLiteral("file")), "x");
        setProgramFolder(m_env->path(QStringLiteral("file/sub")));
        bool reached = false;
        const bool ok = msg::guarded(nullptr, [&] {
            Archive a(archives::Certificati);
            a.open();
            reached = true;
        });
        QVERIFY(!ok);
        QVERIFY(!reached);
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages.first().kind, msg::Kind::Error);
        QCOMPARE(m_env->messages.first().text,
                 QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                                "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del programma."));
        // Start-up in such a folder swallows the archive failure, shows the
        // login window and says once that the folder cannot be written.
        startUp();
        QVERIFY(instance<TfrmPassword>()->isVisible());
        QCOMPARE(m_env->messages.size(), 2);
        QVERIFY(m_env->messages[1].text.startsWith(QStringLiteral("La cartella del programma non \u00e8 scrivibile")));
    }

    // A program folder the user may not write into: the login window says so
    // before anything else, once, naming the folder.
    void unwritableFolderIsSaidAtStartUp()
    {
        files::faults::failOn(files::Op::Open, m_env->folder());
        startUp();
        auto* login = instance<TfrmPassword>();
        QVERIFY(login->isVisible());
        QVERIFY(!instance<TfrmAvvio>()->isVisible());
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].kind, msg::Kind::Warning);
        QCOMPARE(m_env->messages[0].text,
                 QStringLiteral("La cartella del programma non \u00e8 scrivibile: le schede non potranno essere salvate. "
                                "Nemmeno i dati dello studio medico e i documenti potranno essere scritti.\r\n\r\n%1"
                                "\r\n\r\nChiedere all'amministratore del computer il permesso di scrittura su questa "
                                "cartella, oppure copiare il programma in una cartella in cui sia possibile scrivere.")
                     .arg(QDir::toNativeSeparators(m_env->folder())));
        // Once: the login window shown again says nothing more.
        goTo(instance<TfrmCambiaPassword>(), login);
        goTo(login, instance<TfrmCambiaPassword>());
        QCOMPARE(m_env->messages.size(), 1);
        shutDown();

        // A folder that can be written: not a word.
        files::faults::clear();
        m_env->messages.clear();
        startUp();
        QVERIFY(m_env->messages.isEmpty());
    }

    void shellOpenTargets_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QUrl>("url");
        QTest::newRow("quoted file") << "\"/tmp/Vornel/Paziente.pdf\"" << QUrl::fromLocalFile("/tmp/Vornel/Paziente.pdf");
        QTest::newRow("quoted mailto") << "\"mailto:mario@example.it\"" << QUrl("mailto:mario@example.it");
        QTest::newRow("empty mailto") << "\"mailto:\"" << QUrl("mailto:");
        QTest::newRow("web") << "https://www.vornel.it" << QUrl("https://www.vornel.it");
        QTest::newRow("folder with blanks") << "\"/tmp/Le mie cartelle/Paziente_3\""
                                            << QUrl::fromLocalFile("/tmp/Le mie cartelle/Paziente_3");
    }
    void shellOpenTargets()
    {
        QFETCH(QString, command);
        QFETCH(QUrl, url);
        QCOMPARE(TMisc::targetUrl(command), url);
    }

private:
    std::unique_ptr<TestEnv> m_env;
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
