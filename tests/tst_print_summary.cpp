// The summary printout of the list windows, read back from the printed PDF.
#include "app/startup.h"
#include "storage/clock.h"
#include "support/pdfwords.h"
#include "support/testenv.h"
#include "app/reportui.h"
#include "lists/summaryprint.h"

#include <QPrinterInfo>
#include <QProcess>
#include <QtTest>

using vornel::report::toMm;

namespace {
// The printable area starts 10 mm from the paper's corner; band rows are
// given in report units from its top.
QRectF onPage(double left, double top, double width, double height)
{
    return unitsToMm(left, top, width, height).translated(10, 10);
}
const QRectF kTitleBar = onPage(7.55906, 3.77953, 1031.81169, 18.89765);
const QString kTitle = QStringLiteral("Tabella discipline sportive");
const QString kClosing = QStringLiteral("Stampa eseguita in data 14/03/2026 alle ore 09:26:53");
} // namespace

class TestPrintSummary : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;
    QStringList m_printed;
    std::function<bool()> m_answer;
    QStringList m_jobNames;

    PdfText print(const QStringList& lines, const QString& title = kTitle)
    {
        const int before = m_printed.size();
        vornel::printSummary(nullptr, title, lines);
        if (m_printed.size() != before + 1)
            return {};
        return readPdfText(m_printed.last());
    }

