// The privacy consent window: settings, input rules, the Enter ring and the
// document it writes, read back as bytes and through a word processor.
#include "app/shell.h"
#include "documents/privacyrtf.h"
#include "patients/core/provinces.h"
#include "patients/privacy.h"
#include "storage/cp1252.h"
#include "storage/filelayer.h"
#include "storage/inifile.h"
#include "support/testenv.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using vornel::msg::Kind;

namespace {
const QString kSection = QStringLiteral("Modulo Privacy");
const QString kAskCreate = QStringLiteral("Questa procedura esporter\u00e0 il modulo per il consenso al trattamento dei "
                                          "dati personali in un documento in formato RTF.\r\n\r\n"
                                          "Si conferma la creazione del file?");
const QString kAskOpen = QStringLiteral("Il file del modulo per il trattamento dei dati personali \u00e8 stato creato con "
                                        "successo.\r\n\r\nSi vuole aprire il documento?");
const QString kCannotExport = QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\r"
                                             "Accertarsi che il documento non sia gi\u00e0 aperto.");

// The fields in tab and Enter order.
const char* const kRing[21] = {"txtStudioDent", "txtTelDent", "txtIvaDent", "txtCodFiscDent", "txtCittaDent",
                               "txtProvDent", "txtIndirizzoDent", "txtCapDent", "txtPaziente", "txtComuneNasc",
                               "txtProvNasc", "txtDataNasc", "txtCodFisc", "txtComuneRes", "txtProvRes",
                               "txtIndirizzo", "txtCapRes", "txtRecapito", "txtPrivacy", "txtData", "txtLuogo"};

// The settings keys in the order Chiudi writes them, with their fields.
const std::pair<const char*, const char*> kKeys[10] = {
    {"Studio Medico", "txtStudioDent"}, {"Comune Sede", "txtCittaDent"}, {"Provincia Sede", "txtProvDent"},
    {"Cap Sede", "txtCapDent"}, {"Via Sede", "txtIndirizzoDent"}, {"Codice Fiscale Studio", "txtCodFiscDent"},
    {"Partita Iva Studio", "txtIvaDent"}, {"Recapiti Studio", "txtTelDent"}, {"Titolare Privacy", "txtPrivacy"},
    {"Luogo", "txtLuogo"}};

QString focusedName()
{
    QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
}

QString textOf(QWidget* w)
{
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    return {};
}

void setTextOf(QWidget* w, const QString& text)
{
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(text);
    else if (auto* c = qobject_cast<QComboBox*>(w))
        c->setEditText(text);
}

void click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
}

// A known office and patient, as the card and the settings would give them.
vornel::privacyrtf::Values known()
{
    vornel::privacyrtf::Values v;
    v.txtStudioDent = QStringLiteral("Studio Medico Sportivo Bianchi");
    v.txtTelDent = QStringLiteral("0543 123456");
    v.txtIvaDent = QStringLiteral("12345670157");
    v.txtCodFiscDent = QStringLiteral("BNCLRA85T52F205E");
    v.txtCittaDent = QStringLiteral("Forl\u00ec");
    v.txtProvDent = QStringLiteral("FC");
    v.txtIndirizzoDent = QStringLiteral("Corso della Repubblica 10");
    v.txtCapDent = QStringLiteral("47121");
    v.txtPaziente = QStringLiteral("Rossi Mario");
    v.txtComuneNasc = QStringLiteral("Milano");
    v.txtProvNasc = QStringLiteral("MI");
    v.txtDataNasc = QStringLiteral("01/01/1980");
    v.txtCodFisc = QStringLiteral("RSSMRA80A01H501U");
    v.txtComuneRes = QStringLiteral("Cesena");
    v.txtProvRes = QStringLiteral("FC");
    v.txtIndirizzo = QStringLiteral("Via Verdi 2");
    v.txtCapRes = QStringLiteral("47521");
    v.txtRecapito = QStringLiteral("333 1234567");
    v.txtPrivacy = QStringLiteral("Bianchi Laura");
    v.txtData = QStringLiteral("14/03/2026");
    v.txtLuogo = QStringLiteral("Forl\u00ec");
    return v;
}

