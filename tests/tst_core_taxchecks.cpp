#include "patients/core/taxchecks.h"

#include <QTest>

using namespace vornel::taxchecks;

namespace {
const QString kCfLength = QStringLiteral("Attenzione: il codice fiscale deve essere composto da 16 caratteri alfanumerici.");
const QString kCfValid = QStringLiteral("Il codice fiscale digitato \u00e8 VALIDO.");
const QString kCfWrong = QStringLiteral("Attenzione: il codice fiscale digitato \u00e8 ERRATO.");
const QString kIvaLength = QStringLiteral("Attenzione: la partita IVA deve essere composta da 11 caratteri numerici.");
const QString kIvaWrong = QStringLiteral("Attenzione: il numero di partita IVA digitato risulta ERRATO!\r\n\r\n"
                                         "Non \u00e8 quindi possibile fornire informazioni relative all'Ufficio IVA "
                                         "che lo ha rilasciato.");
QString ivaValid(const QString& office)
{
    return QStringLiteral("Il numero di partita IVA digitato risulta VALIDO.\r\n\r\n"
                          "E' stato rilasciato dall'Ufficio IVA del Comune di ")
           + office + QStringLiteral(".");
}
} // namespace

class TstCoreTaxChecks : public QObject {
    Q_OBJECT
private slots:
    void codFisc_data();
    void codFisc();
    void partitaIva_data();
    void partitaIva();
    void officeTable_data();
    void officeTable();
    void conversionTables();
};

void TstCoreTaxChecks::codFisc_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("valid") << "RSSMRA80A01H501U" << int(Outcome::Valid) << kCfValid;
    QTest::newRow("valid, lower case") << "rssmra80a01h501u" << int(Outcome::Valid) << kCfValid;
    QTest::newRow("check letter one off") << "RSSMRA80A01H501V" << int(Outcome::Wrong) << kCfWrong;
    QTest::newRow("letters in place of digits") << "RSSMRALPALMHRLVN" << int(Outcome::Valid) << kCfValid;
    QTest::newRow("sign between 9 and A counts 0") << "VRDGPP13A10H5@1G" << int(Outcome::Valid) << kCfValid;
    QTest::newRow("15 characters") << "RSSMRA80A01H501" << int(Outcome::LengthWarning) << kCfLength;
    QTest::newRow("17 characters") << "RSSMRA80A01H501UX" << int(Outcome::LengthWarning) << kCfLength;
    QTest::newRow("empty") << "" << int(Outcome::LengthWarning) << kCfLength;
    // Characters outside the tables have no value: never VALIDO, whatever
    // the check letter (every letter is tried below).
    QTest::newRow("blank inside") << "RSSMRA80A01 501U" << int(Outcome::Wrong) << kCfWrong;
    QTest::newRow("accented letter") << QStringLiteral("RSSMR\u00c080A01H501U") << int(Outcome::Wrong) << kCfWrong;
    QTest::newRow("hyphen") << "RSS-RA80A01H501U" << int(Outcome::Wrong) << kCfWrong;
    // Not trimmed again: the blank counts in the length.
    QTest::newRow("trailing blank") << "RSSMRA80A01H501 " << int(Outcome::Wrong) << kCfWrong;
}

void TstCoreTaxChecks::codFisc()
{
    QFETCH(QString, code);
    QFETCH(int, kind);
    QFETCH(QString, message);
    const Outcome o = checkCodFisc(code);
    QCOMPARE(int(o.kind), kind);
    QCOMPARE(o.message, message);
    if (code.size() == 16 && kind == Outcome::Wrong && !codFiscCheckChar(QStringView(code).first(15))) {
        for (char16_t c = u'A'; c <= u'Z'; ++c) {
            QString tried = code;
            tried[15] = QChar(c);
            QCOMPARE(int(checkCodFisc(tried).kind), int(Outcome::Wrong));
        }
    }
}

