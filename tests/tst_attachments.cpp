// The attach-files window and the patient folder window, driven by their
// controls; what they write lands in the program folder and on the card.
#include "app/look.h"
#include "app/registry.h"
#include "patients/attachments.h"
#include "storage/filelayer.h"
#include "patients/tfrmclienti.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using vornel::msg::Kind;

namespace {
const QString kOverwrite = QStringLiteral("Attenzione: nella cartella dei documenti allegati \u00e8 presente un file con "
                                          "lo stesso nome.\r\n\r\nSi vuole sovrascrivere il file esistente?");
const char* const kCardLabels[6] = {"lblFile01", "lblFile02", "lblFile03", "lblDesc01", "lblDesc02", "lblDesc03"};

QLabel* cardLabel(const char* name)
{
    auto* l = vornel::instance<TfrmClienti>()->findChild<QLabel*>(QLatin1String(name));
    Q_ASSERT(l);
    return l;
}

// Opens the window as the patient card does: the marker, then the card's slots.
std::unique_ptr<TfrmAllegaCartella> openFromCard()
{
    auto w = std::make_unique<TfrmAllegaCartella>(vornel::instance<TfrmClienti>());
    w->lblMemory->setText(QStringLiteral("clienti"));
    const char* const edits[6] = {"txtFile01", "txtFile02", "txtFile03", "txtDesc01", "txtDesc02", "txtDesc03"};
    for (int i = 0; i < 6; ++i)
        w->findChild<QLineEdit*>(QLatin1String(edits[i]))->setText(cardLabel(kCardLabels[i])->text());
    w->show();
    return w;
}

void click(QWidget* w)
{
    QVERIFY(w);
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
}

template <class T = QWidget>
T* child(QWidget* w, const char* name)
{
    return w->findChild<T*>(QLatin1String(name));
}
} // namespace

class TstAttachments : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void browseCopiesIntoTheFolder();
    void cancelledDialogChangesNothing();
    void sameNameAsks_data();
    void sameNameAsks();
    void fileFromTheFolderItselfIsKept();
    void failedCopyKeepsOldFileAndSlot_data();
    void failedCopyKeepsOldFileAndSlot();
    void namesTheCardCannotHoldAreRefused_data();
    void namesTheCardCannotHoldAreRefused();
    void annullaKeepsCardSlotsButNotTheCopy();
    void applicaWritesTrimmedSlots();
    void emptyButtonKeepsDescription();
    void apriOpensTheQuotedPath();
    void patientFolder();
    void patientFolderChiudi();

private:
    QString source(const QString& name, const QByteArray& bytes);
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<QTemporaryDir> m_outside;
};

void TstAttachments::init()
{
    m_env = std::make_unique<TestEnv>();
    m_outside = std::make_unique<QTemporaryDir>();
    // The patient card is the one persistent window these dialogs talk to.
    vornel::registerWindow(new TfrmClienti);
}

void TstAttachments::cleanup()
{
    vornel::destroyWindows();
    m_outside.reset();
    m_env.reset();
}

// A file chosen from somewhere outside the program folder.
QString TstAttachments::source(const QString& name, const QByteArray& bytes)
{
    QDir(m_outside->path()).mkpath(QStringLiteral("scansioni"));
    const QString path = m_outside->path() + QStringLiteral("/scansioni/") + name;
    testing::writeFile(path, bytes);
    return path;
}

void TstAttachments::browseCopiesIntoTheFolder()
{
    auto w = openFromCard();
    QCOMPARE(w->windowTitle(), QStringLiteral(" Allega file"));
    QVERIFY(!child(w.get(), "btnApri02")->isEnabled());
    m_env->openFileAnswer = source(QStringLiteral("Referto ECG.pdf"), "ECG");
    click(child(w.get(), "btnSfoglia02"));
    QCOMPARE(child<QLineEdit>(w.get(), "txtFile02")->text(), QStringLiteral("Referto ECG.pdf"));
    QVERIFY(child(w.get(), "btnApri02")->isEnabled());
    QCOMPARE(testing::readFile(m_env->path(QStringLiteral("Documenti_Allegati/Referto ECG.pdf"))), QByteArray("ECG"));
    QVERIFY(m_env->messages.isEmpty());
    // The chosen file stays where it was.
    QVERIFY(QFile::exists(m_env->openFileAnswer));
}

void TstAttachments::cancelledDialogChangesNothing()
{
    cardLabel("lblFile01")->setText(QStringLiteral("esistente.jpg"));
    auto w = openFromCard();
    m_env->openFileAnswer.clear();
    click(child(w.get(), "btnSfoglia01"));
    QCOMPARE(child<QLineEdit>(w.get(), "txtFile01")->text(), QStringLiteral("esistente.jpg"));
    QVERIFY(!QFileInfo::exists(m_env->path(QStringLiteral("Documenti_Allegati"))));
}

