// The report engine: finding objects, literal texts, clipping, paging,
// preparing again. Every sheet is written to PDF and read back as a reader
// would see it (words and their places).
#include "app/startup.h"
#include "documents/certificate_fill.h"
#include "documents/layout_summary.h"
#include "documents/report.h"
#include "support/pdfwords.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vornel::report;

namespace {
constexpr Style kPlain{"Arial", 12, false, HAlign::Left, VAlign::Top, colors::kNone, false, colors::kBlack};
constexpr Style kWrapped{"Arial", 12, false, HAlign::Left, VAlign::Top, colors::kNone, true, colors::kBlack};
constexpr Style kCentred{"Arial", 12, true, HAlign::Centre, VAlign::Centre, colors::kBeige, false, colors::kBlack};
constexpr Style kMono{"Courier New", 8, false, HAlign::Left, VAlign::Top, colors::kNone, false, colors::kBlack};

// A portrait sheet with 10 mm margins: free objects, then a title, a master
// band holding a list memo, and a footer.
constexpr Item kItems[] = {
    memo("memFisso", 0, 0, 300, 22.68, kPlain, "Intestazione"),
    box("shpRiquadro", 0, 40, 200, 30.24, colors::kWhite),
    memo("memCentrato", 3.78, 43.78, 192.44, 22.68, kCentred, "Centro"),
    line("linRiga", 0, 80, 200),
    picture("picCuore", 400, 0, 100, 100, ":/art/cuore.svg"),
    band(Kind::ReportTitle, "Titolo", 120),
    memo("memTitolo", 0, 90, 500, 22.68, kPlain, "Titolo del documento"),
    band(Kind::MasterData, "Dati", 100),
    memo("memElenco", 0, 0, 600, 90, kMono, ""),
    band(Kind::Footer, "Chiusura", 30),
    memo("memChiusura", 0, 4, 600, 22.68, kPlain, "Fine elenco"),
};
const LayoutDef kLayout{"Prova", Orientation::Portrait, QMarginsF(10, 10, 10, 10), kItems};

// A page at zero margins whose memos test cutting and wrapping.
constexpr Item kCutItems[] = {
    memo("memTaglio", 37.8, 100, 200, 22.68, kPlain, ""),
    memo("memACapo", 37.8, 200, 200, 60, kWrapped, ""),
    memo("memCentroLungo", 37.8, 300, 200, 22.68, kCentred, ""),
};
const LayoutDef kCutLayout{"Taglio", Orientation::Portrait, QMarginsF(0, 0, 0, 0), kCutItems};

// The printable area of kLayout starts 10 mm from the paper's corner.
QRectF onPage(double left, double top, double width, double height)
{
    const QRectF r = unitsToMm(left, top, width, height);
    return r.translated(10, 10);
}
} // namespace

class TestReport : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_files = 0;

    PdfText written(const Document& doc)
    {
        const QString path = m_dir.filePath(QStringLiteral("doc%1.pdf").arg(++m_files));
        doc.exportPdf(path);
        PdfText text = readPdfText(path);
        if (!text.ok)
            qWarning() << text.error;
        return text;
    }