void TstCoreTaxChecks::partitaIva_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("office 015") << "12345670157" << int(Outcome::Valid) << ivaValid(QStringLiteral("Milano 1"));
    QTest::newRow("office 096") << "01234560967" << int(Outcome::Valid) << ivaValid(QStringLiteral("Monza (Milano 2)"));
    QTest::newRow("office 121") << "12345671213" << int(Outcome::Valid) << ivaValid(QStringLiteral("Napoli 2"));
    QTest::newRow("office 110, not in the table") << "12345671106" << int(Outcome::Valid) << ivaValid(QString());
    QTest::newRow("office 103, not in the table") << "76543211031" << int(Outcome::Valid) << ivaValid(QString());
    QTest::newRow("all zeros") << "00000000000" << int(Outcome::Valid) << ivaValid(QString());
    QTest::newRow("wrong check digit") << "12345670158" << int(Outcome::Wrong) << kIvaWrong;
    QTest::newRow("a letter") << "1234567015A" << int(Outcome::Wrong) << kIvaWrong;
    QTest::newRow("10 digits") << "1234567015" << int(Outcome::LengthWarning) << kIvaLength;
    QTest::newRow("12 digits") << "123456701570" << int(Outcome::LengthWarning) << kIvaLength;
}

void TstCoreTaxChecks::partitaIva()
{
    QFETCH(QString, number);
    QFETCH(int, kind);
    QFETCH(QString, message);
    const Outcome o = checkPartitaIva(number);
    QCOMPARE(int(o.kind), kind);
    QCOMPARE(o.message, message);
}

void TstCoreTaxChecks::officeTable_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("office");
    QTest::newRow("001") << "001" << "Torino";
    QTest::newRow("040") << "040" << QStringLiteral("Forl\u00ec");
    QTest::newRow("097") << "097" << "Prato (Firenze 2)";
    QTest::newRow("099") << "099" << "Chiavari (Genova 2)";
    QTest::newRow("102") << "102" << "Napoli 2";
    QTest::newRow("103") << "103" << "";
    QTest::newRow("119") << "119" << "";
    QTest::newRow("120") << "120" << "Bologna 2";
    QTest::newRow("122") << "122" << "";
    QTest::newRow("000") << "000" << "";
}

void TstCoreTaxChecks::officeTable()
{
    QFETCH(QString, code);
    QFETCH(QString, office);
    QCOMPARE(vatOffice(code), office);
    QCOMPARE(vatOfficeCount(), 104);
}

void TstCoreTaxChecks::conversionTables()
{
    // Digits and the letters A-J share the odd values; the seven signs
    // between '9' and 'A' count 0 in both tables; nothing else has a value.
    const int oddDigits[10] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21};
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(oddValue(QChar(u'0' + i)).value_or(-1), oddDigits[i]);
        QCOMPARE(oddValue(QChar(u'A' + i)).value_or(-1), oddDigits[i]);
        QCOMPARE(evenValue(QChar(u'0' + i)).value_or(-1), i);
    }
    const QString rest = QStringLiteral("KLMNOPQRSTUVWXYZ");
    const int oddRest[16] = {2, 4, 18, 20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};
    for (int i = 0; i < 16; ++i)
        QCOMPARE(oddValue(rest[i]).value_or(-1), oddRest[i]);
    for (int i = 0; i < 26; ++i)
        QCOMPARE(evenValue(QChar(u'A' + i)).value_or(-1), i);
    for (QChar c : QStringLiteral(":;<=>?@")) {
        QCOMPARE(oddValue(c).value_or(-1), 0);
        QCOMPARE(evenValue(c).value_or(-1), 0);
    }
    for (QChar c : QStringLiteral(" /[a-\u00c8")) {
        QVERIFY(!oddValue(c));
        QVERIFY(!evenValue(c));
    }
}

QTEST_APPLESS_MAIN(TstCoreTaxChecks)
#include "tst_core_taxchecks.moc"