void TstAttachments::sameNameAsks_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QByteArray>("inFolder");
    QTest::newRow("No keeps the file there") << false << QByteArray("primo paziente");
    QTest::newRow("S\u00ec replaces it") << true << QByteArray("secondo paziente");
}

void TstAttachments::sameNameAsks()
{
    QFETCH(bool, answer);
    QFETCH(QByteArray, inFolder);
    QDir(m_env->folder()).mkpath(QStringLiteral("Documenti_Allegati"));
    testing::writeFile(m_env->path(QStringLiteral("Documenti_Allegati/documento.jpg")), "primo paziente");
    m_env->confirmAnswer = answer;
    auto w = openFromCard();
    m_env->openFileAnswer = source(QStringLiteral("documento.jpg"), "secondo paziente");
    click(child(w.get(), "btnSfoglia03"));
    QCOMPARE(m_env->messages.size(), 1);
    QCOMPARE(int(m_env->messages[0].kind), int(Kind::Confirmation));
    QCOMPARE(m_env->messages[0].text, kOverwrite);
    // Either way the slot names the file in the folder.
    QCOMPARE(child<QLineEdit>(w.get(), "txtFile03")->text(), QStringLiteral("documento.jpg"));
    QCOMPARE(testing::readFile(m_env->path(QStringLiteral("Documenti_Allegati/documento.jpg"))), inFolder);
    QCOMPARE(QDir(m_env->path(QStringLiteral("Documenti_Allegati"))).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TstAttachments::fileFromTheFolderItselfIsKept()
{
    QDir(m_env->folder()).mkpath(QStringLiteral("Documenti_Allegati"));
    const QString inside = m_env->path(QStringLiteral("Documenti_Allegati/radiografia.png"));
    testing::writeFile(inside, "RX");
    m_env->confirmAnswer = true;
    auto w = openFromCard();
    m_env->openFileAnswer = inside;
    click(child(w.get(), "btnSfoglia01"));
    QCOMPARE(child<QLineEdit>(w.get(), "txtFile01")->text(), QStringLiteral("radiografia.png"));
    QCOMPARE(testing::readFile(inside), QByteArray("RX"));
}

// Through the file seam: whatever step of the copy fails, the file already
// in the folder stays whole, the slot keeps its old name and the user is told.
void TstAttachments::failedCopyKeepsOldFileAndSlot_data()
{
    using vornel::files::Op;
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("on");
    QTest::newRow("copy") << int(Op::Copy) << "documento.jpg";
    QTest::newRow("open the chosen file") << int(Op::Open) << "scansioni/documento.jpg";
    QTest::newRow("read the chosen file") << int(Op::Read) << "scansioni/documento.jpg";
    QTest::newRow("write the copy") << int(Op::Write) << "Documenti_Allegati/documento.jpg";
    QTest::newRow("put the copy in place") << int(Op::Rename) << "Documenti_Allegati/documento.jpg";
}

void TstAttachments::failedCopyKeepsOldFileAndSlot()
{
    QFETCH(int, op);
    QFETCH(QString, on);
    QDir(m_env->folder()).mkpath(QStringLiteral("Documenti_Allegati"));
    const QString inFolder = m_env->path(QStringLiteral("Documenti_Allegati/documento.jpg"));
    testing::writeFile(inFolder, "primo paziente");
    m_env->openFileAnswer = source(QStringLiteral("documento.jpg"), "secondo paziente");
    const QString faultPath = on.startsWith(QLatin1String("scansioni/")) ? m_outside->path() + QLatin1Char('/') + on
                              : on.contains(QLatin1Char('/'))           ? m_env->path(on)
                                                                        : on;
    vornel::files::faults::failOn(vornel::files::Op(op), faultPath);
    cardLabel("lblFile02")->setText(QStringLiteral("vecchio.jpg"));
    auto w = openFromCard();
    click(child(w.get(), "btnSfoglia02"));
    QCOMPARE(m_env->texts(),
             (QStringList{kOverwrite,
                          QStringLiteral("Attenzione: non \u00e8 stato possibile copiare il file nella cartella dei "
                                         "documenti allegati.\n\r\n\rAccertarsi di possedere i privilegi di scrittura "
                                         "nella cartella di installazione del programma.")}));
    QCOMPARE(int(m_env->messages[1].kind), int(Kind::Error));
    QCOMPARE(child<QLineEdit>(w.get(), "txtFile02")->text(), QStringLiteral("vecchio.jpg"));
    QCOMPARE(testing::readFile(inFolder), QByteArray("primo paziente"));
    QCOMPARE(QDir(m_env->path(QStringLiteral("Documenti_Allegati"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{"documento.jpg"});
}

// A name the card would store with "?" or cut would point at another file
// after Salva: refused before anything is copied.
void TstAttachments::namesTheCardCannotHoldAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    const QString chars = QStringLiteral("\" contiene caratteri che non possono essere memorizzati nella scheda "
                                         "(lettere di altri alfabeti, simboli particolari, oppure spazi all'inizio o "
                                         "alla fine del nome).\r\n\r\nRinominare il file e selezionarlo di nuovo.");
    const QString longName = QString(247, QLatin1Char('a')) + QStringLiteral(".pdf"); // 251 characters
    QTest::newRow("Greek letter") << QStringLiteral("Referto \u03a9.pdf")
                                  << QStringLiteral("Attenzione: il nome del file \"Referto \u03a9.pdf") + chars;
    QTest::newRow("leading blank") << QStringLiteral(" referto.pdf")
                                   << QStringLiteral("Attenzione: il nome del file \" referto.pdf") + chars;
    QTest::newRow("251 characters")
        << longName
        << QStringLiteral("Attenzione: il nome del file \"%1\" \u00e8 troppo lungo per essere memorizzato nella "
                          "scheda (al massimo 250 caratteri).\r\n\r\nRinominare il file con un nome pi\u00f9 breve e "
                          "selezionarlo di nuovo.")
               .arg(longName);
    QTest::newRow("250 characters, accented") << QString(242, QLatin1Char('a')) + QStringLiteral("\u00e0\u00e8.pdf")
                                              << QString();
}

void TstAttachments::namesTheCardCannotHoldAreRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    m_env->openFileAnswer = source(name, "referto");
    QVERIFY(QFile::exists(m_env->openFileAnswer));
    cardLabel("lblFile01")->setText(QStringLiteral("vecchio.jpg"));
    auto w = openFromCard();
    click(child(w.get(), "btnSfoglia01"));
    if (message.isEmpty()) {
        QVERIFY(m_env->messages.isEmpty());
        QCOMPARE(child<QLineEdit>(w.get(), "txtFile01")->text(), name);
        QCOMPARE(testing::readFile(m_env->path(QStringLiteral("Documenti_Allegati/") + name)), QByteArray("referto"));
        return;
    }
    QCOMPARE(m_env->texts(), QStringList{message});
    QCOMPARE(int(m_env->messages[0].kind), int(Kind::Warning));
    QCOMPARE(child<QLineEdit>(w.get(), "txtFile01")->text(), QStringLiteral("vecchio.jpg"));
    QVERIFY(!QFileInfo::exists(m_env->path(QStringLiteral("Documenti_Allegati"))));
}

void TstAttachments::annullaKeepsCardSlotsButNotTheCopy()
{
    cardLabel("lblFile01")->setText(QStringLiteral("vecchio.pdf"));
    cardLabel("lblDesc01")->setText(QStringLiteral("Vecchio referto"));
    auto w = openFromCard();
    m_env->openFileAnswer = source(QStringLiteral("nuovo.pdf"), "N");
    click(child(w.get(), "btnSfoglia01"));
    child<QLineEdit>(w.get(), "txtDesc01")->setText(QStringLiteral("Nuovo referto"));
    click(child(w.get(), "btnAnnulla"));
    QVERIFY(!w->isVisible());
    QCOMPARE(cardLabel("lblFile01")->text(), QStringLiteral("vecchio.pdf"));
    QCOMPARE(cardLabel("lblDesc01")->text(), QStringLiteral("Vecchio referto"));
    QCOMPARE(testing::readFile(m_env->path(QStringLiteral("Documenti_Allegati/nuovo.pdf"))), QByteArray("N"));
}

void TstAttachments::applicaWritesTrimmedSlots()
{
    // Attaching to a card that has never been stored is allowed.
    auto w = openFromCard();
    m_env->openFileAnswer = source(QStringLiteral("tessera.jpg"), "T");
    click(child(w.get(), "btnSfoglia02"));
    child<QLineEdit>(w.get(), "txtDesc02")->setText(QStringLiteral("  Tessera sanitaria \t"));
    child<QLineEdit>(w.get(), "txtDesc03")->setText(QStringLiteral("solo descrizione"));
    click(child(w.get(), "btnApplica"));
    QVERIFY(!w->isVisible());
    const QStringList expected = {QString(), QStringLiteral("tessera.jpg"), QString(),
                                  QString(), QStringLiteral("Tessera sanitaria"), QStringLiteral("solo descrizione")};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(cardLabel(kCardLabels[i])->text(), expected[i]);
}

void TstAttachments::emptyButtonKeepsDescription()
{
    QDir(m_env->folder()).mkpath(QStringLiteral("Documenti_Allegati"));
    testing::writeFile(m_env->path(QStringLiteral("Documenti_Allegati/eco.pdf")), "E");
    cardLabel("lblFile02")->setText(QStringLiteral("eco.pdf"));
    cardLabel("lblDesc02")->setText(QStringLiteral("Ecografia"));
    auto w = openFromCard();
    QVERIFY(child(w.get(), "btnApri02")->isEnabled());
    click(child(w.get(), "imgCancella02"));
    QCOMPARE(child<QLineEdit>(w.get(), "txtFile02")->text(), QString());
    QVERIFY(!child(w.get(), "btnApri02")->isEnabled());
    QCOMPARE(child<QLineEdit>(w.get(), "txtDesc02")->text(), QStringLiteral("Ecografia"));
    click(child(w.get(), "btnApplica"));
    QCOMPARE(cardLabel("lblFile02")->text(), QString());
    QCOMPARE(cardLabel("lblDesc02")->text(), QStringLiteral("Ecografia"));
    // The file itself is never removed.
    QVERIFY(QFile::exists(m_env->path(QStringLiteral("Documenti_Allegati/eco.pdf"))));
}

void TstAttachments::apriOpensTheQuotedPath()
{
    cardLabel("lblFile03")->setText(QStringLiteral("analisi del sangue.pdf"));
    auto w = openFromCard();
    click(child(w.get(), "btnApri03"));
    QCOMPARE(m_env->opened.size(), 1);
    QCOMPARE(m_env->opened[0], QUrl::fromLocalFile(m_env->path(QStringLiteral("Documenti_Allegati/analisi del sangue.pdf"))));
    QVERIFY(m_env->messages.isEmpty());
    // No program opens it: its place is said, so it can be opened by hand.
    m_env->openSucceeds = false;
    click(child(w.get(), "btnApri03"));
    QCOMPARE(m_env->texts(), QStringList(QStringLiteral("Impossibile aprire automaticamente il file:\r\n\r\n%1\r\n\r\nAprirlo con il programma adatto.").arg(QDir::toNativeSeparators(
                                 m_env->path(QStringLiteral("Documenti_Allegati/analisi del sangue.pdf"))))));
    QCOMPARE(int(m_env->messages[0].kind), int(vornel::msg::Kind::Information));
}

void TstAttachments::patientFolder()
{
    const QString folder = m_env->path(QStringLiteral("Paziente_3"));
    for (int opening = 0; opening < 2; ++opening) {
        TfrmCartella w(vornel::instance<TfrmClienti>());
        QCOMPARE(w.windowTitle(), QStringLiteral(" Gestione cartella abbinata alla scheda corrente"));
        w.lblMemory->setText(QStringLiteral("3"));
        w.show();
        click(child(&w, "btnApriCartella"));
        QVERIFY(!w.isVisible());
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(m_env->opened.size(), opening + 1);
        QCOMPARE(m_env->opened.last(), QUrl::fromLocalFile(folder));
        if (opening == 0)
            testing::writeFile(folder + QStringLiteral("/visita.pdf"), "V");
    }
    // The second opening found the folder as it was.
    QCOMPARE(testing::readFile(folder + QStringLiteral("/visita.pdf")), QByteArray("V"));
    QVERIFY(m_env->messages.isEmpty());
    // A desktop that opens no folder: the folder's place is said.
    m_env->openSucceeds = false;
    TfrmCartella w(vornel::instance<TfrmClienti>());
    w.lblMemory->setText(QStringLiteral("3"));
    w.show();
    click(child(&w, "btnApriCartella"));
    QCOMPARE(m_env->texts(), QStringList(QStringLiteral("Impossibile aprire automaticamente il file:\r\n\r\n%1\r\n\r\nAprirlo con il programma adatto.").arg(QDir::toNativeSeparators(folder))));
}

void TstAttachments::patientFolderChiudi()
{
    TfrmCartella w(vornel::instance<TfrmClienti>());
    w.lblMemory->setText(QStringLiteral("12"));
    w.show();
    click(child(&w, "btnChiudi"));
    QVERIFY(!w.isVisible());
    QVERIFY(!QFileInfo::exists(m_env->path(QStringLiteral("Paziente_12"))));
    QVERIFY(m_env->opened.isEmpty());
}

QTEST_MAIN(TstAttachments)
#include "tst_attachments.moc"
