// The tax code and VAT number check windows, driven by their controls.
#include "patients/checks.h"
#include "support/testenv.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

using vornel::msg::Kind;

namespace {
const QString kCfLength = QStringLiteral("Attenzione: il codice fiscale deve essere composto da 16 caratteri alfanumerici.");
const QString kIvaLength = QStringLiteral("Attenzione: la partita IVA deve essere composta da 11 caratteri numerici.");
const QString kIvaValidHead = QStringLiteral("Il numero di partita IVA digitato risulta VALIDO.\r\n\r\n"
                                             "E' stato rilasciato dall'Ufficio IVA del Comune di ");

template <class W>
QLineEdit* edit(W& w, const char* name)
{
    auto* e = w.template findChild<QLineEdit*>(QLatin1String(name));
    Q_ASSERT(e);
    return e;
}
} // namespace

class TstCheckWindows : public QObject {
    Q_OBJECT
private slots:
    void codFisc_data();
    void codFisc();
    void codFiscTypedUpperCaseAndEnter();
    void partitaIva_data();
    void partitaIva();
    void partitaIvaKeys();
    void enterPressesTheFocusedButton();
};

void TstCheckWindows::codFisc_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("staysOpen");
    QTest::newRow("valid") << "RSSMRA80A01H501U" << int(Kind::Information)
                           << QStringLiteral("Il codice fiscale digitato \u00e8 VALIDO.") << false;
    QTest::newRow("wrong check letter") << "RSSMRA80A01H501V" << int(Kind::Warning)
                                        << QStringLiteral("Attenzione: il codice fiscale digitato \u00e8 ERRATO.") << false;
    QTest::newRow("blank inside") << "RSSMRA 0A01H501U" << int(Kind::Warning)
                                        << QStringLiteral("Attenzione: il codice fiscale digitato \u00e8 ERRATO.") << false;
    QTest::newRow("15 characters") << "RSSMRA80A01H501" << int(Kind::Warning) << kCfLength << true;
}

void TstCheckWindows::codFisc()
{
    QFETCH(QString, typed);
    QFETCH(int, kind);
    QFETCH(QString, message);
    QFETCH(bool, staysOpen);
    TestEnv env;
    TfrmCodFisc w(nullptr);
    QCOMPARE(w.windowTitle(), QStringLiteral(" Controllo codice fiscale"));
    QLineEdit* txt = edit(w, "txtCodFisc");
    txt->setText(typed); // as the patient card puts it in
    w.show();
    QTRY_VERIFY(txt->hasFocus());
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("btnControlla")), Qt::LeftButton);
    QCOMPARE(env.messages.size(), 1);
    QCOMPARE(int(env.messages[0].kind), kind);
    QCOMPARE(env.messages[0].text, message);
    QCOMPARE(w.isVisible(), staysOpen);
    if (staysOpen)
        QTRY_VERIFY(txt->hasFocus());
}

void TstCheckWindows::codFiscTypedUpperCaseAndEnter()
{
    TestEnv env;
    TfrmCodFisc w(nullptr);
    w.show();
    QLineEdit* txt = edit(w, "txtCodFisc");
    QTRY_VERIFY(txt->hasFocus());
    QCOMPARE(txt->maxLength(), 16);
    QTest::keyClicks(txt, QStringLiteral(" rssmra80a01h501u"));
    QCOMPARE(txt->text(), QStringLiteral("RSSMRA80A01H501U"));
    // Enter moves to Controlla, it does not check.
    QTest::keyClick(txt, Qt::Key_Return);
    auto* controlla = w.findChild<QPushButton*>(QStringLiteral("btnControlla"));
    QTRY_VERIFY(controlla->hasFocus());
    QVERIFY(env.messages.isEmpty());
    QVERIFY(w.isVisible());
    // Enter on the focused Controlla presses it, as Space does.
    QTest::keyClick(controlla, Qt::Key_Return);
    QCOMPARE(env.texts(), QStringList{QStringLiteral("Il codice fiscale digitato \u00e8 VALIDO.")});
    QVERIFY(!w.isVisible());
}