private slots:
    void initTestCase() { vornel::prepareApplication(); }

    void findByNameChecksKind_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("asked"); // memo, masterData, band, picture
        QTest::addColumn<bool>("found");
        QTest::newRow("memo") << "memElenco" << "memo" << true;
        QTest::newRow("free memo") << "memFisso" << "memo" << true;
        QTest::newRow("master band") << "Dati" << "masterData" << true;
        QTest::newRow("any band") << "Chiusura" << "band" << true;
        QTest::newRow("picture") << "picCuore" << "picture" << true;
        QTest::newRow("missing") << "memNonEsiste" << "memo" << false;
        QTest::newRow("name is case-sensitive") << "MEMELENCO" << "memo" << false;
        QTest::newRow("box asked as memo") << "shpRiquadro" << "memo" << false;
        QTest::newRow("band asked as memo") << "Dati" << "memo" << false;
        QTest::newRow("title band asked as master") << "Titolo" << "masterData" << false;
        QTest::newRow("memo asked as band") << "memElenco" << "band" << false;
    }
    void findByNameChecksKind()
    {
        QFETCH(QString, name);
        QFETCH(QString, asked);
        QFETCH(bool, found);
        Document doc = Document::fromLayout(kLayout);
        try {
            Object* o = nullptr;
            if (asked == QLatin1String("memo"))
                o = &doc.memo(name);
            else if (asked == QLatin1String("masterData"))
                o = &doc.masterData(name);
            else if (asked == QLatin1String("band"))
                o = &doc.band(name);
            else
                o = &doc.picture(name);
            QVERIFY(found);
            QCOMPARE(o->name(), name);
        } catch (const ReportError& e) {
            QVERIFY2(!found, qPrintable(e.message()));
            QVERIFY(e.message().contains(name));
            QVERIFY(e.message().contains(QLatin1String("Prova")));
        }
    }

    void objectsLandWhereTheLayoutPutsThem()
    {
        Document doc = Document::fromLayout(kLayout);
        doc.memo(QStringLiteral("memElenco")).setText(QStringLiteral("riga uno"));
        doc.prepare();
        const PdfText pdf = written(doc);
        QVERIFY(pdf.ok);
        QCOMPARE(pdf.pageCount(), 1);
        QVERIFY(qAbs(pdf.pagesMm[0].width() - 210) < 0.5 && qAbs(pdf.pagesMm[0].height() - 297) < 0.5);

        struct Expect {
            const char* text;
            QRectF box; // mm from the paper's corner
        };
        const Expect expected[] = {
            {"Intestazione", onPage(0, 0, 300, 22.68)},
            {"Centro", onPage(3.78, 43.78, 192.44, 22.68)},
            {"Titolo del documento", onPage(0, 90, 500, 22.68)},
            // The master band follows the 120-unit title band.
            {"riga uno", onPage(0, 120, 600, 90)},
            // The footer follows the 100-unit master band.
            {"Fine elenco", onPage(0, 220 + 4, 600, 22.68)},
        };
        for (const Expect& e : expected) {
            QCOMPARE(pdf.textIn(0, e.box.adjusted(-1, -1, 1, 1)), QString::fromUtf8(e.text));
            const QRectF got = PdfText::bounds(pdf.wordsIn(0, e.box.adjusted(-1, -1, 1, 1)));
            QVERIFY2(e.box.adjusted(-1, -1, 1, 1).contains(got), e.text);
        }
        // Left and top alignment: the text starts at the inset (2 units, ~0.5 mm).
        const QRectF title = PdfText::bounds(pdf.find(QStringLiteral("Titolo")));
        QVERIFY(qAbs(title.left() - (10 + toMm(2))) < 1);
        QVERIFY(qAbs(title.top() - (10 + toMm(91))) < 1);
        // Centred both ways.
        const QRectF centre = PdfText::bounds(pdf.find(QStringLiteral("Centro")));
        const QRectF centreBox = onPage(3.78, 43.78, 192.44, 22.68);
        QVERIFY(qAbs(centre.center().x() - centreBox.center().x()) < 1);
        QVERIFY(qAbs(centre.center().y() - centreBox.center().y()) < 1);
    }

    void textIsPrintedLiterally()
    {
        Document doc = Document::fromLayout(kLayout);
        doc.memo(QStringLiteral("memElenco"))
            .setText(QStringLiteral("[DATE] [Page#] [TOTALPAGES] <b>x</b> {1+1} [memFisso]"));
        doc.prepare();
        const PdfText pdf = written(doc);
        QCOMPARE(pdf.textIn(0, onPage(0, 120, 600, 90)),
                 QStringLiteral("[DATE] [Page#] [TOTALPAGES] <b>x</b> {1+1} [memFisso]"));
    }

    void lineBreaksMakeSeveralLines()
    {
        Document doc = Document::fromLayout(kLayout);
        Memo& m = doc.memo(QStringLiteral("memElenco"));
        m.setText(QStringLiteral("prima\r\nseconda\nterza\rquarta"));
        QCOMPARE(m.lines(), QStringList({"prima", "seconda", "terza", "quarta"}));
        doc.prepare();
        const PdfText pdf = written(doc);
        double lastTop = 0;
        for (const char* w : {"prima", "seconda", "terza", "quarta"}) {
            const QList<PdfWord> hits = pdf.find(QString::fromLatin1(w));
            QCOMPARE(hits.size(), 1);
            QVERIFY(hits[0].mm.top() > lastTop);
            lastTop = hits[0].mm.top();
        }
    }

    void longTextIsCutAtTheBoxEdge()
    {
        Document doc = Document::fromLayout(kCutLayout);
        const QString longWord = QString(60, QLatin1Char('W'));
        doc.memo(QStringLiteral("memTaglio")).setText(QStringLiteral("Inizio ") + longWord);
        doc.memo(QStringLiteral("memCentroLungo")).setText(QStringLiteral("Inizio ") + longWord);
        doc.memo(QStringLiteral("memACapo")).setText(QStringLiteral("uno due tre quattro cinque sei sette otto nove "
                                                                    "dieci undici dodici tredici quattordici quindici "
                                                                    "sedici diciassette diciotto diciannove venti"));
        doc.prepare();
        const PdfText pdf = written(doc);

        // Word wrap off: one line, cut at the right edge, nothing below it.
        const QRectF cutBox = unitsToMm(37.8, 100, 200, 22.68);
        const QList<PdfWord> cut = pdf.wordsIn(0, cutBox.adjusted(-1, -1, 60, 10));
        QCOMPARE(cut.size(), 2);
        QCOMPARE(cut[0].text, QStringLiteral("Inizio"));
        QVERIFY(cut[1].text.size() < longWord.size());
        QVERIFY(cut[1].text.size() > 5);
        QVERIFY(cut[1].mm.right() <= cutBox.right() + 0.2);
        QVERIFY(cutBox.right() - cut[1].mm.right() < 5); // cut at the edge, not earlier
        QCOMPARE(qAbs(cut[1].mm.top() - cut[0].mm.top()) < 0.5, true);

        // Centred and too wide: it keeps its beginning and is cut at the
        // right like any other text (an over-long address keeps its street).
        const QRectF centreBox = unitsToMm(37.8, 300, 200, 22.68);
        const QList<PdfWord> centred = pdf.wordsIn(0, centreBox.adjusted(-30, -1, 30, 1));
        QCOMPARE(centred.size(), 2);
        QCOMPARE(centred[0].text, QStringLiteral("Inizio"));
        QVERIFY(centred[0].mm.left() >= centreBox.left() - 0.2);
        QVERIFY(centred[0].mm.left() - centreBox.left() < 1.5);
        QVERIFY(centred[1].text.size() < longWord.size());
        QVERIFY(centred[1].mm.right() <= centreBox.right() + 0.2);
        QVERIFY(centreBox.right() - centred[1].mm.right() < 5);

        // Word wrap on: continues on the next lines within the box; lines
        // below the box are not printed.
        const QRectF wrapBox = unitsToMm(37.8, 200, 200, 60);
        const QList<PdfWord> wrapped = pdf.wordsIn(0, wrapBox.adjusted(-1, -1, 60, 8));
        QVERIFY(wrapped.size() > 3);
        QCOMPARE(wrapped.first().text, QStringLiteral("uno"));
        QVERIFY(wrapped.last().text != QStringLiteral("venti")); // the rest falls below the box
        for (const PdfWord& w : wrapped) {
            QVERIFY2(w.mm.right() <= wrapBox.right() + 0.2, qPrintable(w.text));
            QVERIFY2(w.mm.top() >= wrapBox.top() - 0.2 && w.mm.bottom() <= wrapBox.bottom() + 0.5, qPrintable(w.text));
        }
        QVERIFY(PdfText::bounds(wrapped).height() > toMm(40)); // several lines
    }

    // A master band taller than the room left continues on the next pages,
    // cut between lines: every line printed once and whole, in order.
    void masterBandRunsOverPages()
    {
        Document doc = Document::fromLayout(kLayout);
        Memo& list = doc.memo(QStringLiteral("memElenco"));
        for (int i = 1; i <= 200; ++i)
            list.addLine(QStringLiteral("riga%1 [x]").arg(i, 3, 10, QLatin1Char('0')));
        list.setHeight(200 * 12.822);
        doc.masterData(QStringLiteral("Dati")).setHeight(list.height() + 10);
        doc.prepare();
        QCOMPARE(doc.pageCount(), 3);
        const PdfText pdf = written(doc);
        QCOMPARE(pdf.pageCount(), 3);

        int page = 0;
        double lastBottom = 0;
        for (int i = 1; i <= 200; ++i) {
            const QList<PdfWord> hits = pdf.find(QStringLiteral("riga%1").arg(i, 3, 10, QLatin1Char('0')));
            QCOMPARE(hits.size(), 1);
            const PdfWord& w = hits[0];
            QVERIFY(w.page >= page);
            if (w.page > page) {
                page = w.page;
                QVERIFY2(w.mm.top() < 10 + 5, "a continued band starts at the top of the next page");
            } else {
                QVERIFY(w.mm.top() > lastBottom - 0.5);
            }
            QVERIFY2(w.mm.bottom() <= 297 - 10 + 0.2, "no line runs into the bottom margin");
            lastBottom = w.mm.bottom();
        }
        QCOMPARE(page, 2);
        // Fixed objects on every page; the title only on the first; the
        // footer once, after the last line.
        QCOMPARE(pdf.find(QStringLiteral("Intestazione")).size(), 3);
        QCOMPARE(pdf.find(QStringLiteral("Titolo")).size(), 1);
        QCOMPARE(pdf.find(QStringLiteral("Titolo"))[0].page, 0);
        const QList<PdfWord> footer = pdf.find(QStringLiteral("Fine"));
        QCOMPARE(footer.size(), 1);
        QCOMPARE(footer[0].page, 2);
        QVERIFY(footer[0].mm.top() > lastBottom);
    }

    // A memo with a pitch of its own: n lines fill exactly n pitches from its
    // top edge, and a range lays out only the lines that meet it.
    void ownLinePitch()
    {
        Memo memo(QStringLiteral("memElenco"), QRectF(0, 0, 500, 5 * 12.822));
        memo.font.family = QStringLiteral("Courier New");
        memo.font.points = 8;
        memo.wordWrap = false;
        memo.linePitch = 12.822;
        for (int i = 0; i < 5; ++i)
            memo.addLine(QStringLiteral("riga%1").arg(i));
        const std::vector<TextLine> all = layoutMemo(memo);
        QCOMPARE(int(all.size()), 5);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(all[size_t(i)].top, i * 12.822);
            QCOMPARE(all[size_t(i)].height, 12.822);
            QVERIFY(all[size_t(i)].baseline > all[size_t(i)].top && all[size_t(i)].baseline < all[size_t(i)].top + 12.822);
        }
        QCOMPARE(all.back().top + all.back().height, memo.height());

        const std::vector<TextLine> some = layoutMemo(memo, 2 * 12.822 + 1, 3 * 12.822 + 1);
        QCOMPARE(int(some.size()), 2);
        QCOMPARE(some[0].text, QStringLiteral("riga2"));
        QCOMPARE(some[1].text, QStringLiteral("riga3"));
        QVERIFY(layoutMemo(memo, 100, 200).empty());

        // The summary layout spaces its list so.
        const Document summary = Document::fromLayout(vornel::layouts::summary());
        QCOMPARE(summary.memo(QStringLiteral("txtRiepilogo")).linePitch, vornel::layouts::kSummaryLinePitch);
    }

    void preparingAgainStartsOver()
    {
        Document doc = Document::fromLayout(kLayout);
        Memo& list = doc.memo(QStringLiteral("memElenco"));
        for (int i = 1; i <= 80; ++i)
            list.addLine(QStringLiteral("voce%1").arg(i));
        list.setHeight(80 * 12.822);
        doc.masterData(QStringLiteral("Dati")).setHeight(list.height() + 10);
        doc.prepare();
        const int pages = doc.pageCount();
        QCOMPARE(pages, 2);
        doc.prepare();
        QCOMPARE(doc.pageCount(), pages);
        const PdfText pdf = written(doc);
        QCOMPARE(pdf.pageCount(), pages);
        QCOMPARE(pdf.find(QStringLiteral("voce80")).size(), 1);

        // A prepared document is a snapshot: later changes print only after
        // preparing again.
        list.setText(QStringLiteral("cambiato"));
        QCOMPARE(written(doc).find(QStringLiteral("cambiato")).size(), 0);
        doc.prepare();
        QCOMPARE(written(doc).find(QStringLiteral("cambiato")).size(), 1);
    }

    void pdfNeedsAPreparedDocumentAndAWritablePath()
    {
        Document doc = Document::fromLayout(kLayout);
        QVERIFY_THROWS_EXCEPTION(ReportError, doc.exportPdf(m_dir.filePath(QStringLiteral("x.pdf"))));
        doc.prepare();
        QVERIFY_THROWS_EXCEPTION(ReportError, doc.exportPdf(m_dir.filePath(QStringLiteral("missing/folder/x.pdf"))));
        // An existing file is overwritten.
        const QString path = m_dir.filePath(QStringLiteral("again.pdf"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100000, 'x'));
        f.close();
        doc.exportPdf(path);
        QVERIFY(readPdfText(path).ok);
    }

    // The PDF in memory is the file exportPdf writes, down to its title.
    void pdfBytesAreTheExportedFile()
    {
        Document doc = Document::fromLayout(kLayout);
        QVERIFY_THROWS_EXCEPTION(ReportError, doc.pdfBytes());
        doc.prepare();
        PdfSettings settings;
        settings.title = QStringLiteral("Certificato Sportivo Agonistico - Rossi Mario");
        const QByteArray bytes = doc.pdfBytes(settings);
        const QString path = m_dir.filePath(QStringLiteral("memoria.pdf"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        const PdfText fromMemory = readPdfText(path);
        QVERIFY2(fromMemory.ok, qPrintable(fromMemory.error));
        QCOMPARE(fromMemory.pageText(0), written(doc).pageText(0));
        QVERIFY(bytes.contains("Certificato Sportivo Agonistico - Rossi Mario"));
    }

    // The name proposed for a certificate's PDF.
    void certificatePdfNames_data()
    {
        using vornel::layouts::CertificateKind;
        QTest::addColumn<CertificateKind>("kind");
        QTest::addColumn<QString>("athlete");
        QTest::addColumn<QString>("name");
        QTest::newRow("example") << CertificateKind::Agonistico << "Rossi Mario"
                                 << "Certificato_Agonistico_Rossi_Mario_2026-12-10.pdf";
        QTest::newRow("non agonistico") << CertificateKind::NonAgonistico << "  Bianchi   Anna "
                                        << "Certificato_Non_Agonistico_Bianchi_Anna_2026-12-10.pdf";
        QTest::newRow("disabili") << CertificateKind::Disabili << "D'Amico Nicol\u00f2"
                                  << "Certificato_Agonistico_Disabili_D'Amico_Nicol\u00f2_2026-12-10.pdf";
        QTest::newRow("forbidden characters") << CertificateKind::NonIdoneita << "Verdi/Neri: \"Gigi\" <b>|a\\b*?"
                                              << "Certificato_Non_Idoneita_Verdi_Neri___Gigi___b__a_b___2026-12-10.pdf";
        QTest::newRow("control characters") << CertificateKind::Agonistico << QStringLiteral("Rossi\tMario\u0001")
                                            << "Certificato_Agonistico_Rossi_Mario_2026-12-10.pdf";
        QTest::newRow("dots at the end") << CertificateKind::Agonistico << "Rossi M."
                                         << "Certificato_Agonistico_Rossi_M_2026-12-10.pdf";
        QTest::newRow("no name") << CertificateKind::Agonistico << "   "
                                 << "Certificato_Agonistico_2026-12-10.pdf";
    }
    void certificatePdfNames()
    {
        using vornel::layouts::CertificateKind;
        QFETCH(CertificateKind, kind);
        QFETCH(QString, athlete);
        QFETCH(QString, name);
        QCOMPARE(vornel::certificates::pdfFileName(kind, athlete, QDate(2026, 12, 10)), name);
    }

    void landscapeTurnsThePaper()
    {
        Document doc = Document::fromLayout(vornel::layouts::summary());
        QCOMPARE(doc.name(), QStringLiteral("Riepilogo dati"));
        QCOMPARE(doc.page().orientation(), Orientation::Landscape);
        QVERIFY(qAbs(doc.page().printableArea().width() - 1046.92981) < 0.01);
        doc.prepare();
        const PdfText pdf = written(doc);
        QVERIFY(qAbs(pdf.pagesMm[0].width() - 297) < 0.5 && qAbs(pdf.pagesMm[0].height() - 210) < 0.5);
        // The design texts print as they stand, brackets included.
        QVERIFY(pdf.pageText(0).contains(QLatin1String("Stampa eseguita in data [DATE]")));
        doc.page().setOrientation(Orientation::Portrait);
        doc.prepare();
        QVERIFY(qAbs(written(doc).pagesMm[0].width() - 210) < 0.5);
    }
};

QTEST_MAIN(TestReport)
#include "tst_core_report.moc"
