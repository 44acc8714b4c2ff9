// The certificate print and preview windows: what lands on the sheet, read
// back from the printed PDF as a reader would check it.
#include "app/registry.h"
#include "app/startup.h"
#include "certificates/printwindows.h"
#include "support/pdfwords.h"
#include "support/testenv.h"
#include "app/reportui.h"
#include "storage/filelayer.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

using vornel::layouts::CertificateKind;
using vornel::report::ReportError;
using vornel::report::toMm;

namespace {
const char* const kCards[] = {"TfrmCertificati", "TfrmCertificati_Agonistici", "TfrmCertificati_Disabili",
                              "TfrmCertificati_NonIdoneita"};

// The card's values, as typed (some with blanks around them).
const QList<QPair<QString, QString>> kValues = {
    {"txtStudioDent", "Studio Medico Sportivo Dott. Rossi"},
    {"txtIndirizzoDent", "Via Garibaldi 42 "},
    {"txtCapDent", "20121"},
    {"txtCittaDent", "Milano"},
    {"txtProvDent", "MI"},
    {"txtTelDent", "Tel. 02 1234567"},
    {"txtIvaDent", "01234567890"},
    {"txtCodFiscDent", "RSSMRA70A01F205X"},
    {"txtLibero", "Medicina dello Sport"},
    {"txtMedico", "Dott. Mario Rossi"},
    {"txtCodice", "MI-04512"},
    {"txtRegione", "Lombardia"},
    {"txtPaziente", "  Bianchi Luca  "},
    {"txtLuogoNasc", "Bergamo BG"},
    {"txtDataNasc", "12/05/2008"},
    {"txtResidenza", "Via Roma 5 - CAP 24121 - Bergamo BG"},
    {"txtDataECG", "10/03/2026"},
    {"txtDocumento", "Carta d'identit\u00e0 CA12345BB"},
    {"txtSportRichiesto", "Calcio"},
    {"txtSportApprovato", "Pallavolo"},
    {"txtNumMesi", "12"},
    {"txtDataScade", "13/03/2027"},
    {"txtLuogo", "Milano"},
    {"txtData", "14/03/2026"},
};

// Where a memo's text must land: its box in report units from the sheet's
// corner, the text a reader finds there, and whether it is centred.
struct Place {
    const char* memo;
    double left, top, width, height;
    const char* text;
    bool centred;
};

// The letterhead, at the height of each kind.
QList<Place> letterhead(double top, double address, double phone, double tax, double free)
{
    return {
        {"txtStudioDent", 158.74, top, 476.22, 22.68, "Studio Medico Sportivo Dott. Rossi", true},
        {"txtIndirizzoDent", 158.74, address, 476.22, 21.17, "Via Garibaldi 42 - 20121 Milano MI", true},
        {"txtTelDent", 158.74, phone, 476.22, 19.65, "Tel. 02 1234567", true},
        {"txtIvaDent", 158.74, tax, 476.22, 19.65, "Partita IVA: 01234567890 - Codice Fiscale: RSSMRA70A01F205X", true},
        {"txtLibero", 158.74, free, 476.22, 19.65, "Medicina dello Sport", true},
    };
}

QList<Place> expectedPlaces(CertificateKind kind)
{
    const char* regione = "Regione: Lombardia - Servizio di Medicina dello Sport";
    switch (kind) {
    case CertificateKind::NonAgonistico:
        return letterhead(37.80, 60.47, 82.39, 102.05, 123.21) + QList<Place>{
            {"titDirettore", 41.57, 150.43, 710.55, 31.75, "CERTIFICATO DI IDONEITA'", true},
            {"txtPaziente", 41.57, 347.72, 710.55, 22.68, "Bianchi Luca", false},
            {"txtLuogoNasc", 41.57, 411.97, 521.58, 22.68, "Bergamo BG", false},
            {"txtDataNasc", 597.17, 411.97, 154.96, 22.68, "12/05/2008", true},
            {"txtResidenza", 41.57, 476.22, 710.55, 22.68, "Via Roma 5 - CAP 24121 - Bergamo BG", false},
            {"txtDataECG", 317.48, 589.61, 154.96, 22.68, "10/03/2026", true},
            {"txtData", 37.80, 717.35, 718.11, 22.68, "Milano, 14/03/2026", false},
            {"txtMedico", 491.34, 859.46, 264.57, 17.39, "Dott. Mario Rossi", true},
            {"txtCodice", 491.34, 878.36, 264.57, 15.12, "MI-04512", true},
        };
    case CertificateKind::Agonistico:
        return letterhead(41.57, 64.25, 86.17, 105.83, 126.99) + QList<Place>{
            {"Memo11", 41.57, 188.22, 710.55, 30.24, "ALLA PRATICA DI ATTIVITA' SPORTIVA AGONISTICA", true},
            {"txtRegione", 37.80, 272.13, 718.11, 22.68, regione, true},
            {"txtPaziente", 41.57, 355.28, 710.55, 22.68, "Bianchi Luca", false},
            {"txtLuogoNasc", 41.57, 419.53, 521.58, 22.68, "Bergamo BG", false},
            {"txtDataNasc", 597.17, 419.53, 154.96, 22.68, "12/05/2008", true},
            {"txtResidenza", 41.57, 483.78, 710.55, 22.68, "Via Roma 5 - CAP 24121 - Bergamo BG", false},
            {"txtDocumento", 41.57, 548.03, 710.55, 22.68, "Carta d'identit\u00e0 CA12345BB", false},
            {"txtSportRichiesto", 41.57, 612.28, 710.55, 22.68, "Calcio", false},
            {"txtSportApprovato", 41.57, 718.11, 710.55, 22.68, "Pallavolo", false},
            {"txtNumMesi", 355.28, 771.02, 98.27, 22.68, "12", true},
            {"txtDataScade", 597.17, 771.02, 154.96, 22.68, "13/03/2027", true},
            {"txtData", 37.80, 842.08, 718.11, 22.68, "Milano, 14/03/2026", false},
            {"txtMedico", 491.34, 957.73, 264.57, 17.39, "Dott. Mario Rossi", true},
            {"txtCodice", 491.34, 976.63, 264.57, 15.12, "MI-04512", true},
        };
    case CertificateKind::Disabili:
        return letterhead(41.57, 64.25, 86.17, 105.83, 126.99) + QList<Place>{
            {"Memo14", 37.80, 253.23, 718.11, 21.92, "D.M. 4 marzo 1993, n. 450.", true},
            {"txtRegione", 37.80, 287.24, 718.11, 22.68, regione, true},
            {"txtPaziente", 41.57, 355.28, 710.55, 22.68, "Bianchi Luca", false},
            {"txtLuogoNasc", 41.57, 419.53, 521.58, 22.68, "Bergamo BG", false},
            {"txtDataNasc", 597.17, 419.53, 154.96, 22.68, "12/05/2008", true},
            {"txtResidenza", 41.57, 483.78, 710.55, 22.68, "Via Roma 5 - CAP 24121 - Bergamo BG", false},
            {"txtDocumento", 41.57, 548.03, 710.55, 22.68, "Carta d'identit\u00e0 CA12345BB", false},
            {"txtSportRichiesto", 41.57, 612.28, 710.55, 22.68, "Calcio", false},
            {"txtSportApprovato", 41.57, 718.11, 710.55, 22.68, "Pallavolo", false},
            {"Memo15", 37.80, 752.13, 718.11, 21.17, "adattato ad atleti disabili.", false},
            {"txtNumMesi", 355.28, 797.48, 98.27, 22.68, "12", true},
            {"txtDataScade", 597.17, 797.48, 154.96, 22.68, "13/03/2027", true},
            {"txtData", 37.80, 849.64, 718.11, 22.68, "Milano, 14/03/2026", false},
            {"txtMedico", 491.34, 965.29, 264.57, 17.39, "Dott. Mario Rossi", true},
            {"txtCodice", 491.34, 984.19, 264.57, 15.12, "MI-04512", true},
        };
    case CertificateKind::NonIdoneita:
        return letterhead(41.57, 64.25, 86.17, 105.83, 126.99) + QList<Place>{
            {"titDirettore", 41.57, 156.47, 710.55, 30.24, "CERTIFICATO DI NON IDONEITA'", true},
            {"txtRegione", 37.80, 287.24, 718.11, 22.68, regione, true},
            {"txtPaziente", 41.57, 362.83, 710.55, 22.68, "Bianchi Luca", false},
            {"txtLuogoNasc", 41.57, 427.09, 521.58, 22.68, "Bergamo BG", false},
            {"txtDataNasc", 597.17, 427.09, 154.96, 22.68, "12/05/2008", true},
            {"txtResidenza", 41.57, 491.34, 710.55, 22.68, "Via Roma 5 - CAP 24121 - Bergamo BG", false},
            {"txtDocumento", 41.57, 555.59, 710.55, 22.68, "Carta d'identit\u00e0 CA12345BB", false},
            {"txtSportRichiesto", 41.57, 619.84, 710.55, 22.68, "Calcio", false},
            {"txtSportApprovato", 41.57, 721.89, 710.55, 22.68, "Pallavolo", false},
            {"txtData", 37.80, 849.64, 718.11, 22.68, "Milano, 14/03/2026", false},
            {"txtMedico", 487.56, 976.63, 264.57, 17.39, "Dott. Mario Rossi", true},
            {"txtCodice", 487.56, 995.53, 264.57, 15.12, "MI-04512", true},
        };
    }
    return {};
}

// Runs 'action' on the next modal window of class T, once it is shown; the
// watch ends with its owner.
template <class T>
void whenModal(QObject* owner, const std::function<void(T*)>& action)
{
    auto* timer = new QTimer(owner);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(w);
        }
    });
    timer->start();
}