void fill(TfrmPrivacy& w, const vornel::privacyrtf::Values& v)
{
    const QString values[21] = {v.txtStudioDent, v.txtTelDent, v.txtIvaDent, v.txtCodFiscDent, v.txtCittaDent,
                                v.txtProvDent, v.txtIndirizzoDent, v.txtCapDent, v.txtPaziente, v.txtComuneNasc,
                                v.txtProvNasc, v.txtDataNasc, v.txtCodFisc, v.txtComuneRes, v.txtProvRes,
                                v.txtIndirizzo, v.txtCapRes, v.txtRecapito, v.txtPrivacy, v.txtData, v.txtLuogo};
    for (int i = 0; i < 21; ++i)
        setTextOf(w.findChild<QWidget*>(QLatin1String(kRing[i])), values[i]);
}

// Confirmations answered in turn from a list; every box recorded.
void answerInTurn(TestEnv& env, QList<bool> answers)
{
    vornel::msg::setResponder([&env, answers](Kind kind, const QString& text) mutable {
        env.messages.append({kind, text});
        return kind == Kind::Confirmation ? (answers.isEmpty() ? true : answers.takeFirst()) : true;
    });
}
} // namespace

class TstPrivacyWindow : public QObject {
    Q_OBJECT
private slots:
    void settingsReadOnShow();
    void chiudiWritesTheKeysInOrder();
    void chiudiRefusedStaysOpen();
    void enterRingAndHighlights();
    void inputRules();
    void rtfBytes();
    void rtfNoWritesNothing();
    void rtfNoOpenLeavesItClosed();
    void rtfLockedFile();
    void rtfFaultsKeepTheOldDocument_data();
    void rtfFaultsKeepTheOldDocument();
    void unreadableSettingsAreNeverReplaced();
    void restoringKeepsTheEdits();
    void rtfOpensInAWordProcessor();
};

void TstPrivacyWindow::settingsReadOnShow()
{
    TestEnv env;
    const vornel::IniFile ini(env.path(QStringLiteral("Studio_Medico_Vrn.ini")));
    for (int i = 0; i < 10; ++i)
        ini.write(kSection, QLatin1String(kKeys[i].first), QStringLiteral("valore %1").arg(i));
    ini.write(kSection, QStringLiteral("Provincia Sede"), QStringLiteral("RA"));
    TfrmPrivacy w(nullptr);
    QCOMPARE(w.windowTitle(), QStringLiteral(" Esporta e stampa Modulo Privacy"));
    // The card fills the patient fields before showing the window.
    w.findChild<QLineEdit*>(QStringLiteral("txtPaziente"))->setText(QStringLiteral("Rossi Mario"));
    w.findChild<QComboBox*>(QStringLiteral("txtProvNasc"))->setEditText(QStringLiteral("MI"));
    w.show();
    for (int i = 0; i < 10; ++i) {
        const QString expected = i == 2 ? QStringLiteral("RA") : QStringLiteral("valore %1").arg(i);
        QCOMPARE(textOf(w.findChild<QWidget*>(QLatin1String(kKeys[i].second))), expected);
    }
    QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("txtPaziente"))->text(), QStringLiteral("Rossi Mario"));
    auto* provNasc = w.findChild<QComboBox*>(QStringLiteral("txtProvNasc"));
    QCOMPARE(provNasc->currentText(), QStringLiteral("MI"));
    QCOMPARE(provNasc->currentIndex(), -1);
    QCOMPARE(provNasc->count(), 112);
    QCOMPARE(provNasc->itemText(31), QStringLiteral("EE"));
    QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("txtData"))->text(), QStringLiteral("14/03/2026"));
    QTRY_COMPARE(focusedName(), QStringLiteral("txtStudioDent"));
}

