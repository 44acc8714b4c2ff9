#include "documents/privacyrtf.h"

#include <QTest>

using namespace vornel::privacyrtf;

namespace {

Values knownPatient()
{
    Values v;
    v.txtStudioDent = QStringLiteral("Studio Medico Sportivo Bianchi");
    v.txtTelDent = QStringLiteral("02 1234567");
    v.txtIvaDent = QStringLiteral("12345670157");
    v.txtCodFiscDent = QStringLiteral("BNCLRA85T52F205E");
    v.txtCittaDent = QStringLiteral("Forl\u00ec");
    v.txtProvDent = QStringLiteral("FC");
    v.txtIndirizzoDent = QStringLiteral("Via Roma 1");
    v.txtCapDent = QStringLiteral("47121");
    v.txtPaziente = QStringLiteral("  Rossi Mario ");
    v.txtComuneNasc = QStringLiteral("Milano");
    v.txtProvNasc = QStringLiteral("MI");
    v.txtDataNasc = QStringLiteral("01/01/1980");
    v.txtCodFisc = QStringLiteral("RSSMRA80A01H501U");
    v.txtComuneRes = QStringLiteral("Cesena");
    v.txtProvRes = QStringLiteral("FC");
    v.txtIndirizzo = QStringLiteral("Via Verdi 2");
    v.txtCapRes = QStringLiteral("47521");
    v.txtRecapito = QStringLiteral("333 1234567");
    v.txtPrivacy = QStringLiteral("Bianchi Laura");
    v.txtData = QStringLiteral("14/03/2026");
    v.txtLuogo = QStringLiteral("Forl\u00ec");
    return v;
}

// The pieces that carry values, for the known patient above.
const QByteArray kPiece7 =
    "\\par \\pard\\qj\\fs24 Ai sensi del Regolamento UE 2016/679 (Regolamento Generale sulla Protezione dei Dati - "
    "General Data Protection Regulation - GDPR), il presente Studio Medico \\b Studio Medico Sportivo Bianchi\\b0 , "
    "con sede a \\b Forl\xec\\b0  (\\b FC\\b0 ), CAP: \\b 47121\\b0 , in \\b Via Roma 1\\b0 , codice fiscale: "
    "\\b BNCLRA85T52F205E\\b0 , partita IVA: \\b 12345670157\\b0 , recapiti telefonici: \\b 02 1234567\\b0 , "
    "informa che i dati anagrafici e sanitari qualificati come personali dalla legge (ivi compresi dati personali "
    "inerenti allo stato di salute, alla vita sessuale e all'origine razziale ed etnica), ad esso forniti dal "
    "Paziente Sig. \\b Rossi Mario\\b0 , nato a \\b Milano\\b0  (\\b MI\\b0 ) il \\b 01/01/1980\\b0 , residente a "
    "\\b Cesena\\b0  (\\b FC\\b0 ), CAP: \\b 47521\\b0  in \\b Via Verdi 2\\b0 , codice fiscale: "
    "\\b RSSMRA80A01H501U\\b0 , recapito telefonico: \\b 333 1234567\\b0 , saranno trattati come di seguito "
    "descritto:";
const QByteArray kPiece22 =
    "\\par \\b0 Titolare del trattamento dei dati, nonch\xe9 Responsabile del trattamento e Responsabile protezione "
    "dati (RPD) o Data Protection Officer (DPO) \xe8 lo Studio Medico, rappresentato dal Dott. \\b Bianchi Laura\\b0 "
    ", domiciliato per la carica nella sede dello stesso Studio.";
const QByteArray kPiece35 =
    "\\par \\pard\\qj\\b0 Io sottoscritto \\b Rossi Mario\\b0 , nato a \\b Milano\\b0  (\\b MI\\b0 ) il "
    "\\b 01/01/1980\\b0 , residente a \\b Cesena\\b0  (\\b FC\\b0 ), CAP: \\b 47521\\b0  in \\b Via Verdi 2\\b0 , "
    "codice fiscale: \\b RSSMRA80A01H501U\\b0 , esprimo il mio libero consenso al trattamento dei dati personali "
    "e particolari. A tal fine dichiaro di essere stato informato su:";
const QByteArray kPiece41 =
    "\\par Con la presente, esprimo il mio consenso al trattamento dei dati personali e sensibili al Dottor "
    "\\b Bianchi Laura\\b0  esclusivamente per le attivit\\'e0 di prevenzione, diagnosi, cura e riabilitazione "
    "svolte a tutela della mia salute.";
const QByteArray kPiece43 = "\\par \\b Forl\xec\\b0 , \\b 14/03/2026\\b0 .";

} // namespace

class TstCorePrivacyRtf : public QObject {
    Q_OBJECT
private slots:
    void knownPatient_bytes();
    void fixedPiecesDoNotDependOnValues();
    void emptyValues();
    void insertValue_data();
    void insertValue();
    void escapedValuesInTheDocument();
};