// A sheet as pixels (pdftoppm), for comparing drawings.
QImage rasterise(const QString& pdf, int dpi)
{
    const QString base = pdf + QStringLiteral(".r");
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
                                                   QStringLiteral("-singlefile"), pdf, base});
    return QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}
} // namespace

class TestPrintCertificates : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;
    QStringList m_printed; // PDF files written by "print", in order
    int m_prints = 0;
    std::function<bool()> m_printAnswer; // what the print dialog answers
    std::unique_ptr<QObject> m_watches;  // this test's watches for windows

    QWidget* card(CertificateKind kind) { return vornel::findWindow(kCards[int(kind)]); }

    // The card's field of that name (the cards name their fields after the
    // record fields); null when the kind has no such field.
    QLineEdit* field(QWidget* card, const QString& name) { return card->findChild<QLineEdit*>(name); }

    void fillCard(CertificateKind kind, const QList<QPair<QString, QString>>& values)
    {
        for (const auto& [name, value] : values)
            if (QLineEdit* e = field(card(kind), name))
                e->setText(value);
    }

    // Opens the kind's window from its card, presses 'button'; for the
    // preview, 'onPreview' runs on the preview window (which it must close).
    void runWindow(CertificateKind kind, bool preview, const char* button,
                   std::function<void(ReportPreview*)> onPreview = {}, QString* className = nullptr)
    {
        testing::onNextModal([=, this](QWidget* w) {
            if (className)
                *className = QString::fromLatin1(w->metaObject()->className());
            if (onPreview)
                whenModal<ReportPreview>(m_watches.get(), onPreview);
            w->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        });
        vornel::certificates::openPrintWindow(card(kind), preview);
    }

    QString printOnce(CertificateKind kind)
    {
        const int before = m_printed.size();
        runWindow(kind, false, "btnStampa");
        return m_printed.size() == before + 1 ? m_printed.last() : QString();
    }