void TstPrivacyWindow::chiudiWritesTheKeysInOrder()
{
    TestEnv env;
    TfrmPrivacy w(nullptr);
    w.show();
    for (int i = 0; i < 10; ++i)
        setTextOf(w.findChild<QWidget*>(QLatin1String(kKeys[i].second)), QStringLiteral("  v%1 ").arg(i));
    w.findChild<QLineEdit*>(QStringLiteral("txtStudioDent"))->setText(QStringLiteral(" Studio = Sport "));
    setTextOf(w.findChild<QWidget*>(QStringLiteral("txtIvaDent")), QStringLiteral("01234567"));
    setTextOf(w.findChild<QWidget*>(QStringLiteral("txtCodFiscDent")), QStringLiteral("BNCLRA"));
    setTextOf(w.findChild<QWidget*>(QStringLiteral("txtProvDent")), QStringLiteral("FC"));
    click(w.findChild<QPushButton*>(QStringLiteral("btnChiudi")));
    QVERIFY(!w.isVisible());
    QVERIFY(env.messages.isEmpty());

    const QString file = vornel::cp1252::decode(testing::readFile(env.path(QStringLiteral("Studio_Medico_Vrn.ini"))));
    const QStringList lines = file.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QStringList expected = {QStringLiteral("[Modulo Privacy]"), QStringLiteral("Studio Medico=Studio = Sport"),
                            QStringLiteral("Comune Sede=v1"), QStringLiteral("Provincia Sede=FC"),
                            QStringLiteral("Cap Sede=v3"), QStringLiteral("Via Sede=v4"),
                            QStringLiteral("Codice Fiscale Studio=BNCLRA"), QStringLiteral("Partita Iva Studio=01234567"),
                            QStringLiteral("Recapiti Studio=v7"), QStringLiteral("Titolare Privacy=v8"),
                            QStringLiteral("Luogo=v9")};
    QCOMPARE(lines, expected);

    // The next opening shows what was remembered; closing it by the
    // system's close command remembers as Chiudi does.
    TfrmPrivacy again(nullptr);
    again.show();
    QCOMPARE(again.findChild<QLineEdit*>(QStringLiteral("txtStudioDent"))->text(), QStringLiteral("Studio = Sport"));
    QCOMPARE(again.findChild<QLineEdit*>(QStringLiteral("txtPaziente"))->text(), QString());
    again.findChild<QLineEdit*>(QStringLiteral("txtLuogo"))->setText(QStringLiteral("Cesena"));
    QVERIFY(again.close() || !again.isVisible());
    QVERIFY(!again.isVisible());
    QCOMPARE(vornel::IniFile(env.path(QStringLiteral("Studio_Medico_Vrn.ini"))).read(kSection, QStringLiteral("Luogo")),
             QStringLiteral("Cesena"));
}

void TstPrivacyWindow::chiudiRefusedStaysOpen()
{
    TestEnv env;
    // A folder in place of the settings file: the system refuses the write.
    QDir(env.folder()).mkdir(QStringLiteral("Studio_Medico_Vrn.ini"));
    TfrmPrivacy w(nullptr);
    w.show();
    w.findChild<QLineEdit*>(QStringLiteral("txtStudioDent"))->setText(QStringLiteral("Studio"));
    env.confirmAnswer = false; // No: stay, nothing typed is lost
    click(w.findChild<QPushButton*>(QStringLiteral("btnChiudi")));
    QCOMPARE(env.messages.size(), 2);
    QCOMPARE(env.messages[0].text, QStringLiteral("Unable to write to ") + env.path(QStringLiteral("Studio_Medico_Vrn.ini")));
    QCOMPARE(int(env.messages[1].kind), int(Kind::Confirmation));
    QCOMPARE(env.messages[1].text, QStringLiteral("I dati dello studio medico non sono stati salvati.\r\n\r\nSi vuole chiudere ugualmente la finestra senza salvarli?"));
    QVERIFY(w.isVisible());
    QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("txtStudioDent"))->text(), QStringLiteral("Studio"));
    // Escape does not leave without the settings either; a close request
    // from the system tries Chiudi's save again.
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(w.isVisible());
    QVERIFY(!w.close());
    QCOMPARE(env.messages.size(), 4);
    QVERIFY(w.isVisible());
    // Sì: the window closes without the office data.
    env.confirmAnswer = true;
    click(w.findChild<QPushButton*>(QStringLiteral("btnChiudi")));
    QVERIFY(!w.isVisible());
}

