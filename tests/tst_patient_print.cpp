// The patient card on paper and in "Paziente.pdf": every row's title and
// value where the layout puts them, read back from the PDF as a reader
// would see it.
#include "app/registry.h"
#include "app/startup.h"
#include "documents/layout_scheda.h"
#include "documents/report.h"
#include "patients/tfrmclienti.h"
#include "storage/filelayer.h"
#include "support/pdfwords.h"
#include "support/testenv.h"
#include "app/reportui.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <memory>

using namespace vornel;
using Kind = vornel::msg::Kind;

namespace {

// Report units to millimetres on the sheet (10 mm margins).
QRectF onSheet(double left, double top, double width, double height)
{
    QRectF r = unitsToMm(left, top, width, height);
    r.translate(10, 10);
    return r;
}
QRectF titleMemo(int row)
{
    return onSheet(11.33859, 90.70872 + (row - 1) * 37.7953, 196.53556, 22.67718);
}
QRectF valueMemo(int row)
{
    return onSheet(226.7718, 90.70872 + (row - 1) * 37.7953, 483.77984, 22.67718);
}
const QRectF kTitle = onSheet(86.92919, 11.33859, 623.62245, 34.01577);
const QRectF kClosing = onSheet(11.33859, 1016.69357, 699.21305, 22.67718);

const QStringList kRowTitles{
    "Cognome e nome:",      "Data di nascita:",        "Comune di nascita:",     "Sesso:",
    "Tel. preferenziale:",  "Indirizzo di residenza:", "Comune di residenza:",   "Professione:",
    "Tel. casa:",           "Tel. ufficio:",           "Tel. cellulare:",        "PEC:",
    "E-mail:",              "Codice fiscale:",         "Partita IVA:",           "Documento di identit\u00e0:",
    "Patologie:",           "Allergie e intolleranze:", "Farmaci assunti:",      "Interventi subiti:",
    "Protesi:",             "Handicap psicomotori:",   "Questioni in sospeso:",  "Note:"};

void expectCentredIn(const PdfText& pdf, const QString& text, const QRectF& box)
{
    const QList<PdfWord> words = pdf.wordsIn(0, box);
    QStringList joined;
    for (const PdfWord& w : words)
        joined << w.text;
    QCOMPARE(joined.join(QLatin1Char(' ')), text);
    const QRectF b = PdfText::bounds(words);
    QVERIFY2(qAbs(b.center().x() - box.center().x()) < 1.0, qPrintable(text));
    QVERIFY2(qAbs(b.center().y() - box.center().y()) < 1.5, qPrintable(text));
}

} // namespace