private slots:
    void initTestCase()
    {
        vornel::prepareApplication();
        vornel::printing::setPrintSeam([this](const vornel::report::Document& doc, QWidget*) {
            m_jobNames << doc.name();
            if (m_answer && !m_answer())
                return false;
            const QString path = m_env->path(QStringLiteral("riepilogo%1.pdf").arg(m_printed.size() + 1));
            doc.exportPdf(path);
            m_printed << path;
            return true;
        });
    }
    void cleanupTestCase() { vornel::printing::setPrintSeam({}); }
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_printed.clear();
        m_jobNames.clear();
        m_answer = {};
    }
    void cleanup() { m_env.reset(); }

    // An empty list: one landscape page with the title bar, an empty list
    // area 10 units high and the closing bar right under it.
    void emptyListGivesTitleAndClosingBar()
    {
        const PdfText pdf = print({});
        QVERIFY2(pdf.ok, qPrintable(pdf.error));
        QCOMPARE(m_jobNames, QStringList(QStringLiteral("Riepilogo dati")));
        QCOMPARE(pdf.pageCount(), 1);
        QVERIFY(qAbs(pdf.pagesMm[0].width() - 297) < 0.5 && qAbs(pdf.pagesMm[0].height() - 210) < 0.5);

        const QRectF closingBar = onPage(11.33859, 30.23624 + 10 + 7.55906, 1028.03216, 18.89765);
        QCOMPARE(pdf.pageText(0), kTitle + QLatin1Char(' ') + kClosing);
        for (const auto& [text, bar] : {std::pair{kTitle, kTitleBar}, std::pair{kClosing, closingBar}}) {
            const QRectF got = PdfText::bounds(pdf.wordsIn(0, bar.adjusted(-1, -1, 1, 1)));
            QCOMPARE(pdf.textIn(0, bar.adjusted(-1, -1, 1, 1)), text);
            QVERIFY2(qAbs(got.center().x() - bar.center().x()) < 1, qPrintable(text)); // centred
            QVERIFY2(got.top() >= bar.top() - 0.2 && got.bottom() <= bar.bottom() + 1, qPrintable(text));
        }

        // The bars: white text on slate grey.
        const QString base = m_printed.last() + QStringLiteral(".r");
        QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("96"),
                                                       QStringLiteral("-singlefile"), m_printed.last(), base});
        const QImage sheet(base + QStringLiteral(".png"));
        const double k = 96 / 25.4;
        QCOMPARE(sheet.pixelColor(int((kTitleBar.left() + 3) * k), int(kTitleBar.center().y() * k)).rgb(),
                 QColor(0x70, 0x80, 0x90).rgb());
        QCOMPARE(sheet.pixelColor(int((closingBar.right() - 3) * k), int(closingBar.center().y() * k)).rgb(),
                 QColor(0x70, 0x80, 0x90).rgb());
    }

    // 100 lines run onto a second page; the title is printed once, on the
    // first page, and the closing bar once, after line 100.
    void hundredLinesRunOntoASecondPage()
    {
        QStringList lines;
        for (int i = 1; i <= 100; ++i)
            lines << QStringLiteral("RIGA%1   %2").arg(i, 3, 10, QLatin1Char('0')).arg(QStringLiteral("dato"));
        const PdfText pdf = print(lines);
        QCOMPARE(pdf.pageCount(), 2);
        QCOMPARE(pdf.find(QStringLiteral("Tabella")).size(), 1);
        QCOMPARE(pdf.find(QStringLiteral("Tabella"))[0].page, 0);
        const QList<PdfWord> closing = pdf.find(QStringLiteral("eseguita"));
        QCOMPARE(closing.size(), 1);
        QCOMPARE(closing[0].page, 1);

        int page = 0;
        double lastTop = 0;
        for (int i = 1; i <= 100; ++i) {
            const QList<PdfWord> hits = pdf.find(QStringLiteral("RIGA%1").arg(i, 3, 10, QLatin1Char('0')));
            QCOMPARE(hits.size(), 1);
            const PdfWord& w = hits[0];
            QVERIFY(qAbs(w.mm.left() - onPage(11.33859 + 2, 0, 1, 1).left()) < 1);
            QVERIFY2(w.mm.bottom() <= 200.2, "inside the bottom margin");
            if (i == 1)
                QVERIFY(qAbs(w.mm.top() - onPage(0, 30.23624 + 1, 1, 1).top()) < 1); // right under the title
            if (w.page != page) {
                QCOMPARE(w.page, page + 1);
                page = w.page;
                QVERIFY(w.mm.top() < 10 + 2); // continues at the top margin
            } else {
                QVERIFY(w.mm.top() > lastTop);
            }
            lastTop = w.mm.top();
        }
        QCOMPARE(page, 1);
        QVERIFY(closing[0].mm.top() > lastTop);
    }

    // Lines print as they are: blanks kept (columns stay aligned in the
    // monospaced font), brackets literal, a too long line cut at the edge.
    void linesPrintAsTheyAre()
    {
        const QString longLine = QStringLiteral("LUNGA ") + QString(400, QLatin1Char('x')) + QStringLiteral(" FINE");
        const PdfText pdf = print({QStringLiteral("ROSSI MARIO          12/05/1980  [DATE]"),
                                   QStringLiteral("BIANCHI              01/01/1990  {Page#}"), longLine},
                                  QStringLiteral("Riepilogo [pazienti]"));
        QCOMPARE(pdf.pageCount(), 1);
        QCOMPARE(pdf.textIn(0, kTitleBar.adjusted(-1, -1, 1, 1)), QStringLiteral("Riepilogo [pazienti]"));
        const PdfWord d1 = pdf.find(QStringLiteral("12/05/1980")).value(0);
        const PdfWord d2 = pdf.find(QStringLiteral("01/01/1990")).value(0);
        QVERIFY(qAbs(d1.mm.left() - d2.mm.left()) < 0.1);
        QVERIFY(d1.mm.left() > pdf.find(QStringLiteral("MARIO")).value(0).mm.right() + 10);
        QCOMPARE(pdf.find(QStringLiteral("[DATE]")).size(), 1);
        QCOMPARE(pdf.find(QStringLiteral("{Page#}")).size(), 1);

        const QRectF memo = onPage(11.33859, 30.23624, 1031.81169, 3 * 12.822);
        QCOMPARE(pdf.find(QStringLiteral("FINE")).size(), 0);
        const PdfWord cut = pdf.find(QStringLiteral("LUNGA")).value(0);
        QList<PdfWord> rest;
        for (const PdfWord& w : pdf.words)
            if (w.text.startsWith(QLatin1String("xxx")))
                rest << w;
        QCOMPARE(rest.size(), 1); // not continued on another line
        QVERIFY(qAbs(rest[0].mm.top() - cut.mm.top()) < 0.1);
        QVERIFY(rest[0].mm.right() <= memo.right() + 0.2);
        QVERIFY(memo.right() - rest[0].mm.right() < 3);
    }

    // Printing twice gives the same document but for the time of printing.
    void printingTwiceGivesTheSameDocument()
    {
        const QStringList lines = {QStringLiteral("uno"), QStringLiteral("due")};
        const PdfText first = print(lines);
        vornel::clock::setFixedNow(QDateTime(QDate(2026, 3, 14), QTime(10, 5, 7)));
        const PdfText second = print(lines);
        QCOMPARE(second.pageCount(), 1);
        QString expected = first.pageText(0);
        expected.replace(QStringLiteral("09:26:53"), QStringLiteral("10:05:07"));
        QCOMPARE(second.pageText(0), expected);
    }

    void cancelIsSilentAndFailuresShowTheirText()
    {
        m_answer = [] { return false; };
        vornel::printSummary(nullptr, kTitle, {QStringLiteral("riga")});
        QCOMPARE(m_printed.size(), 0);
        QCOMPARE(m_env->messages.size(), 0);

        m_answer = []() -> bool { throw vornel::report::ReportError(QStringLiteral("Stampante non raggiungibile.")); };
        vornel::printSummary(nullptr, kTitle, {QStringLiteral("riga")});
        QCOMPARE(m_env->messages.size(), 1);
        QCOMPARE(m_env->messages[0].kind, vornel::msg::Kind::Error);
        QCOMPARE(m_env->messages[0].text, QStringLiteral("Stampante non raggiungibile."));
    }

    // Without any printer, Stampa prints nothing and says so: no dialog, one
    // warning (told by the print seam, and by this machine when it has none).
    void noPrinterIsSaid()
    {
        const QString expected =
            QStringLiteral("Attenzione: nessuna stampante installata. Il documento non \u00e8 stato stampato.");
        vornel::printing::setPrinterCheck([] { return false; });
        vornel::printSummary(nullptr, kTitle, {QStringLiteral("riga")});
        vornel::printing::setPrinterCheck({});
        QCOMPARE(m_printed.size(), 0);
        QCOMPARE(m_env->texts(), QStringList(expected));
        QCOMPARE(m_env->messages[0].kind, vornel::msg::Kind::Warning);

        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("this machine has printers: the real print dialog would open");
        m_env->messages.clear();
        vornel::printing::setPrintSeam({});
        vornel::printSummary(nullptr, kTitle, {QStringLiteral("riga")});
        initTestCase(); // the seam again
        QCOMPARE(m_env->texts(), QStringList(expected));
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(TestPrintSummary)
#include "tst_print_summary.moc"