void TstPrivacyWindow::enterRingAndHighlights()
{
    TestEnv env;
    TfrmPrivacy w(nullptr);
    w.show();
    QTRY_COMPARE(focusedName(), QStringLiteral("txtStudioDent"));
    for (int i = 1; i <= 21; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        const char* expected = kRing[i % 21];
        QTRY_COMPARE(focusedName(), QLatin1String(expected));
        // Only the focused field's highlight shows.
        for (const char* name : kRing) {
            auto* eff = w.findChild<QWidget*>(QStringLiteral("eff") + QLatin1String(name + 3));
            QVERIFY2(eff, name);
            QCOMPARE(eff->isVisible(), name == expected);
        }
    }
    QVERIFY(env.messages.isEmpty());
    QVERIFY(!QFile::exists(env.path(QStringLiteral("Modulo_Privacy.rtf"))));
}

void TstPrivacyWindow::inputRules()
{
    TestEnv env;
    TfrmPrivacy w(nullptr);
    w.show();
    auto* iva = w.findChild<QLineEdit*>(QStringLiteral("txtIvaDent"));
    iva->setFocus();
    QTest::keyClicks(iva, QStringLiteral("12ab 3-4"));
    QCOMPARE(iva->text(), QStringLiteral("1234"));
    QTest::keyClick(iva, Qt::Key_Backspace);
    QCOMPARE(iva->text(), QStringLiteral("123"));
    // Pasted text is filtered first, then cut to the field's length.
    iva->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("IT01234567890"));
    QTest::keyClick(iva, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(iva->text(), QStringLiteral("01234567890"));

    for (const char* name : {"txtCodFiscDent", "txtCodFisc"}) {
        auto* cf = w.findChild<QLineEdit*>(QLatin1String(name));
        cf->setFocus();
        // Trimmed after every key: a blank typed at the end does not stay.
        QTest::keyClicks(cf, QStringLiteral(" rss mr "));
        QCOMPARE(cf->text(), QStringLiteral("RSSMR"));
    }

    auto* prov = w.findChild<QComboBox*>(QStringLiteral("txtProvRes"));
    prov->setFocus();
    QTRY_VERIFY(prov->hasFocus());
    QTest::keyClicks(prov, QStringLiteral("fcx"));
    QCOMPARE(prov->currentText(), QStringLiteral("FC"));
    prov->setEditText(QString());
    QTest::keyClicks(prov, QStringLiteral("zz"));
    QCOMPARE(prov->currentText(), QStringLiteral("ZZ")); // not in the list: kept as typed
    prov->setEditText(QStringLiteral(" r"));
    QTest::keyClick(prov, Qt::Key_Return); // leaves the box
    QCOMPARE(prov->currentText(), QStringLiteral("R"));
    QCOMPARE(prov->count(), 112);
    // What is typed is what is kept: no completion from the list.
    prov->setFocus();
    QTRY_VERIFY(prov->hasFocus());
    prov->setEditText(QString());
    QTest::keyClicks(prov, QStringLiteral("m"));
    QCOMPARE(prov->currentText(), QStringLiteral("M"));
    QTest::keyClick(prov, Qt::Key_Return);
    QCOMPARE(prov->currentText(), QStringLiteral("M"));

    const std::pair<const char*, int> limits[] = {{"txtStudioDent", 250}, {"txtTelDent", 250}, {"txtIvaDent", 11},
                                                  {"txtCodFiscDent", 16}, {"txtCittaDent", 120}, {"txtIndirizzoDent", 250},
                                                  {"txtCapDent", 5}, {"txtData", 10}, {"txtLuogo", 120}};
    for (const auto& [name, limit] : limits)
        QCOMPARE(w.findChild<QLineEdit*>(QLatin1String(name))->maxLength(), limit);
}