// Enter on a focused button presses it, and only that button.
void TstCheckWindows::enterPressesTheFocusedButton()
{
    TestEnv env;
    TfrmPartitaIva w(nullptr);
    w.show();
    QLineEdit* txt = edit(w, "txtPartitaIva");
    QTRY_VERIFY(txt->hasFocus());
    QTest::keyClicks(txt, QStringLiteral("123"));
    QTest::keyClick(txt, Qt::Key_Return);
    auto* controlla = w.findChild<QPushButton*>(QStringLiteral("btnControlla"));
    QTRY_VERIFY(controlla->hasFocus());
    QTest::keyClick(controlla, Qt::Key_Enter); // the keypad's Enter
    QCOMPARE(env.texts(), QStringList{kIvaLength});
    QVERIFY(w.isVisible());
    auto* chiudi = w.findChild<QPushButton*>(QStringLiteral("btnChiudi"));
    chiudi->setFocus();
    QTRY_VERIFY(chiudi->hasFocus());
    QTest::keyClick(chiudi, Qt::Key_Return);
    QVERIFY(!w.isVisible());
    QCOMPARE(env.messages.size(), 1);
}

void TstCheckWindows::partitaIva_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("staysOpen");
    QTest::newRow("office 015") << "12345670157" << int(Kind::Information) << kIvaValidHead + QStringLiteral("Milano 1.") << false;
    QTest::newRow("office 110") << "12345671106" << int(Kind::Information) << kIvaValidHead + QStringLiteral(".") << false;
    QTest::newRow("all zeros") << "00000000000" << int(Kind::Information) << kIvaValidHead + QStringLiteral(".") << false;
    QTest::newRow("wrong check digit") << "12345670158" << int(Kind::Warning)
        << QStringLiteral("Attenzione: il numero di partita IVA digitato risulta ERRATO!\r\n\r\n"
                          "Non \u00e8 quindi possibile fornire informazioni relative all'Ufficio IVA che lo ha rilasciato.")
        << false;
    QTest::newRow("10 digits") << "1234567015" << int(Kind::Warning) << kIvaLength << true;
}

void TstCheckWindows::partitaIva()
{
    QFETCH(QString, number);
    QFETCH(int, kind);
    QFETCH(QString, message);
    QFETCH(bool, staysOpen);
    TestEnv env;
    TfrmPartitaIva w(nullptr);
    QCOMPARE(w.windowTitle(), QStringLiteral(" Controllo partita IVA"));
    QLineEdit* txt = edit(w, "txtPartitaIva");
    w.show();
    QTRY_VERIFY(txt->hasFocus());
    QTest::keyClicks(txt, number);
    QCOMPARE(txt->text(), number);
    QTest::keyClick(txt, Qt::Key_Return);
    auto* controlla = w.findChild<QPushButton*>(QStringLiteral("btnControlla"));
    QTRY_VERIFY(controlla->hasFocus());
    QTest::mouseClick(controlla, Qt::LeftButton);
    QCOMPARE(env.messages.size(), 1);
    QCOMPARE(int(env.messages[0].kind), kind);
    QCOMPARE(env.messages[0].text, message);
    QCOMPARE(w.isVisible(), staysOpen);
    if (staysOpen)
        QTRY_VERIFY(txt->hasFocus());
}

void TstCheckWindows::partitaIvaKeys()
{
    TestEnv env;
    TfrmPartitaIva w(nullptr);
    w.show();
    QLineEdit* txt = edit(w, "txtPartitaIva");
    QTRY_VERIFY(txt->hasFocus());
    QTest::keyClicks(txt, QStringLiteral("12a 3-4.5"));
    QCOMPARE(txt->text(), QStringLiteral("12345"));
    QTest::keyClick(txt, Qt::Key_Left);
    QTest::keyClick(txt, Qt::Key_Backspace);
    QCOMPARE(txt->text(), QStringLiteral("1235"));
    QTest::keyClicks(txt, QStringLiteral("0123456789"));
    QCOMPARE(txt->text().size(), 11);
    // Pasted text: the letters go first, then the length cuts.
    txt->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("IT01234567890"));
    QTest::keyClick(txt, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(txt->text(), QStringLiteral("01234567890"));
    // The same through the edit's context menu ("Incolla").
    txt->clear();
    QContextMenuEvent menuAt(QContextMenuEvent::Mouse, QPoint(5, 5), txt->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(txt, &menuAt);
    QMenu* menu = nullptr;
    QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
    QAction* paste = nullptr;
    const QString shortcut = QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
    for (QAction* a : menu->actions())
        if (a->text().endsWith(QLatin1Char('\t') + shortcut))
            paste = a;
    QVERIFY(paste);
    paste->trigger();
    menu->close();
    QCOMPARE(txt->text(), QStringLiteral("01234567890"));
}

QTEST_MAIN(TstCheckWindows)
#include "tst_check_windows.moc"
