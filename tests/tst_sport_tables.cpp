// The two sport discipline tables, opened from the certificate cards.
#include "app/registry.h"
#include "app/startup.h"
#include "certificates/certificatecards.h"
#include "certificates/sporttables.h"
#include "storage/archive.h"
#include "app/reportui.h"
#include "support/testenv.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

using namespace vornel;

namespace {
QLineEdit* edit(QWidget* card, const char* name)
{
    return card->findChild<QLineEdit*>(QLatin1String(name));
}

// Clicks a card button and runs 'drive' on the table it opens; returns the
// table's class name.
QString withTable(QPushButton* button, const std::function<void(SportTableWindow*)>& drive)
{
    QString cls;
    testing::onNextModal([&](QWidget* w) {
        auto* table = qobject_cast<SportTableWindow*>(w);
        QVERIFY(table);
        cls = QString::fromLatin1(table->metaObject()->className());
        drive(table);
        if (table->isVisible())
            table->close();
    });
    button->click();
    return cls;
}

void doubleClickRow(SportTableWindow* table, const QString& text)
{
    const int row = int(table->lines().indexOf(text));
    QVERIFY2(row >= 0, qPrintable(text));
    table->lstRecords->scrollTo(table->lstRecords->model()->index(row, 0));
    const QRect r = table->lstRecords->visualRect(table->lstRecords->model()->index(row, 0));
    QTest::mouseClick(table->lstRecords->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(table->lstRecords->viewport(), Qt::LeftButton, {}, r.center());
}

QString find(SportTableWindow* table, const QString& text)
{
    table->txtTrova->setText(text);
    table->btnTrova->click();
    return table->selectedLine();
}
} // namespace

class TestSportTables : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        startUp();
    }
    void cleanup()
    {
        shutDown();
        m_env.reset();
    }

    void rowsShownSorted_data()
    {
        QTest::addColumn<QString>("cls");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("general") << "TfrmImpSport" << 178 << "Acquathlon" << "Wushu Kung Fu - Taolu";
        QTest::newRow("disabled") << "TfrmImpSportDis" << 31 << "Atletica leggera" << "Vela";
    }
    void rowsShownSorted()
    {
        QFETCH(QString, cls);
        QFETCH(int, count);
        std::unique_ptr<SportTableWindow> table;
        if (cls == QLatin1String("TfrmImpSport"))
            table = std::make_unique<TfrmImpSport>(nullptr);
        else
            table = std::make_unique<TfrmImpSportDis>(nullptr);
        table->show();
        QCOMPARE(table->size(), QSize(862, 560));
        QCOMPARE(table->lineCount(), count);
        QTEST(table->lines().first(), "first");
        QTEST(table->lines().last(), "last");
        QCOMPARE(table->focusWidget(), static_cast<QWidget*>(table->txtTrova));
        QCOMPARE(table->lblRigo03->text(),
                 QStringLiteral("Fare doppio clic sulla voce in elenco per importare la disciplina sportiva"));
        const QStringList rows = table->lines();
        if (count == 178) {
            QVERIFY(rows.indexOf("Palla Corda") < rows.indexOf("Pallacanestro"));
            QVERIFY(rows.indexOf("Tennis") < rows.indexOf("Tennis Tavolo"));
            QVERIFY(rows.contains(QStringLiteral("Hockey Prato e \"En Salle\"")));
            QVERIFY(rows.contains(QStringLiteral("Automobilismo - Trial 4\u00d74 (Regolarit\u00e0)")));
        }
        table->close();
        QCOMPARE(table->lineCount(), 0);
    }

    // Trova with the same word walks through the rows holding it, wrapping;
    // capitals find the same rows; accents are not folded.
    void searchSequence()
    {
        auto* card = instance<TfrmCertificati_Agonistici>();
        goTo(card, nullptr);
        QStringList seen;
        QString unaccented, afterMiss;
        withTable(card->impSportRichiesto, [&](SportTableWindow* t) {
            find(t, QStringLiteral("nessuna voce"));
            for (int i = 0; i < 7; ++i)
                seen << find(t, QStringLiteral("calcio"));
            seen << find(t, QStringLiteral("CALCIO")); // same text once lower-cased: moves on
            unaccented = find(t, QStringLiteral("velocita"));
            afterMiss = t->selectedLine();
        });
        QCOMPARE(seen, (QStringList{"Arbitro Calcio", "Calcio", "Calcio a 5", "Calcio a 7", "Calcio a 8",
                                    "Corso Allenatori Calcio", "Arbitro Calcio", "Calcio"}));
        QCOMPARE(unaccented, QStringLiteral("Calcio")); // nothing found: the selection stays
        QCOMPARE(afterMiss, QStringLiteral("Calcio"));
        QVERIFY(m_env->messages.isEmpty());
    }

    // The last search text outlives the window, one per table.
    void searchMemoryOutlivesTheWindow()
    {
        auto* ago = instance<TfrmCertificati_Agonistici>();
        goTo(ago, nullptr);
        QString first, again, other;
        withTable(ago->impSportRichiesto, [&](SportTableWindow* t) {
            find(t, QStringLiteral("x-reset"));
            first = find(t, QStringLiteral("a"));
        });
        withTable(ago->impSportApprovato, [&](SportTableWindow* t) {
            QCOMPARE(t->txtTrova->text(), QString());
            again = find(t, QStringLiteral("a"));
        });
        auto* dis = instance<TfrmCertificati_Disabili>();
        goTo(dis, ago);
        withTable(dis->impSportRichiesto, [&](SportTableWindow* t) {
            find(t, QStringLiteral("x-reset"));
            other = find(t, QStringLiteral("a"));
        });
        QCOMPARE(first, QStringLiteral("Acquathlon"));
        QCOMPARE(again, QStringLiteral("Aerobica Agonistica")); // "a" again: from the row after the first
        QCOMPARE(other, QStringLiteral("Atletica leggera"));
    }

    void searchOnEmptyListIsReported()
    {
        TfrmImpSport table(nullptr);
        table.show();
        table.clearLines();
        table.txtTrova->setText(QStringLiteral("calcio"));
        table.btnTrova->click();
        QCOMPARE(m_env->texts(), QStringList{QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce.")});
        QCOMPARE(m_env->messages.first().kind, msg::Kind::Plain);
    }

    void enterInSearchFieldMovesToTrova()
    {
        TfrmImpSport table(nullptr);
        table.show();
        QTRY_VERIFY(table.isActiveWindow());
        table.txtTrova->setFocus();
        QTest::keyClicks(table.txtTrova, QStringLiteral("tennis"));
        QTest::keyClick(table.txtTrova, Qt::Key_Return);
        QTRY_VERIFY(table.btnTrova->hasFocus());
        QCOMPARE(table.selectedRow(), -1); // Enter does not search
        QTest::keyClick(table.btnTrova, Qt::Key_Return);
        QCOMPARE(table.selectedLine(), QStringLiteral("Beach Tennis"));
    }

    // Each marker fills exactly its field on its card.
    void markerFillsOnlyItsField_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("target");
        QTest::newRow("richiesto") << "TfrmCertificati_Agonistici" << "impSportRichiesto" << "TfrmImpSport" << "Calcio a 5"
                                   << "txtSportRichiesto";
        QTest::newRow("approvato") << "TfrmCertificati_Agonistici" << "impSportApprovato" << "TfrmImpSport"
                                   << "Automobilismo - Trial 4\u00d74 (Regolarit\u00e0)" << "txtSportApprovato";
        QTest::newRow("richiesto_non") << "TfrmCertificati_NonIdoneita" << "impSportRichiesto" << "TfrmImpSport"
                                       << "Hockey Prato e \"En Salle\"" << "txtSportRichiesto";
        QTest::newRow("richiesto_dis") << "TfrmCertificati_Disabili" << "impSportRichiesto" << "TfrmImpSportDis"
                                       << "Goalball" << "txtSportRichiesto";
        QTest::newRow("approvato_dis") << "TfrmCertificati_Disabili" << "impSportApprovato" << "TfrmImpSportDis"
                                       << "Basket in carrozzina" << "txtSportApprovato";
    }
    void markerFillsOnlyItsField()
    {
        QFETCH(QString, card);
        QFETCH(QString, button);
        QFETCH(QString, row);
        QFETCH(QString, target);
        const char* cards[] = {"TfrmCertificati_Agonistici", "TfrmCertificati_Disabili", "TfrmCertificati_NonIdoneita"};
        auto* opener = static_cast<CertificateCard*>(findWindow(qPrintable(card)));
        goTo(opener, nullptr);
        for (const char* c : cards) {
            edit(findWindow(c), "txtSportRichiesto")->setText(QStringLiteral("prima"));
            edit(findWindow(c), "txtSportApprovato")->setText(QStringLiteral("prima"));
        }
        const QString cls = withTable(opener->findChild<QPushButton*>(button), [&](SportTableWindow* t) {
            doubleClickRow(t, row);
            QVERIFY(!t->isVisible()); // the choice closes the table
        });
        QTEST(cls, "table");
        for (const char* c : cards)
            for (const char* f : {"txtSportRichiesto", "txtSportApprovato"}) {
                const bool hit = card == QLatin1String(c) && target == QLatin1String(f);
                QCOMPARE(edit(findWindow(c), f)->text(), hit ? row : QStringLiteral("prima"));
            }
        QVERIFY(opener->lblPosizione->text().isEmpty()); // nothing stored
    }

    // "à" and "×" exist in Windows-1252: the chosen row is stored as it is.
    void chosenRowIsStoredUnchanged()
    {
        auto* card = instance<TfrmCertificati_Agonistici>();
        goTo(card, nullptr);
        const QString row = QStringLiteral("Automobilismo - Trial 4\u00d74 (Regolarit\u00e0)");
        withTable(card->impSportRichiesto, [&](SportTableWindow* t) { doubleClickRow(t, row); });
        QVERIFY(testing::showsItsStart(edit(card, "txtSportRichiesto"))); // read from its start
        for (QLineEdit* e : card->fields())
            if (e->text().isEmpty())
                e->setText(QStringLiteral("1"));
        card->cmdSalva->click();
        Archive archive(archives::Agonistici);
        archive.open();
        Record r(layouts::TSchedaAgonistica);
        archive.read(r);
        QCOMPARE(r.text("txtSportRichiesto"), row);
    }

    // Stampa prints the rows as shown (sorted) under the table's title.
    void printsTheRowsAsShown_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("count");
        QTest::newRow("general") << "TfrmCertificati_Agonistici" << "Tabella discipline sportive" << 178;
        QTest::newRow("disabled") << "TfrmCertificati_Disabili" << "Tabella discipline sportive per disabili" << 31;
    }
    void printsTheRowsAsShown()
    {
        QFETCH(QString, button);
        QFETCH(int, count);
        QString title;
        QStringList printed, shown;
        printing::setPrintSeam([&](const report::Document& doc, QWidget*) {
            title = doc.memo(QStringLiteral("txtTitolo")).text();
            printed = doc.memo(QStringLiteral("txtRiepilogo")).lines();
            return true;
        });
        auto* card = static_cast<CertificateCard*>(findWindow(qPrintable(button)));
        goTo(card, nullptr);
        withTable(card->impSportRichiesto, [&](SportTableWindow* t) {
            shown = t->lines();
            t->btnStampa->click();
        });
        printing::setPrintSeam({});
        QTEST(title, "title");
        QCOMPARE(printed.size(), count);
        QCOMPARE(printed, shown);
    }

    // Chiudi, or a double-click with no row selected, leave the card alone;
    // so does a marker the table does not know.
    void closingWithoutChoiceChangesNothing()
    {
        auto* card = instance<TfrmCertificati_Agonistici>();
        goTo(card, nullptr);
        edit(card, "txtSportRichiesto")->setText(QStringLiteral("prima"));
        withTable(card->impSportRichiesto, [](SportTableWindow* t) { t->btnChiudi->click(); });
        withTable(card->impSportRichiesto, [](SportTableWindow* t) {
            QCOMPARE(t->selectedRow(), -1);
            QTest::mouseDClick(t->lstRecords->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
            QVERIFY(!t->isVisible());
        });
        TfrmImpSport table(card);
        table.lblMemory->setText(QStringLiteral("richiesto_dis"));
        table.show();
        table.selectRow(0);
        table.lstRecordsDblClick();
        QVERIFY(!table.isVisible());
        QCOMPARE(edit(card, "txtSportRichiesto")->text(), QStringLiteral("prima"));
        QVERIFY(m_env->messages.isEmpty());
    }

private:
    std::unique_ptr<TestEnv> m_env;
};

QTEST_MAIN(TestSportTables)
#include "tst_sport_tables.moc"