void TstPrivacyWindow::rtfBytes()
{
    TestEnv env;
    TfrmPrivacy w(nullptr);
    w.show();
    fill(w, known());
    click(w.findChild<QPushButton*>(QStringLiteral("btnRTF")));
    QCOMPARE(env.texts(), (QStringList{kAskCreate, kAskOpen}));
    QCOMPARE(int(env.messages[0].kind), int(Kind::Confirmation));
    QCOMPARE(int(env.messages[1].kind), int(Kind::Confirmation));
    const QString path = env.path(QStringLiteral("Modulo_Privacy.rtf"));
    QCOMPARE(testing::readFile(path), vornel::privacyrtf::document(known()));
    QCOMPARE(env.opened, (QList<QUrl>{QUrl::fromLocalFile(path)}));
    QVERIFY(w.isVisible());

    // No word processor: the document's place is said.
    env.messages.clear();
    env.openSucceeds = false;
    click(w.findChild<QPushButton*>(QStringLiteral("btnRTF")));
    env.openSucceeds = true;
    QCOMPARE(env.texts(), (QStringList{kAskCreate, kAskOpen, QStringLiteral("Impossibile aprire automaticamente il file:\r\n\r\n%1\r\n\r\nAprirlo con il programma adatto.").arg(QDir::toNativeSeparators(path))}));
    QCOMPARE(int(env.messages[2].kind), int(Kind::Information));
    env.opened.clear();

    // A second export after a correction replaces the document; blanks
    // around a value are not written.
    env.messages.clear();
    vornel::privacyrtf::Values corrected = known();
    corrected.txtPaziente = QStringLiteral("Rossi Maria");
    w.findChild<QLineEdit*>(QStringLiteral("txtPaziente"))->setText(QStringLiteral("  Rossi Maria "));
    click(w.findChild<QPushButton*>(QStringLiteral("btnRTF")));
    QCOMPARE(testing::readFile(path), vornel::privacyrtf::document(corrected));
    QVERIFY(testing::readFile(path).contains("Paziente Sig. \\b Rossi Maria\\b0 , nato a \\b Milano\\b0  (\\b MI\\b0 ) il"));
}

void TstPrivacyWindow::rtfNoWritesNothing()
{
    TestEnv env;
    const QString path = env.path(QStringLiteral("Modulo_Privacy.rtf"));
    testing::writeFile(path, "earlier");
    env.confirmAnswer = false;
    TfrmPrivacy w(nullptr);
    w.show();
    click(w.findChild<QPushButton*>(QStringLiteral("btnRTF")));
    QCOMPARE(env.texts(), QStringList{kAskCreate});
    QCOMPARE(testing::readFile(path), QByteArray("earlier"));
    QVERIFY(env.opened.isEmpty());
}

void TstPrivacyWindow::rtfNoOpenLeavesItClosed()
{
    TestEnv env;
    answerInTurn(env, {true, false});
    TfrmPrivacy w(nullptr);
    w.show();
    click(w.findChild<QPushButton*>(QStringLiteral("btnRTF")));
    QCOMPARE(env.texts(), (QStringList{kAskCreate, kAskOpen}));
    // Every field empty still gives a whole document.
    vornel::privacyrtf::Values empty;
    empty.txtData = QStringLiteral("14/03/2026");
    QCOMPARE(testing::readFile(env.path(QStringLiteral("Modulo_Privacy.rtf"))), vornel::privacyrtf::document(empty));
    QVERIFY(env.opened.isEmpty());
}