private slots:
    void initTestCase()
    {
        m_env = std::make_unique<TestEnv>();
        vornel::startUp();
        vornel::printing::setPrintSeam([this](const vornel::report::Document& doc, QWidget*) {
            if (m_printAnswer && !m_printAnswer())
                return false;
            const QString path = m_env->path(QStringLiteral("stampa%1.pdf").arg(++m_prints));
            doc.exportPdf(path);
            m_printed << path;
            return true;
        });
    }
    void cleanup() { m_watches.reset(); }
    void cleanupTestCase()
    {
        vornel::printing::setPrintSeam({});
        vornel::shutDown();
        m_env.reset();
    }
    void init()
    {
        m_watches = std::make_unique<QObject>();
        m_env->messages.clear();
        m_printAnswer = {};
        for (CertificateKind k : {CertificateKind::NonAgonistico, CertificateKind::Agonistico,
                                  CertificateKind::Disabili, CertificateKind::NonIdoneita})
            fillCard(k, kValues);
    }

    void eachKindPrintsTheCardsValuesInPlace_data()
    {
        QTest::addColumn<CertificateKind>("kind");
        QTest::addColumn<QString>("window");
        QTest::newRow("non agonistico") << CertificateKind::NonAgonistico << "TfrmStampaCertificato";
        QTest::newRow("agonistico") << CertificateKind::Agonistico << "TfrmStampaAgonistici";
        QTest::newRow("disabili") << CertificateKind::Disabili << "TfrmStampaDisabili";
        QTest::newRow("non idoneita") << CertificateKind::NonIdoneita << "TfrmStampaNonIdoneita";
    }
    void eachKindPrintsTheCardsValuesInPlace()
    {
        QFETCH(CertificateKind, kind);
        QFETCH(QString, window);
        QString opened;
        runWindow(kind, false, "btnStampa", {}, &opened);
        QCOMPARE(opened, window);
        QCOMPARE(m_env->messages.size(), 0);
        const PdfText pdf = readPdfText(m_printed.last());
        QVERIFY2(pdf.ok, qPrintable(pdf.error));
        QCOMPARE(pdf.pageCount(), 1);
        QVERIFY(qAbs(pdf.pagesMm[0].width() - 210) < 0.5 && qAbs(pdf.pagesMm[0].height() - 297) < 0.5);

        for (const Place& p : expectedPlaces(kind)) {
            const QRectF box = unitsToMm(p.left, p.top, p.width, p.height);
            const QRectF near = box.adjusted(-1, -1, 1, 1);
            const QString what = QString::fromLatin1(p.memo);
            QCOMPARE(pdf.textIn(0, near), QString::fromUtf8(p.text));
            const QRectF got = PdfText::bounds(pdf.wordsIn(0, near));
            QVERIFY2(near.contains(got), qPrintable(what));
            QVERIFY2(qAbs(got.center().y() - box.center().y()) < 1, qPrintable(what));
            if (p.centred)
                QVERIFY2(qAbs(got.center().x() - box.center().x()) < 1, qPrintable(what));
            else
                QVERIFY2(qAbs(got.left() - box.left()) < 1, qPrintable(what));
        }
        // Nothing of the card prints twice or anywhere else.
        QCOMPARE(pdf.find(QStringLiteral("Bianchi")).size(), 1);
        QCOMPARE(pdf.find(QStringLiteral("Pallavolo")).size(), kind == CertificateKind::NonAgonistico ? 0 : 1);
    }

    // With no office data, place or date, the separators still print and
    // each value prints as an empty beige field in its frame.
    void emptyPartsKeepTheirSeparators()
    {
        QList<QPair<QString, QString>> blank;
        for (const auto& v : kValues)
            blank.append({v.first, QString()});
        fillCard(CertificateKind::Agonistico, blank);
        const QString path = printOnce(CertificateKind::Agonistico);
        const PdfText pdf = readPdfText(path);
        auto at = [&](double l, double t, double w, double h) { return pdf.textIn(0, unitsToMm(l, t, w, h).adjusted(-1, -1, 1, 1)); };
        QCOMPARE(at(158.74, 64.25, 476.22, 21.17), QStringLiteral("-"));
        QCOMPARE(at(158.74, 105.83, 476.22, 19.65), QStringLiteral("Partita IVA: - Codice Fiscale:"));
        QCOMPARE(at(37.80, 272.13, 718.11, 22.68), QStringLiteral("Regione: - Servizio di Medicina dello Sport"));
        QCOMPARE(at(37.80, 842.08, 718.11, 22.68), QStringLiteral(","));
        QCOMPARE(at(41.57, 355.28, 710.55, 22.68), QString());

        // The empty name field: beige inside a black frame on white paper.
        const QImage sheet = rasterise(path, 96);
        QCOMPARE(sheet.pixelColor(400, 366).rgb(), QColor(0xF5, 0xF5, 0xDC).rgb()); // inside txtPaziente
        const QColor frame = sheet.pixelColor(400, 351);                           // Shape1's top edge
        QVERIFY2(frame.lightness() < 128, qPrintable(frame.name()));
        QCOMPARE(sheet.pixelColor(400, 340).rgb(), QColor(Qt::white).rgb());
    }

    // A value longer than its field is cut at the field's right edge; the
    // sheet never wraps it onto another line. Brackets print as typed.
    void longValuesAreCutAndBracketsPrintLiterally()
    {
        QString residence = QStringLiteral("Via");
        while (residence.size() < 240)
            residence += QStringLiteral(" Lungarno");
        fillCard(CertificateKind::NonIdoneita, {{"txtResidenza", residence},
                                                {"txtPaziente", "[Paziente] {Nome} <b>"},
                                                {"txtSportApprovato", "[DATE] [Page#]"}});
        const PdfText pdf = readPdfText(printOnce(CertificateKind::NonIdoneita));
        const QRectF box = unitsToMm(41.57, 491.34, 710.55, 22.68);
        const QList<PdfWord> words = pdf.wordsIn(0, box.adjusted(-1, -1, 20, 1));
        QVERIFY(words.size() > 5);
        QVERIFY(residence.startsWith(pdf.textIn(0, box.adjusted(-1, -1, 20, 1))));
        QVERIFY(words.size() < residence.split(QLatin1Char(' ')).size());
        QVERIFY(PdfText::bounds(words).right() <= box.right() + 0.2);
        QVERIFY(box.right() - PdfText::bounds(words).right() < 10);
        // Nothing continues under the field, down to the next label.
        QCOMPARE(pdf.textIn(0, unitsToMm(37.80, 514.02, 718.11, 15)), QString());

        QCOMPARE(pdf.textIn(0, unitsToMm(41.57, 362.83, 710.55, 22.68).adjusted(-1, -1, 1, 1)),
                 QStringLiteral("[Paziente] {Nome} <b>"));
        QCOMPARE(pdf.textIn(0, unitsToMm(41.57, 721.89, 710.55, 22.68).adjusted(-1, -1, 1, 1)),
                 QStringLiteral("[DATE] [Page#]"));
    }

    // Each opening starts from the designed sheet: printing twice gives one
    // page each time, the same page.
    void printingTwiceGivesTheSameSingleSheet()
    {
        const PdfText first = readPdfText(printOnce(CertificateKind::Agonistico));
        const PdfText second = readPdfText(printOnce(CertificateKind::Agonistico));
        QCOMPARE(first.pageCount(), 1);
        QCOMPARE(second.pageCount(), 1);
        QCOMPARE(second.pageText(0), first.pageText(0));
    }

    void cancelAndFailure()
    {
        // A cancelled print dialog closes the window without any message.
        m_printAnswer = [] { return false; };
        const int before = m_printed.size();
        runWindow(CertificateKind::NonAgonistico, false, "btnStampa");
        QCOMPARE(m_printed.size(), before);
        QCOMPARE(m_env->messages.size(), 0);
        QVERIFY(!QApplication::activeModalWidget());

        // Annulla prints nothing.
        m_printAnswer = {};
        runWindow(CertificateKind::NonAgonistico, false, "btnAnnulla");
        QCOMPARE(m_printed.size(), before);
        QCOMPARE(m_env->messages.size(), 0);

        // A printer failure: the window's own warning, then it closes.
        m_printAnswer = []() -> bool { throw ReportError(QStringLiteral("stampante guasta")); };
        runWindow(CertificateKind::Disabili, false, "btnStampa");
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].kind, vornel::msg::Kind::Warning);
        QCOMPARE(m_env->messages[0].text,
                 QStringLiteral("Attenzione: la stampa del certificato medico non \u00e8 andata a buon fine.\n\r\n\r"
                                "Si consiglia di controllare le impostazioni della stampante."));
        QVERIFY(!QApplication::activeModalWidget());

        // A preview that cannot be filled: the preview's warning.
        m_printAnswer = {};
        m_env->messages.clear();
        QLineEdit* name = field(card(CertificateKind::NonIdoneita), QStringLiteral("txtPaziente"));
        name->setObjectName(QStringLiteral("altro"));
        bool previewShown = false;
        runWindow(CertificateKind::NonIdoneita, true, "btnStampa", [&](ReportPreview* p) {
            previewShown = true;
            p->close();
        });
        name->setObjectName(QStringLiteral("txtPaziente"));
        QVERIFY(!previewShown);
        QCOMPARE(m_env->texts(),
                 QStringList(QStringLiteral("Attenzione: la visualizzazione dell'anteprima di stampa del certificato "
                                            "medico non \u00e8 andata a buon fine.\n\r\n\rSi consiglia di controllare "
                                            "le impostazioni della stampante.")));
        testing::closeModals();
    }

    // The preview window shows the kind's preview copy, maximised at 100 %;
    // its Stampa prints through the same path. The copy differs from the
    // printed sheet only by the letterhead offsets.
    void previewCopiesDifferOnlyByTheirOffsets_data()
    {
        QTest::addColumn<CertificateKind>("kind");
        QTest::addColumn<QString>("window");
        QTest::addColumn<double>("letterheadShift"); // units, upward
        QTest::addColumn<QRectF>("changedArea");     // units; where the drawings may differ
        QTest::newRow("non agonistico") << CertificateKind::NonAgonistico << "TfrmMenuPrescrizioni" << 3.78
                                        << QRectF(30, 25, 735, 122);
        QTest::newRow("agonistico") << CertificateKind::Agonistico << "TfrmAnteprimaAgonistici" << 0.0
                                    << QRectF(640, 35, 120, 115);
        QTest::newRow("disabili") << CertificateKind::Disabili << "TfrmAnteprimaDisabili" << 0.0 << QRectF();
        QTest::newRow("non idoneita") << CertificateKind::NonIdoneita << "TfrmAnteprimaNonIdoneita" << 0.0 << QRectF();
    }
    void previewCopiesDifferOnlyByTheirOffsets()
    {
        QFETCH(CertificateKind, kind);
        QFETCH(QString, window);
        QFETCH(double, letterheadShift);
        QFETCH(QRectF, changedArea);

        const QString printedPath = printOnce(kind);
        QString opened, caption;
        bool maximised = false;
        int zoom = 0;
        const int before = m_printed.size();
        runWindow(kind, true, "btnStampa", [&](ReportPreview* p) {
            caption = p->windowTitle();
            maximised = p->windowState() & Qt::WindowMaximized;
            zoom = p->zoom();
            QVERIFY(p->findChild<QLabel*>(QStringLiteral("imgPagina1")));
            p->btnStampa->click();
            p->btnChiudi->click();
        }, &opened);
        QCOMPARE(opened, window);
        QVERIFY(maximised);
        QCOMPARE(zoom, 100);
        QCOMPARE(caption, QString::fromUtf8(vornel::layouts::certificate(kind, true).documentName));
        QCOMPARE(m_printed.size(), before + 1);
        QCOMPARE(m_env->messages.size(), 0);

        const PdfText printed = readPdfText(printedPath);
        const PdfText previewed = readPdfText(m_printed.last());
        QCOMPARE(previewed.words.size(), printed.words.size());
        const double letterheadBottom = toMm(150);
        for (int i = 0; i < printed.words.size(); ++i) {
            const PdfWord& a = printed.words[i];
            const PdfWord& b = previewed.words[i];
            QCOMPARE(b.text, a.text);
            const double shift = a.mm.top() < letterheadBottom ? toMm(letterheadShift) : 0;
            QVERIFY2(qAbs(b.mm.top() - (a.mm.top() - shift)) < 0.1, qPrintable(a.text));
            QVERIFY2(qAbs(b.mm.left() - a.mm.left()) < 0.1, qPrintable(a.text));
        }

        // The drawings (frames, fills, pictures) differ only where the offsets are.
        const int dpi = 48;
        const QImage p1 = rasterise(printedPath, dpi);
        const QImage p2 = rasterise(m_printed.last(), dpi);
        QCOMPARE(p1.size(), p2.size());
        const double k = dpi / 96.0;
        const QRect allowed = QRectF(changedArea.x() * k, changedArea.y() * k, changedArea.width() * k,
                                     changedArea.height() * k).toAlignedRect();
        int changed = 0, outside = 0;
        for (int y = 0; y < p1.height(); ++y)
            for (int x = 0; x < p1.width(); ++x)
                if (p1.pixel(x, y) != p2.pixel(x, y)) {
                    ++changed;
                    if (!allowed.contains(x, y))
                        ++outside;
                }
        QCOMPARE(outside, 0);
        QCOMPARE(changed > 0, !changedArea.isNull());
    }

    // The card's Stampa and Anteprima open the windows of its kind once the
    // card shows a stored certificate; what prints is what the card shows,
    // edits after the save included.
    void cardButtonsOpenTheWindows()
    {
        auto* c = card(CertificateKind::Agonistico);
        auto* position = c->findChild<QLabel*>(QStringLiteral("lblPosizione"));
        auto* stampa = c->findChild<QPushButton*>(QStringLiteral("cmdStampa"));
        auto* anteprima = c->findChild<QPushButton*>(QStringLiteral("cmdAnteprima"));
        QVERIFY(position && stampa && anteprima);

        // Not stored yet: the card's warning, no window.
        position->clear();
        stampa->click();
        anteprima->click();
        QCOMPARE(m_env->texts(),
                 QStringList({QStringLiteral("Attenzione: per stampare il certificato medico \u00e8 prima necessario "
                                             "salvare la scheda."),
                              QStringLiteral("Attenzione: per visualizzare l'anteprima di stampa del certificato medico "
                                             "\u00e8 prima necessario salvare la scheda.")}));

        c->findChild<QPushButton*>(QStringLiteral("cmdSalva"))->click();
        QVERIFY(!position->text().isEmpty());
        field(c, QStringLiteral("txtPaziente"))->setText(QStringLiteral("Verdi Anna"));
        m_env->messages.clear();

        QString opened;
        const int before = m_printed.size();
        testing::onNextModal([&](QWidget* w) {
            opened = QString::fromLatin1(w->metaObject()->className());
            w->findChild<QPushButton*>(QStringLiteral("btnStampa"))->click();
        });
        stampa->click();
        QCOMPARE(opened, QStringLiteral("TfrmStampaAgonistici"));
        QCOMPARE(m_printed.size(), before + 1);
        const PdfText pdf = readPdfText(m_printed.last());
        QCOMPARE(pdf.textIn(0, unitsToMm(41.57, 355.28, 710.55, 22.68).adjusted(-1, -1, 1, 1)),
                 QStringLiteral("Verdi Anna"));

        bool previewed = false;
        testing::onNextModal([&](QWidget* w) {
            opened = QString::fromLatin1(w->metaObject()->className());
            whenModal<ReportPreview>(m_watches.get(), [&](ReportPreview* p) {
                // 100 %: the A4 sheet at its real size on a 96 dpi screen
                // (plus its 1-pixel frame); the zoom box scales it.
                const int dpi = p->logicalDpiY();
                auto* sheet = p->findChild<QLabel*>(QStringLiteral("imgPagina1"));
                previewed = sheet && qAbs(sheet->width() - 2 - 210 / 25.4 * dpi) <= 1
                            && qAbs(sheet->height() - 2 - 297 / 25.4 * dpi) <= 1;
                p->setZoom(200);
                sheet = p->findChild<QLabel*>(QStringLiteral("imgPagina1"));
                previewed = previewed && sheet && qAbs(sheet->width() - 2 - 2 * 210 / 25.4 * dpi) <= 2
                            && p->cmbZoom->currentText() == QStringLiteral("200%");
                p->close();
            });
            w->findChild<QPushButton*>(QStringLiteral("btnStampa"))->click();
        });
        anteprima->click();
        QCOMPARE(opened, QStringLiteral("TfrmAnteprimaAgonistici"));
        QVERIFY(previewed);
        QCOMPARE(m_env->messages.size(), 0);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // Salva PDF, in the print window and in the preview window of each kind:
    // the printed sheet as a PDF file under the proposed name, in the
    // program folder the first time, then the question offering to open it.
    void eachWindowSavesThePrintedSheetAsPdf_data()
    {
        QTest::addColumn<CertificateKind>("kind");
        QTest::addColumn<bool>("preview");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("title");
        const struct {
            CertificateKind kind;
            const char* file;
            const char* title;
        } kinds[] = {
            {CertificateKind::NonAgonistico, "Certificato_Non_Agonistico", "Certificato Sportivo Non Agonistico"},
            {CertificateKind::Agonistico, "Certificato_Agonistico", "Certificato Sportivo Agonistico"},
            {CertificateKind::Disabili, "Certificato_Agonistico_Disabili", "Certificato Sportivo Agonistico Disabili"},
            {CertificateKind::NonIdoneita, "Certificato_Non_Idoneita", "Certificato Non Idoneita Sportiva Agonistica"},
        };
        for (bool preview : {false, true})
            for (const auto& k : kinds)
                QTest::addRow("%s%s", k.file, preview ? " anteprima" : "")
                    << k.kind << preview << QStringLiteral("%1_Bianchi_Luca_2026-03-14.pdf").arg(QLatin1String(k.file))
                    << QStringLiteral("%1 - Bianchi Luca").arg(QLatin1String(k.title));
    }
    void eachWindowSavesThePrintedSheetAsPdf()
    {
        QFETCH(CertificateKind, kind);
        QFETCH(bool, preview);
        QFETCH(QString, fileName);
        QFETCH(QString, title);
        const QString printedPath = printOnce(kind);
        const QString path = m_env->path(fileName);
        QFile::remove(path);
        QFile::remove(m_env->path(QStringLiteral("Studio_Medico_Vrn.ini")));
        m_env->saveProposals.clear();
        m_env->opened.clear();
        const int printed = m_printed.size();

        runWindow(kind, preview, "btnPdf");
        QCOMPARE(m_env->saveProposals, QStringList(path));
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(m_printed.size(), printed); // nothing went to the printer
        QCOMPARE(m_env->texts(), QStringList(QStringLiteral("L'esportazione del certificato in PDF \u00e8 terminata con "
                                                            "successo.\r\n\r\nSi vuole aprire il file?")));
        QCOMPARE(m_env->messages[0].kind, vornel::msg::Kind::Confirmation);
        QCOMPARE(m_env->opened, QList<QUrl>{QUrl::fromLocalFile(path)});

        // One A4 page, word for word and place for place the printed sheet.
        const PdfText sheet = readPdfText(printedPath);
        const PdfText pdf = readPdfText(path);
        QVERIFY2(pdf.ok, qPrintable(pdf.error));
        QCOMPARE(pdf.pageCount(), 1);
        QVERIFY(qAbs(pdf.pagesMm[0].width() - 210) < 0.5 && qAbs(pdf.pagesMm[0].height() - 297) < 0.5);
        QCOMPARE(pdf.words.size(), sheet.words.size());
        for (int i = 0; i < sheet.words.size(); ++i) {
            QCOMPARE(pdf.words[i].text, sheet.words[i].text);
            QVERIFY2(qAbs(pdf.words[i].mm.left() - sheet.words[i].mm.left()) < 0.1
                         && qAbs(pdf.words[i].mm.top() - sheet.words[i].mm.top()) < 0.1,
                     qPrintable(sheet.words[i].text));
        }
        QCOMPARE(pdf.find(QStringLiteral("Bianchi")).size(), 1);
        QCOMPARE(pdf.find(QStringLiteral("12/05/2008")).size(), 1);
        if (kind != CertificateKind::NonAgonistico)
            QCOMPARE(pdf.find(QStringLiteral("Calcio")).size(), 1);

        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {path});
        QVERIFY(info.waitForFinished());
        const QString infoText = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(infoText.contains(QRegularExpression(QStringLiteral("^Title: +%1$").arg(QRegularExpression::escape(title)),
                                                      QRegularExpression::MultilineOption)),
                 qPrintable(infoText));
        // The folder is remembered for the next time.
        QVERIFY(testing::readFile(m_env->path(QStringLiteral("Studio_Medico_Vrn.ini")))
                    .contains("[PDF]\r\nCartella=" + QDir::toNativeSeparators(m_env->folder()).toLocal8Bit() + "\r\n"));
    }

    // The folder chosen last is proposed next time, while it exists; giving
    // up in the dialog keeps the window; a file that cannot be written leaves
    // nothing behind and is named; a file nothing can open is named too.
    void pdfFolderCancelAndFailures()
    {
        const QString club = m_env->path(QStringLiteral("Societ\u00e0 sportiva"));
        QVERIFY(QDir().mkpath(club));
        const QString name = QStringLiteral("Certificato_Non_Idoneita_Bianchi_Luca_2026-03-14.pdf");
        m_env->saveAnswer = [&](const QString& proposed) { return QDir(club).filePath(QFileInfo(proposed).fileName()); };
        runWindow(CertificateKind::NonIdoneita, false, "btnPdf");
        QVERIFY(QFileInfo::exists(QDir(club).filePath(name)));
        m_env->saveAnswer = {};
        m_env->saveProposals.clear();
        runWindow(CertificateKind::Agonistico, true, "btnPdf");
        QCOMPARE(m_env->saveProposals,
                 QStringList(QDir(club).filePath(QStringLiteral("Certificato_Agonistico_Bianchi_Luca_2026-03-14.pdf"))));
        // A remembered folder that is gone: the program folder again.
        QVERIFY(QDir(club).removeRecursively());
        m_env->saveAnswer = [](const QString&) { return QString(); };
        m_env->saveProposals.clear();
        m_env->messages.clear();
        bool stillOpen = false;
        testing::onNextModal([&](QWidget* w) {
            w->findChild<QPushButton*>(QStringLiteral("btnPdf"))->click();
            // Given up in the dialog: no message, the window waits.
            stillOpen = w->isVisible() && QApplication::activeModalWidget() == w;
            w->findChild<QPushButton*>(QStringLiteral("btnAnnulla"))->click();
        });
        vornel::certificates::openPrintWindow(card(CertificateKind::NonIdoneita), false);
        QCOMPARE(m_env->saveProposals, QStringList(m_env->path(name)));
        QVERIFY(stillOpen);
        QVERIFY(m_env->messages.isEmpty());

        // A file that cannot be written: an older file of that name is left
        // as it was, a new one is not made at all; the window stays.
        m_env->saveAnswer = {};
        const QString old = m_env->path(name);
        const QString fresh = m_env->path(QStringLiteral("Certificato_Agonistico_Bianchi_Luca_2026-03-14.pdf"));
        testing::writeFile(old, "vecchio");
        QFile::remove(fresh);
        for (const auto& [kind, path] : {std::pair{CertificateKind::NonIdoneita, old}, std::pair{CertificateKind::Agonistico, fresh}}) {
            vornel::files::faults::clear();
            vornel::files::faults::failOn(vornel::files::Op::Write, QFileInfo(path).fileName());
            m_env->messages.clear();
            stillOpen = false;
            testing::onNextModal([&](QWidget* w) {
                w->findChild<QPushButton*>(QStringLiteral("btnPdf"))->click();
                stillOpen = QApplication::activeModalWidget() == w;
                w->findChild<QPushButton*>(QStringLiteral("btnAnnulla"))->click();
            });
            vornel::certificates::openPrintWindow(card(kind), false);
            QVERIFY(stillOpen);
            QCOMPARE(m_env->messages.size(), 1);
            QCOMPARE(m_env->messages[0].kind, vornel::msg::Kind::Warning);
            QVERIFY2(m_env->messages[0].text.startsWith(QStringLiteral("Attenzione: ")), qPrintable(m_env->lastText()));
            QVERIFY2(m_env->messages[0].text.contains(QStringLiteral("\r\n\r\n%1\r\n\r\n").arg(QDir::toNativeSeparators(path))),
                     qPrintable(m_env->lastText()));
        }
        vornel::files::faults::clear();
        QCOMPARE(testing::readFile(old), QByteArray("vecchio"));
        QVERIFY(!QFileInfo::exists(fresh));
        for (const QString& f : QDir(m_env->folder()).entryList({QStringLiteral("*Certificato_*")}, QDir::Files | QDir::Hidden))
            QVERIFY2(f.startsWith(QLatin1String("Certificato_")) && f.endsWith(QLatin1String(".pdf")), qPrintable(f));

        // Written, but no program on this computer opens PDF files.
        m_env->openSucceeds = false;
        m_env->messages.clear();
        runWindow(CertificateKind::Agonistico, false, "btnPdf");
        m_env->openSucceeds = true;
        QVERIFY(QFileInfo::exists(fresh));
        QCOMPARE(m_env->texts().size(), 2);
        QCOMPARE(m_env->messages[1].kind, vornel::msg::Kind::Information);
        QCOMPARE(m_env->messages[1].text, QStringLiteral("Impossibile aprire automaticamente il file:\r\n\r\n%1\r\n\r\n"
                                                         "Aprirlo con il programma adatto.")
                                              .arg(QDir::toNativeSeparators(fresh)));
        // Answered No: nothing is opened.
        m_env->confirmAnswer = false;
        m_env->opened.clear();
        runWindow(CertificateKind::Agonistico, false, "btnPdf");
        m_env->confirmAnswer = true;
        QVERIFY(m_env->opened.isEmpty());
    }

    // Where no printer is installed, Stampa says so and points at Salva PDF;
    // the print window stays open for it. The preview's Stampa says the same.
    void noPrinterIsSaid()
    {
        const QString expected = QStringLiteral("Attenzione: nessuna stampante installata. Il documento non \u00e8 stato "
                                                "stampato.\r\n\r\nUsare Salva PDF per salvarlo in un file.");
        vornel::printing::setPrinterCheck([] { return false; });
        const int before = m_printed.size();
        bool stillOpen = false;
        testing::onNextModal([&](QWidget* w) {
            w->findChild<QPushButton*>(QStringLiteral("btnStampa"))->click();
            stillOpen = QApplication::activeModalWidget() == w;
            w->findChild<QPushButton*>(QStringLiteral("btnPdf"))->click();
        });
        vornel::certificates::openPrintWindow(card(CertificateKind::Disabili), false);
        QVERIFY(stillOpen);
        QCOMPARE(m_env->texts().value(0), expected);
        QCOMPARE(m_env->messages.value(0).kind, vornel::msg::Kind::Warning);
        QVERIFY(m_env->saveProposals.last().endsWith(QStringLiteral("/Certificato_Agonistico_Disabili_Bianchi_Luca_2026-03-14.pdf")));
        QVERIFY(QFileInfo::exists(m_env->saveProposals.last()));
        QVERIFY(!QApplication::activeModalWidget());

        m_env->messages.clear();
        runWindow(CertificateKind::NonAgonistico, true, "btnStampa", [&](ReportPreview* p) {
            p->btnStampa->click();
            p->btnChiudi->click();
        });
        vornel::printing::setPrinterCheck({});
        QCOMPARE(m_env->texts(), QStringList(expected));
        QCOMPARE(m_printed.size(), before);
    }

    // The competitive sheets read "sulla base della visita medica".
    void competitiveWordingReadsRight_data()
    {
        QTest::addColumn<CertificateKind>("kind");
        QTest::newRow("agonistico") << CertificateKind::Agonistico;
        QTest::newRow("disabili") << CertificateKind::Disabili;
    }
    void competitiveWordingReadsRight()
    {
        QFETCH(CertificateKind, kind);
        const PdfText pdf = readPdfText(printOnce(kind));
        QCOMPARE(pdf.textIn(0, unitsToMm(37.80, 661.42, 733.23, 21.17).adjusted(-1, -1, 1, 1)),
                 QStringLiteral("L'atleta di cui sopra, sulla base della visita medica e dei relativi accertamenti, non "
                                "presenta"));
        QVERIFY(pdf.pageText(0).contains(QStringLiteral("Il presente certificato ha validita' di mesi:")));
    }

    void windowsLookAsDesigned_data()
    {
        QTest::addColumn<CertificateKind>("kind");
        QTest::addColumn<bool>("preview");
        QTest::addColumn<QString>("className");
        QTest::newRow("1") << CertificateKind::NonAgonistico << false << "TfrmStampaCertificato";
        QTest::newRow("2") << CertificateKind::Agonistico << false << "TfrmStampaAgonistici";
        QTest::newRow("3") << CertificateKind::Disabili << false << "TfrmStampaDisabili";
        QTest::newRow("4") << CertificateKind::NonIdoneita << false << "TfrmStampaNonIdoneita";
        QTest::newRow("5") << CertificateKind::NonAgonistico << true << "TfrmMenuPrescrizioni";
        QTest::newRow("6") << CertificateKind::Agonistico << true << "TfrmAnteprimaAgonistici";
        QTest::newRow("7") << CertificateKind::Disabili << true << "TfrmAnteprimaDisabili";
        QTest::newRow("8") << CertificateKind::NonIdoneita << true << "TfrmAnteprimaNonIdoneita";
    }
    void windowsLookAsDesigned()
    {
        QFETCH(CertificateKind, kind);
        QFETCH(bool, preview);
        QFETCH(QString, className);
        QString caption, stampa, annulla, pdf, opened;
        QSize size;
        QRect stampaGeometry, annullaGeometry, pdfGeometry, panel;
        bool closable = true, captionsFit = true;
        testing::onNextModal([&](QWidget* w) {
            opened = QString::fromLatin1(w->metaObject()->className());
            caption = w->windowTitle();
            size = w->size();
            closable = w->windowFlags() & Qt::WindowCloseButtonHint;
            auto* s = w->findChild<QPushButton*>(QStringLiteral("btnStampa"));
            auto* a = w->findChild<QPushButton*>(QStringLiteral("btnAnnulla"));
            auto* p = w->findChild<QPushButton*>(QStringLiteral("btnPdf"));
            stampa = s->text();
            annulla = a->text();
            pdf = p->text();
            stampaGeometry = s->geometry();
            annullaGeometry = a->geometry();
            pdfGeometry = p->geometry();
            panel = w->findChild<QWidget*>(QStringLiteral("panSfondo"))->geometry();
            // Every caption is read whole on its button.
            for (QPushButton* b : {s, a, p})
                captionsFit = captionsFit && b->sizeHint().width() <= b->width() && b->font() == s->font();
            a->click();
        });
        vornel::certificates::openPrintWindow(card(kind), preview);
        QCOMPARE(opened, className);
        QCOMPARE(caption, preview ? QStringLiteral(" Anteprima di stampa") : QStringLiteral(" Stampa certificato medico"));
        QCOMPARE(size, QSize(362, 287));
        QVERIFY(!closable);
        QCOMPARE(stampa, preview ? QStringLiteral("Mostra anteprima") : QStringLiteral("Stampa"));
        QCOMPARE(annulla, QStringLiteral("Annulla"));
        QCOMPARE(pdf, QStringLiteral("Salva PDF"));
        // One row under the panel, as wide as the panel: Annulla, Salva PDF,
        // then the window's own action, all of the same height and look.
        QCOMPARE(annullaGeometry.left(), panel.left());
        QCOMPARE(stampaGeometry.right(), panel.right());
        QVERIFY(annullaGeometry.right() < pdfGeometry.left() && pdfGeometry.right() < stampaGeometry.left());
        for (const QRect& r : {annullaGeometry, pdfGeometry, stampaGeometry}) {
            QCOMPARE(r.top(), 243);
            QCOMPARE(r.height(), 28);
        }
        QVERIFY(captionsFit);
        QCOMPARE(m_env->messages.size(), 0);
    }
};

QTEST_MAIN(TestPrintCertificates)
#include "tst_print_certificates.moc"
