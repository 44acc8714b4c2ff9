#include "practice/core/expiring.h"

#include <QTest>

#include <algorithm>

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
        const auto out = select({cert(QStringLiteral("Rossi Mario"), expires, QStringLiteral("CALCIO"), QStringLiteral("10/12/2024"))},
                                {kToday, 30, withExpired}, {});
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

        // Same date of issue: the later position wins (more in latestIssued).
        const auto same = latestOnly({cert(QStringLiteral("A"), "", "X", QStringLiteral("01/01/2026"), 5),
                                      cert(QStringLiteral("A"), "", "X", QStringLiteral("01/01/2026"), 7)});
        QCOMPARE(same.size(), std::size_t(1));
        QCOMPARE(same[0].position, qint64(7));
        // Accented letters are not folded: "È" and "è" are two athletes.
        QCOMPARE(latestOnly({cert(QStringLiteral("\u00c8rica"), ""), cert(QStringLiteral("\u00e8rica"), "")}).size(),
                 std::size_t(2));
    }

    // Of two or more certificates of one athlete and sport, taken in the
    // order they are stored ("A": the competitive archive, read first; "D":
    // the disabled athletes' one; then the position), the later date of
    // issue counts, and the later stored one when a date of issue cannot be
    // read. Each certificate is "<archive><position>=<date of issue>".
    void latestIssued_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("latest");
        QTest::newRow("renewal issued later") << "A1=01/01/2025|A2=01/01/2026" << "A2";
        QTest::newRow("stored later, issued earlier") << "A1=01/01/2026|A2=01/01/2025" << "A1";
        QTest::newRow("same day: stored later") << "A1=01/01/2026|A2=1/1/2026" << "A2";
        QTest::newRow("renewal's date unreadable") << "A1=01/01/2025|A2=non so" << "A2";
        QTest::newRow("old one's date unreadable") << "A1=31/02/2025|A2=01/01/2020" << "A2";
        QTest::newRow("both unreadable") << "A1=?|A2=" << "A2";
        QTest::newRow("unreadable renewal among three") << "A1=01/01/2024|A3=??|A2=01/01/2025" << "A3";
        QTest::newRow("disabled archive read after") << "D1=?|A9=01/01/2026" << "D1";
        QTest::newRow("competitive one unreadable, disabled later") << "A9=?|D1=01/01/2020" << "D1";
        QTest::newRow("across archives, readable dates") << "D1=01/01/2025|A9=01/01/2026" << "A9";
        QTest::newRow("across archives, same day") << "D1=01/01/2026|A9=01/01/2026" << "D1";
    }
    void latestIssued()
    {
        QFETCH(QString, stored);
        QFETCH(QString, latest);
        std::vector<Certificate> all;
        for (const QString& part : stored.split(u'|')) {
            const Kind kind = part.startsWith(u'A') ? Kind::Agonistico : Kind::Disabili;
            const qint64 position = part.mid(1, part.indexOf(u'=') - 1).toLongLong();
            all.push_back(cert(QStringLiteral("Rossi Mario"), QStringLiteral("20/12/2026"), QStringLiteral("CALCIO"),
                               part.mid(part.indexOf(u'=') + 1), position, kind));
        }
        // The order they come in does not matter, only the order of storing.
        for (int pass = 0; pass < 2; ++pass) {
            const std::vector<Certificate> out = latestOnly(all);
            QCOMPARE(out.size(), std::size_t(1));
            QCOMPARE((out[0].kind == Kind::Agonistico ? QStringLiteral("A") : QStringLiteral("D"))
                         + QString::number(out[0].position),
                     latest);
            std::reverse(all.begin(), all.end());
        }
    }

    // One athlete and sport however the texts are typed: names trimmed with
    // inner runs of blanks as one and A-Z folded, birth dates as dates.
    void sameAthleteAndSport_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("birth");
        QTest::addColumn<QString>("sport");
        QTest::addColumn<bool>("same");
        // Against "Rossi Mario", "01/01/1990", "CALCIO".
        QTest::newRow("as stored") << "Rossi Mario" << "01/01/1990" << "CALCIO" << true;
        QTest::newRow("short date") << "Rossi Mario" << "1/1/1990" << "CALCIO" << true;
        QTest::newRow("dotted date") << "Rossi Mario" << "01.01.1990" << "CALCIO" << true;
        QTest::newRow("dashed date, blanks around") << "Rossi Mario" << " 1-01-1990 " << "CALCIO" << true;
        QTest::newRow("blanks and case") << "  ROSSI   mario " << "01/01/1990" << "calcio" << true;
        QTest::newRow("tab between the names") << "Rossi\tMario" << "01/01/1990" << "CALCIO" << true;
        QTest::newRow("another name") << "Rossi Maria" << "01/01/1990" << "CALCIO" << false;
        QTest::newRow("names joined") << "RossiMario" << "01/01/1990" << "CALCIO" << false;
        QTest::newRow("another day") << "Rossi Mario" << "02/01/1990" << "CALCIO" << false;
        QTest::newRow("birth not a date") << "Rossi Mario" << "1 gennaio 1990" << "CALCIO" << false;
        QTest::newRow("another sport") << "Rossi Mario" << "01/01/1990" << "CALCIO A 5" << false;
    }
    void sameAthleteAndSport()
    {
        QFETCH(QString, name);
        QFETCH(QString, birth);
        QFETCH(QString, sport);
        QFETCH(bool, same);
        const Certificate first = cert(QStringLiteral("Rossi Mario"), "", QStringLiteral("CALCIO"),
                                       QStringLiteral("01/01/2025"), 1, Kind::Agonistico, QStringLiteral("01/01/1990"));
        const Certificate second = cert(name, "", sport, QStringLiteral("01/01/2026"), 2, Kind::Agonistico, birth);
        const std::vector<Certificate> out = latestOnly({first, second});
        QCOMPARE(out.size(), std::size_t(same ? 1 : 2));
        QCOMPARE(out.back().position, qint64(2));
    }

    void comparedForms()
    {
        QVERIFY(sameDate(u"1/1/1990", u"01.01.1990"));
        QVERIFY(!sameDate(u"1/1/1990", u"1/1/90")); // a two-digit year is 20yy
        QVERIFY(sameDate(u"non  so", u" NON SO"));   // not dates: as names
        QVERIFY(!sameDate(u"31/02/1990", u"03/03/1990"));
        QVERIFY(sameName(u" Rossi \t Mario", u"rossi mario"));
        QVERIFY(!sameName(u"\u00c8rica", u"\u00e8rica")); // accented letters keep their case
    }

    // The number of a patient record: preferred, else mobile, else home.
    void chooseNumber_data()
    {
        QTest::addColumn<QString>("preferred");
        QTest::addColumn<QString>("mobile");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("number");
        QTest::newRow("preferred") << "0547 1" << "333 2" << "0547 3" << "0547 1";
        QTest::newRow("mobile") << "  " << " 333 2 " << "0547 3" << "333 2";
        QTest::newRow("home") << "" << "" << "0547 3" << "0547 3";
        QTest::newRow("none") << "" << " " << "" << "";
    }
    void chooseNumber()
    {
        QFETCH(QString, preferred);
        QFETCH(QString, mobile);
        QFETCH(QString, home);
        QTEST(PhoneBook::chooseNumber(preferred, mobile, home), "number");
    }

    // The number of the patient of a certificate's name and birth date: the
    // patient records of that name and date ("name|birth|number", in the
    // order stored) give one number, or none when they differ.
    void phoneOfPatient_data()
    {
        QTest::addColumn<QStringList>("patients");
        QTest::addColumn<QString>("number");
        // Looked up as "Rossi Mario", "01/02/2000".
        QTest::newRow("one record") << QStringList{"Rossi Mario|01/02/2000|333 1"} << "333 1";
        QTest::newRow("birth typed otherwise") << QStringList{"Rossi Mario|1.2.2000|333 1"} << "333 1";
        QTest::newRow("name spaced otherwise") << QStringList{" rossi   MARIO|01/02/2000|333 1"} << "333 1";
        QTest::newRow("another birth date") << QStringList{"Rossi Mario|02/02/2000|333 1"} << "";
        QTest::newRow("two records, one number")
            << QStringList{"Rossi Mario|01/02/2000|333 1", "ROSSI MARIO|1/2/2000|333 1"} << "333 1";
        QTest::newRow("two records, one number spaced otherwise")
            << QStringList{"Rossi Mario|01/02/2000|333 123 4567", "Rossi Mario|01/02/2000|3331234567"} << "333 123 4567";
        QTest::newRow("two records, two numbers")
            << QStringList{"Rossi Mario|01/02/2000|333 1", "Rossi Mario|01/02/2000|333 2"} << "";
        QTest::newRow("three records, the last differs")
            << QStringList{"Rossi Mario|01/02/2000|333 1", "Rossi Mario|01/02/2000|333 1",
                           "Rossi Mario|01/02/2000|0547 9"} << "";
        QTest::newRow("a record with no number")
            << QStringList{"Rossi Mario|01/02/2000|", "Rossi Mario|01/02/2000|333 1"} << "333 1";
    }
    void phoneOfPatient()
    {
        QFETCH(QStringList, patients);
        PhoneBook book;
        for (const QString& p : patients) {
            const QStringList f = p.split(u'|');
            book.add(f[0], f[1], f[2]);
        }
        QTEST(book.phone(u"Rossi Mario", u"01/02/2000"), "number");
    }

    // A certificate expiring before its date of issue is listed, whatever
    // its expiry, after the dated ones, with a mark in place of the days;
    // the tools window does not count it.
    void expiryBeforeIssue()
    {
        const std::vector<Certificate> all{
            cert(QStringLiteral("Verdi Anna"), QStringLiteral("15/12/2026"), QStringLiteral("NUOTO"), QStringLiteral("15/12/2025")),
            cert(QStringLiteral("Neri Carla"), QStringLiteral("15/12/2026"), QStringLiteral("TENNIS"), QStringLiteral("16/12/2026")),
            cert(QStringLiteral("Bassi Ugo"), QStringLiteral("01/01/2020"), QStringLiteral("CALCIO"), QStringLiteral("01/01/2021")),
            cert(QStringLiteral("Alfa Ada"), QStringLiteral("20/12/2026"), QStringLiteral("SCI"), QStringLiteral("20/12/2026")),
            cert(QStringLiteral("Zeta Ivo"), QStringLiteral("18/12/2026"), QStringLiteral("SCI"), QStringLiteral("non so")),
        };
        const auto out = select(all, {kToday, 30, false}, {});
        QCOMPARE(names(out), (QStringList{"Verdi Anna", "Zeta Ivo", "Alfa Ada", "Bassi Ugo", "Neri Carla"}));
        QCOMPARE(out[2].daysLeft, 10); // expiring on its day of issue is coherent
        QVERIFY(out[3].incoherent && out[4].incoherent);
        QVERIFY(lineText(out[4]).startsWith(QStringLiteral("15/12/2026  date incoerenti     Neri Carla ")));
        QVERIFY(lineText(out[3]).startsWith(QStringLiteral("01/01/2020  date incoerenti     Bassi Ugo ")));
        QCOMPARE(exportCells(out[4]).mid(0, 3), (QStringList{"15/12/2026", "date incoerenti", "Neri Carla"}));
        QCOMPARE(countExpiring(all, kToday, 30), 3);
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
