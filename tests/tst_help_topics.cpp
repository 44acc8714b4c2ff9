// The help topics shown by the help window, and the manual built from them.
#include "app/core/guidepdf.h"
#include "app/core/helptopics.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace vornel::help;

Q_DECLARE_METATYPE(vornel::help::Topic)

namespace {

const QString kBreak = QStringLiteral("\r\n\r\n");

// Windows-1252 holds Latin-1 except its C1 range, where it has these instead.
bool inWindows1252(QChar c)
{
    static const QString extras = QString::fromUtf16(
        u"\u20AC\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u017D"
        u"\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u017E\u0178");
    const char16_t u = c.unicode();
    return (u >= 0x20 && u < 0x7F) || (u >= 0xA0 && u <= 0xFF) || extras.contains(c);
}

QList<Topic> allTopics()
{
    return {mainMenu(),
            patients(),
            certificates(),
            exportTopic(ExportKind::Patients),
            exportTopic(ExportKind::NonCompetitive),
            exportTopic(ExportKind::Competitive),
            exportTopic(ExportKind::Disabled),
            exportTopic(ExportKind::NonFitness),
            tools(),
            history()};
}

// Runs a poppler tool; empty when it is not installed or fails.
QString runTool(const QString& tool, const QStringList& args)
{
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty())
        return {};
    QProcess p;
    p.start(exe, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestHelpTopics : public QObject {
    Q_OBJECT

private slots:
    void mainMenuEmbedsPatientAndCertificateTopics();
    void textSeparatesParagraphsByOneEmptyLine();
    void titlesAndSizes_data();
    void titlesAndSizes();
    void paragraphsArePlainWindows1252Text();
    void closingParagraphNamesInitialPassword();
    void guidePdfIsAManualOfSeveralPages();
    void guidePdfCarriesTheHelpTexts();
    void guidePdfRefusesMissingFolder();
};

void TestHelpTopics::mainMenuEmbedsPatientAndCertificateTopics()
{
    const QStringList menu = mainMenu().paragraphs;
    const QStringList pat = patients().paragraphs;
    const QStringList cert = certificates().paragraphs;
    QCOMPARE(menu.size(), 28);
    QCOMPARE(menu.mid(1, 10), pat);
    QCOMPARE(menu.mid(11, 12), cert);
    // The overview and the closing paragraphs are the main menu's own.
    for (int i : {0, 23, 24, 25, 26, 27}) {
        QVERIFY2(!pat.contains(menu.at(i)) && !cert.contains(menu.at(i)), qPrintable(menu.at(i)));
    }
}

void TestHelpTopics::textSeparatesParagraphsByOneEmptyLine()
{
    const Topic three{QStringLiteral("t"), {QStringLiteral("uno"), QStringLiteral("due"),
                                             QStringLiteral("tre")}};
    QCOMPARE(three.text(), QStringLiteral("uno\r\n\r\ndue\r\n\r\ntre"));
    const Topic one{QStringLiteral("t"), {QStringLiteral("solo")}};
    QCOMPARE(one.text(), QStringLiteral("solo"));

    for (const Topic& t : allTopics()) {
        const QString text = t.text();
        QCOMPARE(text.split(kBreak), t.paragraphs);
        QVERIFY(!text.startsWith(QLatin1Char('\r')) && !text.startsWith(QLatin1Char('\n')));
        QVERIFY(!text.endsWith(QLatin1Char('\r')) && !text.endsWith(QLatin1Char('\n')));
        QCOMPARE(text.count(kBreak), t.paragraphs.size() - 1);
    }
}

void TestHelpTopics::titlesAndSizes_data()
{
    QTest::addColumn<Topic>("topic");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("paragraphs");
    // For export topics: words of the archive the first paragraph must name,
    // and words it must not (those of another archive).
    QTest::addColumn<QString>("names");
    QTest::addColumn<QStringList>("notNames");

    QTest::newRow("main menu") << mainMenu() << QStringLiteral("Uno sguardo a Vornel") << 28
                               << QString() << QStringList();
    QTest::newRow("patients") << patients() << QStringLiteral("App Archivio Pazienti") << 10
                              << QString() << QStringList();
    QTest::newRow("certificates") << certificates()
                                  << QStringLiteral("App emissione certificati medici") << 12
                                  << QString() << QStringList();
    QTest::newRow("export patients")
        << exportTopic(ExportKind::Patients)
        << QStringLiteral("Esportazione archivio pazienti in Excel") << 3
        << QStringLiteral("dati anagrafici di tutti i pazienti")
        << QStringList{QStringLiteral("certificati")};
    QTest::newRow("export non-competitive")
        << exportTopic(ExportKind::NonCompetitive)
        << QStringLiteral("Esportazione archivio certificati medici non agonistici in Excel") << 3
        << QStringLiteral("certificati medici non agonistici")
        << QStringList{QStringLiteral("disabili"), QStringLiteral("idoneità")};
    QTest::newRow("export competitive")
        << exportTopic(ExportKind::Competitive)
        << QStringLiteral("Esportazione archivio certificati medici agonistici in Excel") << 3
        << QStringLiteral("certificati medici agonistici")
        << QStringList{QStringLiteral("non agonistici"), QStringLiteral("disabili"),
                       QStringLiteral("idoneità")};
    QTest::newRow("export disabled")
        << exportTopic(ExportKind::Disabled)
        << QStringLiteral("Esportazione archivio certificati medici agonistici per disabili in Excel")
        << 3 << QStringLiteral("certificati medici agonistici per disabili")
        << QStringList{QStringLiteral("non agonistici"), QStringLiteral("idoneità")};
    QTest::newRow("export non-fitness")
        << exportTopic(ExportKind::NonFitness)
        << QStringLiteral(
               "Esportazione archivio certificati medici di non idoneità agonistica in Excel")
        << 3 << QStringLiteral("certificati medici di non idoneità agonistica")
        << QStringList{QStringLiteral("disabili"), QStringLiteral("non agonistici")};
    QTest::newRow("tools") << tools() << QStringLiteral("Strumenti di Vornel") << 9 << QString()
                           << QStringList();
    QTest::newRow("history") << history() << QStringLiteral("Storico delle modifiche") << 5 << QString()
                             << QStringList();
}

void TestHelpTopics::titlesAndSizes()
{
    QFETCH(Topic, topic);
    QFETCH(QString, title);
    QFETCH(int, paragraphs);
    QFETCH(QString, names);
    QFETCH(QStringList, notNames);

    QCOMPARE(topic.title, title);
    QCOMPARE(topic.paragraphs.size(), paragraphs);
    if (names.isEmpty())
        return;
    const QString first = topic.paragraphs.first();
    QVERIFY2(first.contains(QStringLiteral("Esporta archivio")), qPrintable(first));
    QVERIFY2(first.contains(names), qPrintable(first));
    for (const QString& other : notNames)
        QVERIFY2(!first.contains(other), qPrintable(other + QStringLiteral(" in: ") + first));
}

void TestHelpTopics::paragraphsArePlainWindows1252Text()
{
    for (const Topic& t : allTopics()) {
        for (const QString& p : t.paragraphs) {
            QVERIFY2(!p.trimmed().isEmpty(), qPrintable(t.title));
            QCOMPARE(p, p.trimmed());
            QVERIFY2(!p.contains(QLatin1Char('\r')) && !p.contains(QLatin1Char('\n')),
                     qPrintable(p));
            for (QChar c : p) {
                QVERIFY2(inWindows1252(c),
                         qPrintable(QStringLiteral("U+%1 in: %2")
                                        .arg(c.unicode(), 4, 16, QLatin1Char('0'))
                                        .arg(p)));
            }
        }
        for (QChar c : t.title)
            QVERIFY2(inWindows1252(c), qPrintable(t.title));
    }
}

void TestHelpTopics::closingParagraphNamesInitialPassword()
{
    QCOMPARE(initialPassword(), QStringLiteral("vornel"));
    // Closing paragraph 3: after the overview, 10 patient and 12 certificate
    // paragraphs and the first two closing ones.
    const QString closing3 = mainMenu().paragraphs.at(25);
    QVERIFY2(closing3.contains(QRegularExpression(QStringLiteral("\\bvornel\\b"))),
             qPrintable(closing3));
    QVERIFY2(closing3.contains(QStringLiteral("Cambia password")), qPrintable(closing3));
}

void TestHelpTopics::guidePdfIsAManualOfSeveralPages()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Guida.pdf"));
    QVERIFY(writeGuidePdf(path));
    // The build writes it again over the previous one.
    QVERIFY(writeGuidePdf(path));

    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(bytes.startsWith("%PDF"));
    QVERIFY(bytes.trimmed().endsWith("%%EOF"));

    const QString info = runTool(QStringLiteral("pdfinfo"), {path});
    int pages = 0;
    if (!info.isEmpty()) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
                .match(info);
        QVERIFY2(m.hasMatch(), qPrintable(info));
        pages = m.captured(1).toInt();
        QVERIFY2(info.contains(QStringLiteral("A4")), qPrintable(info));
    } else {
        pages = int(QString::fromLatin1(bytes).count(
            QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
    }
    // Cover, contents and five chapters at the very least.
    QVERIFY2(pages >= 7, qPrintable(QString::number(pages)));
}

void TestHelpTopics::guidePdfCarriesTheHelpTexts()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Guida.pdf"));
    QVERIFY(writeGuidePdf(path));
    QString text = runTool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    QVERIFY(!text.isEmpty());
    text = text.simplified();

    const QStringList expected = {
        QStringLiteral("Vornel"),
        QStringLiteral("Guida all'utilizzo del software"),
        QStringLiteral("Indice"),
        QStringLiteral("Introduzione"),
        QStringLiteral("Primo accesso e password"),
        QStringLiteral("Archivio pazienti"),
        QStringLiteral("Certificati medici"),
        QStringLiteral("Esportazione in Excel"),
        QStringLiteral("Copie di sicurezza e controllo degli archivi"),
        QStringLiteral("Storico delle modifiche"),
        QStringLiteral("Password iniziale: vornel"),
        QStringLiteral("Cambia password"),
        QStringLiteral("Pagina 2 di "),
    };
    for (const QString& s : expected)
        QVERIFY2(text.contains(s), qPrintable(s));

    // Every help paragraph is in the manual; the opening words of each are
    // enough to find it, since a paragraph may run over a page break.
    QStringList paragraphs = mainMenu().paragraphs;
    for (ExportKind k : {ExportKind::Patients, ExportKind::NonCompetitive, ExportKind::Competitive,
                         ExportKind::Disabled, ExportKind::NonFitness})
        paragraphs << exportTopic(k).paragraphs;
    paragraphs << tools().paragraphs << history().paragraphs;
    for (const QString& p : paragraphs) {
        const QString opening = p.split(QLatin1Char(' ')).mid(0, 10).join(QLatin1Char(' '));
        QVERIFY2(text.contains(opening), qPrintable(opening));
    }
}

void TestHelpTopics::guidePdfRefusesMissingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("manca"));
    QVERIFY(!writeGuidePdf(missing + QStringLiteral("/Guida.pdf")));
    QVERIFY(!QFileInfo::exists(missing));
}

QTEST_MAIN(TestHelpTopics)
#include "tst_help_topics.moc"
