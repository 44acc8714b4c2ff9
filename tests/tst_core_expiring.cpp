#include "practice/core/expiring.h"

#include <QTest>

using namespace vornel;
using namespace vornel::expiring;

namespace {
Certificate cert(const QString& name, const QString& expires, const QString& sport = QStringLiteral("CALCIO"),
                 const QString& issued = QStringLiteral("01/01/2026"), qint64 position = 1,
                 Kind kind = Kind::Agonistico, const QString& birth = QStringLiteral("01/02/2000"))
{
    Certificate c;
    c.kind = kind;
    c.position = position;
    c.name = name;
    c.birth = birth;
    c.sport = sport;
    c.issued = issued;
    c.expires = expires;
    return c;
}

QStringList names(const std::vector<Entry>& entries)
{
    QStringList out;
    for (const Entry& e : entries)
        out << e.cert.name;
    return out;
}

const QDate kToday(2026, 12, 10);
} // namespace

class TestExpiring : public QObject {
    Q_OBJECT
private slots:
    void parseDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("slashes") << "31/12/2026" << QDate(2026, 12, 31);
        QTest::newRow("short, two-digit year") << "1/2/27" << QDate(2027, 2, 1);
        QTest::newRow("dots") << "01.02.2027" << QDate(2027, 2, 1);
        QTest::newRow("dashes") << "01-02-2027" << QDate(2027, 2, 1);
        QTest::newRow("blanks around") << " 05/06/2027 " << QDate(2027, 6, 5);
        QTest::newRow("no such day") << "31/02/2027" << QDate();
        QTest::newRow("month 13") << "01/13/2027" << QDate();
        QTest::newRow("empty") << "" << QDate();
        QTest::newRow("words") << "non so" << QDate();
        QTest::newRow("mixed separators") << "01/02-2027" << QDate();
        QTest::newRow("three-digit year") << "01/02/027" << QDate();
        QTest::newRow("trailing text") << "01/02/2027 circa" << QDate();
        QTest::newRow("leap day") << "29/02/2028" << QDate(2028, 2, 29);
    }
    void parseDate()
    {
        QFETCH(QString, text);
        QTEST(expiring::parseDate(text), "expected");
    }

    // Expiring today and on the last day of the range are in; the day after
    // is out; yesterday's only with the expired ones asked for.
    void rangeBoundaries_data()
    {
        QTest::addColumn<QString>("expires");
        QTest::addColumn<bool>("withExpired");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<int>("daysLeft");
        QTest::newRow("today") << "10/12/2026" << false << true << 0;
        QTest::newRow("last day") << "09/01/2027" << false << true << 30;
        QTest::newRow("day after") << "10/01/2027" << false << false << 0;
        QTest::newRow("yesterday") << "09/12/2026" << false << false << 0;
        QTest::newRow("yesterday, expired asked") << "09/12/2026" << true << true << -1;
        QTest::newRow("12 months ago") << "10/12/2025" << true << true << -365;
        QTest::newRow("over 12 months ago") << "09/12/2025" << true << false << 0;
    }
    void rangeBoundaries()
    {
        QFETCH(QString, expires);
        QFETCH(bool, withExpired);
        QFETCH(bool, listed);
        const auto out = select({cert(QStringLiteral("Rossi Mario"), expires)}, {kToday, 30, withExpired}, {});
        QCOMPARE(out.size(), std::size_t(listed ? 1 : 0));
        if (listed)
            QTEST(out[0].daysLeft, "daysLeft");
    }

    void sortedByDateThenNameUnreadableLast()
    {
        const auto out = select({cert(QStringLiteral("Verdi Anna"), QStringLiteral("20/12/2026"), QStringLiteral("NUOTO")),
                                 cert(QStringLiteral("zeta Ugo"), QStringLiteral("non so")),
                                 cert(QStringLiteral("bianchi Luca"), QStringLiteral("20/12/2026"), QStringLiteral("BASKET")),
                                 cert(QStringLiteral("Neri Carla"), QStringLiteral("11/12/2026")),
                                 cert(QStringLiteral("Alfa Ada"), QStringLiteral("31/02/2027"))},
                                {kToday, 30, false}, {});
        QCOMPARE(names(out), (QStringList{"Neri Carla", "bianchi Luca", "Verdi Anna", "Alfa Ada", "zeta Ugo"}));
        QVERIFY(!out[3].readable());
    }

    // Of one athlete and one sport only the certificate issued last counts,
    // whatever its expiry; another sport is another certificate.
    void renewalHidesOlder()
    {
        const std::vector<Certificate> all{
            cert(QStringLiteral("Rossi Mario"), QStringLiteral("15/12/2026"), QStringLiteral("CALCIO"), QStringLiteral("15/12/2025"), 1),
            cert(QStringLiteral(" ROSSI mario"), QStringLiteral("05/12/2027"), QStringLiteral("calcio"), QStringLiteral("05/12/2026"), 2),
            cert(QStringLiteral("Rossi Mario"), QStringLiteral("20/12/2026"), QStringLiteral("NUOTO"), QStringLiteral("20/12/2025"), 3),
        };
        const auto out = select(all, {kToday, 30, false}, {});
        QCOMPARE(out.size(), std::size_t(1));
        QCOMPARE(out[0].cert.sport, QStringLiteral("NUOTO"));
        QCOMPARE(countExpiring(all, kToday, 30), 1);

        // Same date of issue: the later position wins; an unreadable date of
        // issue counts as older than any readable one.
        const auto same = latestOnly({cert(QStringLiteral("A"), "", "X", QStringLiteral("01/01/2026"), 5),
                                      cert(QStringLiteral("A"), "", "X", QStringLiteral("01/01/2026"), 7),
                                      cert(QStringLiteral("A"), "", "X", QStringLiteral("?"), 9)});
        QCOMPARE(same.size(), std::size_t(1));
        QCOMPARE(same[0].position, qint64(7));
        // Accented letters are not folded: "È" and "è" are two athletes.
        QCOMPARE(latestOnly({cert(QStringLiteral("\u00c8rica"), ""), cert(QStringLiteral("\u00e8rica"), "")}).size(),
                 std::size_t(2));
    }

    void phoneFoundMissingAmbiguous()
    {
        PhoneBook book;
        book.add(u"Rossi Mario", u"01/02/2000", u" 333 1234567 ");
        book.add(u"Verdi Anna", u"01/02/2000", u"111");
        book.add(u"verdi anna", u"01/02/2000", u"222");
        QCOMPARE(book.phone(u"ROSSI MARIO ", u"01/02/2000"), QStringLiteral("333 1234567"));
        QCOMPARE(book.phone(u"Rossi Mario", u"02/02/2000"), QString());
        QCOMPARE(book.phone(u"Verdi Anna", u"01/02/2000"), QString());
    }

    void lineColumns()
    {
        PhoneBook book;
        book.add(u"Rossi Mario Alessandro Giovanni Bis", u"01/02/2000", u"333");
        auto out = select({cert(QStringLiteral("Rossi Mario Alessandro Giovanni Bis"), QStringLiteral("1/1/27"),
                                QStringLiteral("CALCIO"), QStringLiteral("01/01/2026"), 4, Kind::Disabili)},
                          {kToday, 30, false}, book);
        QCOMPARE(out.size(), std::size_t(1));
        const QString line = lineText(out[0]);
        QCOMPARE(line, QStringLiteral("01/01/2027  Giorni:    22       Rossi Mario Alessandro Giovann"
                                      "  Nascita: 01/02/2000  Sport: CALCIO                        "
                                      "  Disabili    Tel.: 333"));
        QCOMPARE(exportCells(out[0]), (QStringList{"01/01/2027", "22", "Rossi Mario Alessandro Giovanni Bis",
                                                   "01/02/2000", "CALCIO", "Disabili", "333"}));

        out = select({cert(QStringLiteral("Neri"), QStringLiteral("31/02/2027"))}, {kToday, 30, false}, {});
        QVERIFY(lineText(out[0]).startsWith(QStringLiteral("31/02/2027  data non leggibile  Neri ")));
        QCOMPARE(exportCells(out[0]).mid(0, 2), (QStringList{"31/02/2027", "data non leggibile"}));
    }
};

QTEST_GUILESS_MAIN(TestExpiring)
#include "tst_core_expiring.moc"
