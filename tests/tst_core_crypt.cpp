#include "app/core/crypt.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

class TestCrypt : public QObject {
    Q_OBJECT
private slots:
    void vectors_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("stored");
        // K starts at 9063 (0x2367): the first cipher byte is P xor 0x23.
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("A") << QStringLiteral("A") << QStringLiteral("62");
        QTest::newRow("initial password") << QStringLiteral("VORNEL") << expected(QStringLiteral("VORNEL"));
    }
    void vectors()
    {
        QFETCH(QString, plain);
        QFETCH(QString, stored);
        QCOMPARE(Crypt::Encrypt(plain), stored);
        QCOMPARE(Crypt::Decrypt(stored), plain);
    }

    // An independent transcription of the scrambling, for the table above
    // and the round trips below.
    static QString expected(const QString& plain)
    {
        quint32 k = 9063;
        QString out;
        for (QChar ch : plain) {
            const quint32 c = (ch.unicode() & 0xFF) ^ (k >> 8);
            out += QStringLiteral("%1").arg(c, 2, 16, QLatin1Char('0')).toUpper();
            k = ((c + k) * 61447u + 30517u) % 65536u;
        }
        return out;
    }

    void roundTripsOneTo255Characters()
    {
        QRandomGenerator rng(1234);
        const QRegularExpression upperHex(QStringLiteral("^([0-9A-F]{2})*$"));
        for (int n = 1; n <= 255; ++n) {
            QString plain;
            for (int i = 0; i < n; ++i)
                plain += QChar(char16_t(1 + rng.bounded(255)));
            const QString stored = Crypt::Encrypt(plain);
            QCOMPARE(stored.size(), 2 * n);
            QVERIFY(upperHex.match(stored).hasMatch());
            QCOMPARE(stored, expected(plain));
            QCOMPARE(Crypt::Decrypt(stored), plain);
            QCOMPARE(Crypt::Decrypt(stored.toLower()), plain);
        }
    }

    void oddDigitIgnoredAndChangesPropagate()
    {
        const QString stored = Crypt::Encrypt(QStringLiteral("PASSWORD"));
        QCOMPARE(Crypt::Decrypt(stored + QLatin1Char('7')), QStringLiteral("PASSWORD"));
        QCOMPARE(Crypt::Decrypt(stored.left(5)), QStringLiteral("PA"));
        // A changed pair garbles its own character and every one after it.
        QString changed = stored;
        changed[2] = changed[2] == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');
        const QString garbled = Crypt::Decrypt(changed);
        QCOMPARE(garbled.left(1), QStringLiteral("P"));
        QVERIFY(garbled.mid(1) != QStringLiteral("ASSWORD"));
    }

    void nonHexFails()
    {
        QVERIFY_THROWS_EXCEPTION(Crypt::DecryptError, Crypt::Decrypt(QStringLiteral("62ZZ")));
        QVERIFY_THROWS_EXCEPTION(Crypt::DecryptError, Crypt::Decrypt(QStringLiteral("6 ")));
    }
};

QTEST_GUILESS_MAIN(TestCrypt)
#include "tst_core_crypt.moc"