class TestPatientPrint : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;
    TfrmClienti* card = nullptr;
    QString pdfPath() const { return m_env->path(QStringLiteral("Paziente.pdf")); }

    void fillCard()
    {
        const QList<QPair<const char*, QString>> values{
            {"txtPaziente", "  ROSSI MARIO  "},   {"txtDataNasc", "01/01/1980"},
            {"txtComuneNasc", "Roma"},            {"txtSesso", "M"},
            {"txtASL", "ASL Roma 1"},             {"txtRecapito", "333 1234567"},
            {"txtIndirizzoRes", "Via Po 1"},      {"txtComuneRes", "Milano"},
            {"txtCapRes", "20100"},               {"txtProfessione", "Impiegato"},
            {"txtTelCasa", "02 111"},             {"txtTelUff", "02 222"},
            {"txtTelCel", "347 333"},             {"txtFax", "rossi@pec.it"},
            {"txtEmail", "rossi@example.it"},     {"txtCodFisc", "RSSMRA80A01H501U"},
            {"txtTessera", "TESSERA99"},          {"txtGruppo", "0RH+"},
            {"txtPartitaIva", "01234567890"},     {"txtVaccinazioni", "CI AB123 [Comune]"},
            {"txtPatologie", "Asma"},             {"txtAllergie", "Pollini"},
            {"txtFarmaci", "Salbutamolo"},        {"txtInterventi", "Menisco"},
            {"txtProtesi", "Nessuna"},            {"txtHandicap", "Nessuno"},
            {"txtQuestioni", "Referto ECG"},      {"txtNote", "Ciclista \u00e8 agonista"}};
        for (const auto& [name, text] : values)
            card->findChild<QLineEdit*>(QLatin1String(name))->setText(text);
        card->txtProvNasc->setEditText(QStringLiteral("RM"));
        card->txtProvRes->setEditText(QStringLiteral("MI"));
    }

    static QStringList expectedValues()
    {
        return {"ROSSI MARIO",   "01/01/1980",  "Roma RM",          "M - ASL: ASL Roma 1", "333 1234567",
                "Via Po 1",      "Milano MI",   "Impiegato",        "02 111",              "02 222",
                "347 333",       "rossi@pec.it", "rossi@example.it", "RSSMRA80A01H501U",   "01234567890",
                "CI AB123 [Comune]", "Asma",    "Pollini",          "Salbutamolo",         "Menisco",
                "Nessuna",       "Nessuno",     "Referto ECG",      "Ciclista \u00e8 agonista"};
    }

    void checkSheet(const QString& path, const QStringList& values)
    {
        const PdfText pdf = readPdfText(path);
        QVERIFY2(pdf.ok, qPrintable(pdf.error));
        QCOMPARE(pdf.pageCount(), 1);
        QVERIFY(qAbs(pdf.pagesMm[0].width() - 210) < 0.5);
        QVERIFY(qAbs(pdf.pagesMm[0].height() - 297) < 0.5);
        expectCentredIn(pdf, QStringLiteral("SCHEDA ANAGRAFICA PAZIENTE"), kTitle);
        expectCentredIn(pdf, QStringLiteral("Stampa eseguita in data 14/03/2026 alle ore 09:26:53"), kClosing);
        for (int n = 1; n <= 24; ++n) {
            QCOMPARE(pdf.textIn(0, titleMemo(n)), kRowTitles[n - 1]);
            QCOMPARE(pdf.textIn(0, valueMemo(n)), values[n - 1]);
            // Titles and values start at their memo's left edge (2 units inset).
            const QList<PdfWord> title = pdf.wordsIn(0, titleMemo(n));
            QVERIFY(qAbs(PdfText::bounds(title).left() - (titleMemo(n).left() + 0.53)) < 0.6);
        }
        // The rows stand one centimetre apart.
        const double top1 = PdfText::bounds(pdf.wordsIn(0, titleMemo(1))).top();
        const double top24 = PdfText::bounds(pdf.wordsIn(0, titleMemo(24))).top();
        QVERIFY(qAbs((top24 - top1) - 230.0) < 0.3);
        // No design text is left, and what the sheet leaves out is not there.
        const QString all = pdf.pageText(0);
        for (const char* absent : {"Campo", "Titolo Scheda", "Termine scheda", "20100", "TESSERA99", "0RH+"})
            QVERIFY2(!all.contains(QLatin1String(absent)), absent);
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        startUp();
        card = instance<TfrmClienti>();
        goTo(card, nullptr);
        QVERIFY(QTest::qWaitForWindowActive(card));
    }
    void cleanup()
    {
        printing::setPrintSeam({});
        shutDown();
        m_env.reset();
    }

    void layoutObjects()
    {
        const report::Document doc = report::Document::fromLayout(layouts::scheda());
        QCOMPARE(doc.name(), QStringLiteral("Scheda informativa"));
        QCOMPARE(doc.page().orientation(), report::Orientation::Portrait);
        QCOMPARE(doc.page().marginsMm(), QMarginsF(10, 10, 10, 10));
        for (int n = 1; n <= 24; ++n) {
            const report::Memo& t = doc.memo(QStringLiteral("titCampo%1").arg(n, 2, 10, QLatin1Char('0')));
            const report::Memo& v = doc.memo(QStringLiteral("txtCampo%1").arg(n, 2, 10, QLatin1Char('0')));
            QCOMPARE(t.top(), 90.70872 + (n - 1) * 37.7953);
            QCOMPARE(v.top(), t.top());
            QCOMPARE(t.fill, QColor(0xFF008080));
            QCOMPARE(t.font.color, QColor(Qt::white));
            QCOMPARE(t.font.points, 9.0);
            QCOMPARE(v.font.points, 10.0);
            QVERIFY(!v.fill.isValid());
            QVERIFY(!t.wordWrap && !v.wordWrap);
            QCOMPARE(t.vAlign, report::VAlign::Centre);
        }
        QCOMPARE(doc.memo(QStringLiteral("txtTitolo")).fill, QColor(0xFFFF8C00));
        QCOMPARE(doc.memo(QStringLiteral("txtTitolo")).font.points, 16.0);
        QCOMPARE(doc.memo(QStringLiteral("txtCalce")).rect(), QRectF(11.33859, 1016.69357, 699.21305, 22.67718));
        QCOMPARE(doc.picture(QStringLiteral("imgLogo")).rect(), QRectF(11.33859, 11.33859, 64.25201, 49.13389));
        QCOMPARE(doc.find(QStringLiteral("linSepara01"))->kind(), report::Kind::Line);
        QCOMPARE(doc.find(QStringLiteral("linSepara02"))->top(), 1001.57545);
    }

    void pdfOfTheCardAsItStands()
    {
        testing::writeFile(pdfPath(), QByteArray("an older export"));
        fillCard(); // never saved: the sheet shows the controls as they are
        m_env->confirmAnswer = true;
        QTest::mouseClick(card->cmdPDF, Qt::LeftButton);
        QCOMPARE(m_env->texts(), QStringList{QStringLiteral("L'esportazione della scheda in PDF \u00e8 terminata con "
                                                            "successo.\r\n\r\nSi vuole aprire il file?")});
        QCOMPARE(m_env->messages[0].kind, Kind::Confirmation);
        QCOMPARE(m_env->opened, QList<QUrl>{QUrl::fromLocalFile(pdfPath())});
        checkSheet(pdfPath(), expectedValues());
        QVERIFY(!QFileInfo::exists(m_env->path(QStringLiteral("Pazienti.vrn"))));

        // The document's title names the sheet.
        const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        if (!pdfinfo.isEmpty()) {
            QProcess p;
            p.start(pdfinfo, {pdfPath()});
            QVERIFY(p.waitForFinished());
            QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains(QLatin1String("Scheda informativa")));
        }
    }

    void pdfAgainAnsweringNo()
    {
        card->txtPaziente->setText(QStringLiteral("PRIMO"));
        QTest::mouseClick(card->cmdPDF, Qt::LeftButton);
        card->txtPaziente->setText(QStringLiteral("SECONDO"));
        m_env->confirmAnswer = false;
        QTest::mouseClick(card->cmdPDF, Qt::LeftButton);
        QCOMPARE(m_env->messages.size(), 2);
        QCOMPARE(m_env->opened.size(), 1); // only the first answer opened the file
        const PdfText pdf = readPdfText(pdfPath());
        QVERIFY2(pdf.ok, qPrintable(pdf.error));
        QCOMPARE(pdf.textIn(0, valueMemo(1)), QStringLiteral("SECONDO"));
    }

    // Stampa where no printer is installed says that nothing was printed; a
    // PDF that no program opens is named so it can be opened by hand.
    void noPrinterAndNoViewerAreSaid()
    {
        bool printed = false;
        printing::setPrintSeam([&](const report::Document&, QWidget*) { return printed = true; });
        printing::setPrinterCheck([] { return false; });
        fillCard();
        QTest::mouseClick(card->cmdStampa, Qt::LeftButton);
        printing::setPrinterCheck({});
        QVERIFY(!printed);
        QCOMPARE(m_env->texts(), QStringList(QStringLiteral("Attenzione: nessuna stampante installata. Il documento "
                                                            "non \u00e8 stato stampato.")));
        QCOMPARE(m_env->messages[0].kind, Kind::Warning);

        m_env->messages.clear();
        m_env->openSucceeds = false;
        QTest::mouseClick(card->cmdPDF, Qt::LeftButton);
        QCOMPARE(m_env->opened, QList<QUrl>{QUrl::fromLocalFile(pdfPath())});
        QCOMPARE(m_env->texts().size(), 2);
        QCOMPARE(m_env->messages[1].kind, Kind::Information);
        QCOMPARE(m_env->messages[1].text, QStringLiteral("Impossibile aprire automaticamente il file:\r\n\r\n%1\r\n\r\n"
                                                         "Aprirlo con il programma adatto.")
                                              .arg(QDir::toNativeSeparators(pdfPath())));
    }

    void emptyCardPrintsEmptyValues()
    {
        QString printedName;
        const QString printed = m_env->path(QStringLiteral("stampa.pdf"));
        printing::setPrintSeam([&](const report::Document& doc, QWidget*) {
            printedName = doc.name();
            doc.exportPdf(printed);
            return true;
        });
        QTest::mouseClick(card->cmdStampa, Qt::LeftButton);
        QCOMPARE(printedName, QStringLiteral("Scheda informativa"));
        QVERIFY(m_env->messages.isEmpty());
        QVERIFY(!QApplication::activeModalWidget()); // no preview
        QStringList empty(24, QString());
        empty[3] = QStringLiteral("- ASL:");
        checkSheet(printed, empty);
        QVERIFY(!QFileInfo::exists(pdfPath()));
    }

    void printingTheFilledCard()
    {
        const QString printed = m_env->path(QStringLiteral("stampa.pdf"));
        printing::setPrintSeam([&](const report::Document& doc, QWidget*) {
            doc.exportPdf(printed);
            return true;
        });
        fillCard();
        QTest::mouseClick(card->cmdStampa, Qt::LeftButton);
        checkSheet(printed, expectedValues());
        // The card is left as it was.
        QCOMPARE(card->txtPaziente->text(), QStringLiteral("  ROSSI MARIO  "));
    }

    void engineFailureIsShownWithItsText()
    {
        // A folder in the way: the PDF cannot be written.
        QVERIFY(QDir(m_env->folder()).mkdir(QStringLiteral("Paziente.pdf")));
        fillCard();
        QTest::mouseClick(card->cmdPDF, Qt::LeftButton);
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].kind, Kind::Error);
        QVERIFY(!m_env->messages[0].text.isEmpty());
        QVERIFY(m_env->opened.isEmpty());
        QCOMPARE(card->txtPaziente->text(), QStringLiteral("  ROSSI MARIO  "));
    }

    // Through the file seam: whatever step fails, the earlier "Paziente.pdf"
    // stays whole and the engine's message names the file.
    void pdfFaultsKeepTheEarlierFile_data()
    {
        QTest::addColumn<int>("op");
        QTest::newRow("open") << int(files::Op::Open);
        QTest::newRow("write") << int(files::Op::Write);
        QTest::newRow("rename") << int(files::Op::Rename);
    }
    void pdfFaultsKeepTheEarlierFile()
    {
        QFETCH(int, op);
        card->txtPaziente->setText(QStringLiteral("PRIMO"));
        QTest::mouseClick(card->cmdPDF, Qt::LeftButton);
        const QByteArray first = testing::readFile(pdfPath());
        QVERIFY(first.startsWith("%PDF"));
        m_env->messages.clear();
        files::faults::failOn(files::Op(op), QStringLiteral("Paziente.pdf"));
        card->txtPaziente->setText(QStringLiteral("SECONDO"));
        QTest::mouseClick(card->cmdPDF, Qt::LeftButton);
        QCOMPARE(m_env->texts(), QStringList{QStringLiteral("Impossibile scrivere il file \"%1\".").arg(pdfPath())});
        QCOMPARE(m_env->messages[0].kind, Kind::Error);
        QCOMPARE(testing::readFile(pdfPath()), first);
        QCOMPARE(QDir(m_env->folder()).entryList({QStringLiteral("*.pdf*"), QStringLiteral(".*")}, QDir::Files | QDir::Hidden),
                 QStringList{"Paziente.pdf"});
    }
};

QTEST_MAIN(TestPatientPrint)
#include "tst_patient_print.moc"
