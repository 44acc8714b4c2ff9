#include "certificates/core/sportrows.h"
#include "lists/core/listorder.h"
#include "lists/core/quickfind.h"

#include <QTest>

using namespace vornel;

class TestQuickFind : public QObject {
    Q_OBJECT
private slots:
    void find_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("expectedMemory");

        const QStringList l{QStringLiteral("Rossi Mario"), QStringLiteral("Bianchi Anna"),
                            QStringLiteral("ROSSI LUCA"), QStringLiteral("Verdi Attivit\u00e0")};
        // A new text starts from the first line, which is tested first.
        QTest::newRow("new text, first line matches") << l << 2 << "rossi" << "" << 0 << "rossi";
        QTest::newRow("new text, found further down") << l << 0 << "anna" << "rossi" << 1 << "anna";
        QTest::newRow("no selection selects the first") << l << -1 << "luca" << "" << 2 << "luca";
        // The same text again moves on from the selected line, wrapping.
        QTest::newRow("same text moves on") << l << 0 << "rossi" << "rossi" << 2 << "rossi";
        QTest::newRow("same text wraps") << l << 2 << "rossi" << "rossi" << 0 << "rossi";
        QTest::newRow("same text, only the selected line") << l << 1 << "anna" << "anna" << 1 << "anna";
        // Typed in capitals: lower-cased before it is compared and remembered.
        QTest::newRow("capitals") << l << 0 << "ROSSI" << "rossi" << 2 << "rossi";
        // Not found: the selection stays (the first line when there was none).
        QTest::newRow("not found keeps selection") << l << 3 << "neri" << "" << 3 << "neri";
        QTest::newRow("not found, nothing selected") << l << -1 << "neri" << "" << 0 << "neri";
        // Accented letters keep their case and are not folded to plain ones.
        QTest::newRow("accent not folded") << l << 0 << "attivita" << "" << 0 << "attivita";
        QTest::newRow("accent found") << l << 0 << "ATTIVIT\u00e0" << "" << 3 << "attivit\u00e0";
        QTest::newRow("capital accent differs") << l << 0 << "ATTIVIT\u00c0" << "" << 0 << "attivit\u00c0";
        // An empty text never finds anything, and blanks are not trimmed.
        QTest::newRow("empty text") << l << 1 << "" << "x" << 1 << "";
        QTest::newRow("trailing blank kept") << l << 1 << "mario " << "" << 1 << "mario ";
    }
    void find()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, selected);
        QFETCH(QString, typed);
        QFETCH(QString, remembered);
        const auto out = quickfind::find(lines, selected, typed, remembered);
        QVERIFY(!out.emptyList);
        QTEST(out.selected, "expected");
        QTEST(out.remembered, "expectedMemory");
    }

    void emptyListChangesNothing()
    {
        const auto out = quickfind::find(QStringList(), -1, QStringLiteral("calcio"), QStringLiteral("prima"));
        QVERIFY(out.emptyList);
        QCOMPARE(out.remembered, QStringLiteral("prima"));
    }

    // Pressing Trova again and again cycles through every line holding the text.
    void cyclesThroughTheSortedSportRows()
    {
        QStringList rows = sport::generalRows();
        sortFold(rows);
        QString memory;
        int selected = -1;
        QStringList seen;
        for (int i = 0; i < 7; ++i) {
            const auto out = quickfind::find(rows, selected, QStringLiteral("calcio"), memory);
            selected = out.selected;
            memory = out.remembered;
            seen << rows.at(selected);
        }
        QCOMPARE(seen, (QStringList{"Arbitro Calcio", "Calcio", "Calcio a 5", "Calcio a 7", "Calcio a 8",
                                    "Corso Allenatori Calcio", "Arbitro Calcio"}));
    }

    void sortIgnoresCaseOfPlainLettersOnly_data()
    {
        QTest::addColumn<QStringList>("in");
        QTest::addColumn<QStringList>("out");
        QTest::newRow("case of a-z ignored") << QStringList{"beta", "Alfa", "ALFA b"} << QStringList{"Alfa", "ALFA b", "beta"};
        QTest::newRow("blank before letters") << QStringList{"Pallacanestro", "Palla Corda"}
                                              << QStringList{"Palla Corda", "Pallacanestro"};
        QTest::newRow("accented after plain") << QStringList{"\u00e0x", "zeta", "\u00c0x"}
                                              << QStringList{"zeta", "\u00c0x", "\u00e0x"};
        QTest::newRow("equal lines keep order") << QStringList{"b", "A 1", "a 1"} << QStringList{"A 1", "a 1", "b"};
        // Long lines that differ only after their first 24 characters.
        const QString head = QStringLiteral("Rossi Mario               Tel. ");
        QTest::newRow("difference after 24 characters")
            << QStringList{head + "2", head + "10", head.toLower() + "1"}
            << QStringList{head.toLower() + "1", head + "10", head + "2"};
        // Characters above the Latin-1 range compare by their code too.
        QTest::newRow("characters above 254")
            << QStringList{"x€2", "xÿ", "xŒ", "x€1", "xþ", "x"}
            << QStringList{"x", "xþ", "xÿ", "xŒ", "x€1", "x€2"};
        QTest::newRow("above 254, then more") << QStringList{"aŒb", "aœ", "aŒa"}
                                             << QStringList{"aŒa", "aŒb", "aœ"};
    }
    void sortIgnoresCaseOfPlainLettersOnly()
    {
        QFETCH(QStringList, in);
        sortFold(in);
        QTEST(in, "out");
    }
};

QTEST_GUILESS_MAIN(TestQuickFind)
#include "tst_core_quickfind.moc"