void TstPrivacyWindow::rtfLockedFile()
{
    TestEnv env;
    // Something that cannot be replaced stands where the document goes.
    QDir(env.folder()).mkpath(QStringLiteral("Modulo_Privacy.rtf/aperto"));
    TfrmPrivacy w(nullptr);
    w.show();
    click(w.findChild<QPushButton*>(QStringLiteral("btnRTF")));
    QCOMPARE(env.texts(), (QStringList{kAskCreate, kCannotExport}));
    QCOMPARE(int(env.messages[1].kind), int(Kind::Plain));
    QVERIFY(w.isVisible());
    QVERIFY(env.opened.isEmpty());
    // Nothing left behind beside it.
    QCOMPARE(QDir(env.folder()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TstPrivacyWindow::rtfFaultsKeepTheOldDocument_data()
{
    QTest::addColumn<int>("op");
    QTest::newRow("open") << int(vornel::files::Op::Open);
    QTest::newRow("write") << int(vornel::files::Op::Write);
    QTest::newRow("rename") << int(vornel::files::Op::Rename);
}

void TstPrivacyWindow::rtfFaultsKeepTheOldDocument()
{
    QFETCH(int, op);
    TestEnv env;
    const QByteArray old = "{\\rtf1 documento precedente}";
    testing::writeFile(env.path(QStringLiteral("Modulo_Privacy.rtf")), old);
    vornel::files::faults::failOn(vornel::files::Op(op), QStringLiteral("Modulo_Privacy.rtf"));
    TfrmPrivacy w(nullptr);
    w.show();
    fill(w, known());
    click(w.findChild<QPushButton*>(QStringLiteral("btnRTF")));
    QCOMPARE(env.texts(), (QStringList{kAskCreate, kCannotExport}));
    QVERIFY(w.isVisible());
    QCOMPARE(testing::readFile(env.path(QStringLiteral("Modulo_Privacy.rtf"))), old);
    QCOMPARE(QDir(env.folder()).entryList(QDir::Files | QDir::Hidden), QStringList{"Modulo_Privacy.rtf"});
}

// A settings file that is there but cannot be read shows empty fields, and
// Chiudi refuses to replace it with them: "Titolare Privacy" and the rest stay.
void TstPrivacyWindow::unreadableSettingsAreNeverReplaced()
{
    TestEnv env;
    const QString path = env.path(QStringLiteral("Studio_Medico_Vrn.ini"));
    const QByteArray stored = "[Modulo Privacy]\r\nStudio Medico=Studio Bianchi\r\nTitolare Privacy=Bianchi Laura\r\n";
    testing::writeFile(path, stored);
    vornel::files::faults::failOn(vornel::files::Op::Read, QStringLiteral("Studio_Medico_Vrn.ini"));
    TfrmPrivacy w(nullptr);
    w.show();
    QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("txtPrivacy"))->text(), QString());
    env.confirmAnswer = false; // stay, to try again
    click(w.findChild<QPushButton*>(QStringLiteral("btnChiudi")));
    QCOMPARE(env.texts().value(0), QStringLiteral("Unable to write to ") + path);
    QCOMPARE(int(env.messages[0].kind), int(Kind::Error));
    QVERIFY(w.isVisible());
    QCOMPARE(testing::readFile(path), stored);
    // Once the file can be read again, Chiudi saves and closes.
    vornel::files::faults::clear();
    click(w.findChild<QPushButton*>(QStringLiteral("btnChiudi")));
    QVERIFY(!w.isVisible());
}

void TstPrivacyWindow::restoringKeepsTheEdits()
{
    TestEnv env;
    vornel::IniFile(env.path(QStringLiteral("Studio_Medico_Vrn.ini")))
        .write(kSection, QStringLiteral("Studio Medico"), QStringLiteral("Studio Bianchi"));
    TfrmPrivacy w(nullptr);
    w.show();
    auto* studio = w.findChild<QLineEdit*>(QStringLiteral("txtStudioDent"));
    QCOMPARE(studio->text(), QStringLiteral("Studio Bianchi"));
    studio->setText(QStringLiteral("Studio Bianchi e Verdi"));
    w.showMinimized();
    QTRY_VERIFY(w.isMinimized());
    w.showNormal();
    QTRY_VERIFY(!w.isMinimized());
    QCoreApplication::processEvents();
    QCOMPARE(studio->text(), QStringLiteral("Studio Bianchi e Verdi"));
}

void TstPrivacyWindow::rtfOpensInAWordProcessor()
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (office.isEmpty() || pdftotext.isEmpty())
        QSKIP("libreoffice or pdftotext is not installed (Debian: libreoffice-writer, poppler-utils); "
              "the document was not opened in a word processor");

    TestEnv env;
    TfrmPrivacy w(nullptr);
    w.show();
    vornel::privacyrtf::Values v = known();
    v.txtStudioDent = QStringLiteral("Studio {Sport} \\ Salute");
    v.txtPaziente = QStringLiteral("W\u0142odarczyk Anna");
    v.txtPrivacy = QStringLiteral("Bianchi Laura}");
    fill(w, v);
    click(w.findChild<QPushButton*>(QStringLiteral("btnRTF")));
    const QString rtf = env.path(QStringLiteral("Modulo_Privacy.rtf"));
    QVERIFY(QFile::exists(rtf));

    QTemporaryDir out, profile;
    QProcess convert;
    convert.setProcessChannelMode(QProcess::MergedChannels);
    convert.start(office, {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
                           QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                           QStringLiteral("--outdir"), out.path(), rtf});
    QVERIFY(convert.waitForFinished(180000));
    const QString pdf = out.path() + QStringLiteral("/Modulo_Privacy.pdf");
    QVERIFY2(QFile::exists(pdf), convert.readAll().constData());

    QProcess text;
    text.start(pdftotext, {pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(60000));
    // Line breaks of the page do not matter; words do.
    const QString words = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    for (const QString& expected : {
             QStringLiteral("Consenso al trattamento dei dati personali e sensibili"),
             QStringLiteral("(Informativa ai sensi del Regolamento UE 2016/679)"),
             QStringLiteral("il presente Studio Medico Studio {Sport} \\ Salute, con sede a Forl\u00ec (FC), CAP: 47121"),
             QStringLiteral("Paziente Sig. W\u0142odarczyk Anna, nato a Milano (MI) il 01/01/1980"),
             QStringLiteral("1. Finalit\u00e0 e modalit\u00e0 del trattamento cui sono destinati i dati."),
             QStringLiteral("rappresentato dal Dott. Bianchi Laura}, domiciliato per la carica"),
             QStringLiteral("DICHIARAZIONE DEL PAZIENTE"),
             QStringLiteral("Io sottoscritto W\u0142odarczyk Anna, nato a Milano (MI) il 01/01/1980, residente a Cesena (FC)"),
             QStringLiteral("al Dottor Bianchi Laura} esclusivamente per le attivit\u00e0 di prevenzione, diagnosi, cura"),
             QStringLiteral("Forl\u00ec, 14/03/2026."),
             QStringLiteral("Firma del Paziente per accettazione"),
         })
        QVERIFY2(words.contains(expected), qPrintable(expected + QStringLiteral("\n--- in ---\n") + words));
    // No control word leaked into the text.
    QVERIFY2(!words.contains(QStringLiteral("\\b")) && !words.contains(QStringLiteral("\\par")), qPrintable(words));
}

QTEST_MAIN(TstPrivacyWindow)
#include "tst_privacy_window.moc"