void TstCorePrivacyRtf::knownPatient_bytes()
{
    const QList<QByteArray> p = pieces(knownPatient());
    QCOMPARE(p.size(), 50);
    QCOMPARE(p[0], QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1040{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 "
                              "Times New Roman;}{\\f1\\fnil Verdana;}}"));
    QCOMPARE(p[1], QByteArray("{\\colortbl ;\\red0\\green0\\blue0;}"));
    QCOMPARE(p[4], "\\par " + QByteArray(54, '_'));
    QCOMPARE(p[6], kPiece7);
    QCOMPARE(p[21], kPiece22);
    QCOMPARE(p[34], kPiece35);
    QCOMPARE(p[40], kPiece41);
    QCOMPARE(p[42], kPiece43);
    QCOMPARE(p[46], "\\par " + QByteArray(31, '_'));
    QCOMPARE(p[49], QByteArray("\\par }"));

    const QByteArray doc = document(knownPatient());
    QCOMPARE(doc, p.join());
    QVERIFY(!doc.contains('\r'));
    QVERIFY(!doc.contains('\n'));
    // Braces balance: the document is one group.
    int depth = 0;
    for (qsizetype i = 0; i < doc.size(); ++i) {
        if (doc[i] == '\\') {
            ++i;
            continue;
        }
        depth += doc[i] == '{' ? 1 : doc[i] == '}' ? -1 : 0;
        QVERIFY(depth > 0 || i == doc.size() - 1);
    }
    QCOMPARE(depth, 0);
}

void TstCorePrivacyRtf::fixedPiecesDoNotDependOnValues()
{
    const QList<QByteArray> known = pieces(knownPatient());
    const QList<QByteArray> empty = pieces(Values());
    const QList<int> withValues = {7, 22, 35, 41, 43};
    for (int i = 1; i <= 50; ++i) {
        if (withValues.contains(i))
            QVERIFY2(known[i - 1] != empty[i - 1], qPrintable(QString::number(i)));
        else
            QVERIFY2(known[i - 1] == empty[i - 1], qPrintable(QString::number(i)));
    }
}

void TstCorePrivacyRtf::emptyValues()
{
    // Every field empty: still a complete document, the bold markers enclosing nothing.
    const QList<QByteArray> p = pieces(Values());
    QCOMPARE(p.size(), 50);
    QCOMPARE(p[42], QByteArray("\\par \\b \\b0 , \\b \\b0 ."));
    QVERIFY(p[6].contains("Studio Medico \\b \\b0 , con sede a \\b \\b0  (\\b \\b0 ), CAP: \\b \\b0 , in"));
    QVERIFY(document(Values()).endsWith("\\par \\pard\\cf1\\b\\f1\\par }"));
}

void TstCorePrivacyRtf::insertValue_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain") << "Rossi Mario" << QByteArray("Rossi Mario");
    QTest::newRow("trimmed, codes up to 32") << QStringLiteral("\t Rossi \x01\n") << QByteArray("Rossi");
    QTest::newRow("no-break space kept") << QStringLiteral("\u00a0Rossi") << QByteArray("\xa0Rossi");
    QTest::newRow("Windows-1252 letters byte for byte") << QStringLiteral("Forl\u00ec \u00c8 \u20ac \u2019")
                                                        << QByteArray("Forl\xec \xc8 \x80 \x92");
    QTest::newRow("backslash") << "C:\\Dati" << QByteArray("C:\\\\Dati");
    QTest::newRow("braces") << "{Studio}" << QByteArray("\\{Studio\\}");
    QTest::newRow("control word look-alike") << "\\par }" << QByteArray("\\\\par \\}");
    QTest::newRow("outside Windows-1252") << QStringLiteral("\u0141\u00f3d\u017a") << QByteArray("\\u321?\xf3" "d\\u378?");
    QTest::newRow("above 32767 is negative") << QStringLiteral("\ufb01") << QByteArray("\\u-1279?");
    QTest::newRow("surrogate pair") << QStringLiteral("\U0001F600") << QByteArray("\\u-10179?\\u-8704?");
}

void TstCorePrivacyRtf::insertValue()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, bytes);
    QCOMPARE(vornel::privacyrtf::insertValue(value), bytes);
}

void TstCorePrivacyRtf::escapedValuesInTheDocument()
{
    Values v = knownPatient();
    v.txtStudioDent = QStringLiteral("Studio {Sport} \\ Salute");
    v.txtPaziente = QStringLiteral("W\u0142odarczyk Anna");
    v.txtPrivacy = QStringLiteral("Bianchi Laura}");
    const QList<QByteArray> p = pieces(v);
    QCOMPARE(p[6], QByteArray(kPiece7)
                       .replace("\\b Studio Medico Sportivo Bianchi\\b0", "\\b Studio \\{Sport\\} \\\\ Salute\\b0")
                       .replace("\\b Rossi Mario\\b0", "\\b W\\u322?odarczyk Anna\\b0"));
    QCOMPARE(p[21], QByteArray(kPiece22).replace("Bianchi Laura", "Bianchi Laura\\}"));
    QCOMPARE(p[34], QByteArray(kPiece35).replace("Rossi Mario", "W\\u322?odarczyk Anna"));
    // Everything else is what the known patient gives.
    const QList<QByteArray> known = pieces(knownPatient());
    for (int i : {0, 1, 2, 9, 24, 42, 49})
        QCOMPARE(p[i], known[i]);
}

QTEST_APPLESS_MAIN(TstCorePrivacyRtf)
#include "tst_core_privacyrtf.moc"
