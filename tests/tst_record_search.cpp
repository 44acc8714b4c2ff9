// Finding stored records again: the patient search and import, the recontact
// summary, the certificate searches and the lists of certificates to
// complete, opened by the cards' buttons and driven by control name.
#include "app/registry.h"
#include "app/startup.h"
#include "certificates/certificatecards.h"
#include "patients/patientsearch.h"
#include "patients/tfrmclienti.h"
#include "storage/archive.h"
#include "storage/programfolder.h"
#include "support/pdfwords.h"
#include "support/testenv.h"
#include "lists/certificatesearch.h"
#include "app/reportui.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QListView>
#include <QScrollBar>
#include <QTest>

#include <functional>
#include <memory>

using namespace vornel;

namespace {

const QString kEmptyList = QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce.");

using Values = QList<QPair<const char*, QString>>;

// A record from (field, text) pairs; the flag field gets the given bytes as
// they are (the card would store only "Sì" or "No").
QByteArray recordBytes(const RecordLayout& layout, const Values& values, const char* flagField = nullptr,
                       const QByteArray& flag = {})
{
    Record r(layout);
    for (const auto& [name, text] : values)
        r.setText(std::string_view(name), text);
    QByteArray bytes = r.bytes();
    if (flagField) {
        const int at = layout.offsetOf(layout.indexOf(std::string_view(flagField)));
        bytes[at] = char(flag.size());
        for (int i = 0; i < flag.size(); ++i)
            bytes[at + 1 + i] = flag[i];
    }
    return bytes;
}

void appendFile(const QString& fileName, const QByteArray& bytes)
{
    QFile f(programPath(fileName));
    QVERIFY(f.open(QIODevice::Append));
    f.write(bytes);
}

const QByteArray kYes = QByteArray("S\xec", 2); // "Sì" in Windows-1252

struct CertKind {
    const char* card;
    const char* file;
    const RecordLayout* layout;
    const char* search;
    const char* list;
    bool document; // the card has txtDocumento
};
const QList<CertKind> kCertKinds{
    {"TfrmCertificati", "Certificati.vrn", &layouts::TSchedaCertificato, "TfrmTrovaCertificati", "TfrmSelezionate",
     false},
    {"TfrmCertificati_NonIdoneita", "Certificati_Non_Idoneita.vrn", &layouts::TSchedaNonIdoneita,
     "TfrmTrovaCertificatiNon", "TfrmSelezionateNon", true},
    {"TfrmCertificati_Agonistici", "Certificati_Agonistici.vrn", &layouts::TSchedaAgonistica,
     "TfrmTrovaCertificatiAgo", "TfrmSelezionateAgo", true},
    {"TfrmCertificati_Disabili", "Certificati_Disabili.vrn", &layouts::TSchedaAgonistica, "TfrmTrovaCertificatiDis",
     "TfrmSelezionateDis", true},
};
const CertKind& certKind(const QString& card)
{
    for (const CertKind& k : kCertKinds)
        if (card == QLatin1String(k.card))
            return k;
    return kCertKinds.first();
}

void addCertificate(const CertKind& k, const Values& values, const QByteArray& flag = "No")
{
    appendFile(QString::fromLatin1(k.file), recordBytes(*k.layout, values, "chkCompletato", flag));
}

void addPatient(const Values& values, const QByteArray& flag = "No")
{
    appendFile(QStringLiteral("Pazienti.vrn"), recordBytes(layouts::TSchedaPaziente, values, "chkRicontatta", flag));
}

CertificateCard* showCertCard(const QString& cls)
{
    auto* card = static_cast<CertificateCard*>(findWindow(cls.toLatin1().constData()));
    goTo(card, nullptr);
    return card;
}

TfrmClienti* showPatientCard()
{
    auto* card = instance<TfrmClienti>();
    goTo(card, nullptr);
    return card;
}

// Presses a card's button the way a user does and runs 'drive' on the
// window it opens; returns that window's class name ("" when none opened).
QString withWindow(QPushButton* button, const std::function<void(ListWindow*)>& drive)
{
    QString cls;
    testing::onNextModal([&](QWidget* w) {
        auto* window = qobject_cast<ListWindow*>(w);
        if (!window)
            return;
        cls = QString::fromLatin1(window->metaObject()->className());
        drive(window);
        if (window->isVisible())
            window->close();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    return cls;
}

SearchWindow* asSearch(ListWindow* w)
{
    return qobject_cast<SearchWindow*>(w);
}

void typeFilter(SearchWindow* s, const QString& name, const QString& text)
{
    QLineEdit* edit = s->filter(name);
    QVERIFY2(edit, qPrintable(name));
    // Typed key by key; letters outside ASCII as the key's text.
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(edit, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void pressCerca(SearchWindow* s)
{
    QTest::mouseClick(s->btnCerca, Qt::LeftButton);
}

// The names at the start of the lines (the first column, trimmed).
QStringList names(const QStringList& lines, int width)
{
    QStringList out;
    for (const QString& l : lines)
        out << l.left(width).trimmed();
    return out;
}

void doubleClickLine(ListWindow* w, int row)
{
    const QModelIndex index = w->lstRecords->model()->index(row, 0);
    w->lstRecords->scrollTo(index);
    const QRect r = w->lstRecords->visualRect(index);
    QTest::mouseClick(w->lstRecords->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(w->lstRecords->viewport(), Qt::LeftButton, {}, r.center());
}

int rowOf(ListWindow* w, const QString& start)
{
    const QStringList lines = w->lines();
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith(start))
            return i;
    return -1;
}

QString find(ListWindow* w, const QString& text)
{
    w->txtTrova->setText(text);
    QTest::mouseClick(w->btnTrova, Qt::LeftButton);
    return w->selectedLine();
}

} // namespace

class TestRecordSearch : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnv> m_env;
    QList<QPair<QString, QStringList>> m_printed; // title, lines
    QString m_pdfPath;

private slots:
    void initTestCase()
    {
        printing::setPrintSeam([this](const report::Document& doc, QWidget*) {
            m_printed.append({doc.memo(QStringLiteral("txtTitolo")).text(),
                              doc.memo(QStringLiteral("txtRiepilogo")).lines()});
            if (!m_pdfPath.isEmpty())
                doc.exportPdf(m_pdfPath);
            return true;
        });
    }
    void cleanupTestCase() { printing::setPrintSeam({}); }
    void init()
    {
        m_env = std::make_unique<TestEnv>();
        m_printed.clear();
        m_pdfPath.clear();
        startUp();
    }
    void cleanup()
    {
        shutDown();
        m_env.reset();
    }

    // Filters: active when not blank; matched as typed against the stored
    // field, folding A-Z only. Certificate searches list in file order, the
    // patient search sorted.
    void filters_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<QStringList>("filters"); // name, text, name, text...
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("active");
        const QString ago = QStringLiteral("TfrmCertificati_Agonistici");
        const QString non = QStringLiteral("TfrmCertificati");
        const QString pat = QStringLiteral("TfrmClienti");
        QTest::newRow("capitals find any case, anywhere")
            << ago << QStringList{"txtPaziente", "ROSSI"} << QStringList{"Rossi Mario", "Mario Rossi"} << 1;
        QTest::newRow("a trailing blank is part of the text")
            << ago << QStringList{"txtPaziente", "rossi "} << QStringList{"Rossi Mario"} << 1;
        QTest::newRow("blanks only: not in use")
            << ago << QStringList{"txtPaziente", "   "}
            << QStringList{"Rossi Mario", "Mario Rossi", "Bianchi Jos\u00e8"} << 0;
        QTest::newRow("two filters")
            << ago << QStringList{"txtPaziente", "rossi", "txtSportRichiesto", "CALC"} << QStringList{"Rossi Mario"}
            << 2;
        QTest::newRow("a date fragment") << ago << QStringList{"txtData", "/05/"}
                                         << QStringList{"Rossi Mario", "Bianchi Jos\u00e8"} << 1;
        QTest::newRow("È does not find è") << ago << QStringList{"txtPaziente", "\u00c8"} << QStringList{} << 1;
        QTest::newRow("è finds è") << ago << QStringList{"txtPaziente", "\u00e8"} << QStringList{"Bianchi Jos\u00e8"}
                                   << 1;
        QTest::newRow("physician filter") << non << QStringList{"txtMedico", "neri"} << QStringList{"Rossi Mario"}
                                          << 1;
        QTest::newRow("patients: no filter, sorted")
            << pat << QStringList{} << QStringList{"bianchi anna", "Mario Rossi", "Rossi Mario"} << 0;
        QTest::newRow("patients: capitals, sorted")
            << pat << QStringList{"txtPaziente", "ROSSI"} << QStringList{"Mario Rossi", "Rossi Mario"} << 1;
        QTest::newRow("patients: two filters")
            << pat << QStringList{"txtPaziente", "rossi", "txtComuneRes", "ces"} << QStringList{"Rossi Mario"} << 2;
        QTest::newRow("patients: a filter of blanks ignored")
            << pat << QStringList{"txtNote", "  ", "txtComuneRes", "Cesena"} << QStringList{"bianchi anna", "Rossi Mario"}
            << 1;
    }
    void filters()
    {
        QFETCH(QString, card);
        QFETCH(QStringList, filters);
        QFETCH(QStringList, expected);
        QFETCH(int, active);

        for (const CertKind* k : {&certKind(QStringLiteral("TfrmCertificati_Agonistici")),
                                  &certKind(QStringLiteral("TfrmCertificati"))}) {
            auto sport = [k](Values v, const char* s) {
                if (k->document)
                    v.append({"txtSportRichiesto", QString::fromLatin1(s)});
                return v;
            };
            addCertificate(*k, sport({{"txtPaziente", "Rossi Mario"}, {"txtData", "12/05/2023"},
                                      {"txtMedico", "Dott. Neri"}}, "Calcio"));
            addCertificate(*k, sport({{"txtPaziente", "Mario Rossi"}, {"txtData", "01/02/2023"},
                                      {"txtMedico", "Dott. Blu"}}, "Tennis"));
            addCertificate(*k, sport({{"txtPaziente", "Bianchi Jos\u00e8"}, {"txtData", "03/05/2022"}}, "Calcio a 5"));
        }
        addPatient({{"txtPaziente", "Rossi Mario"}, {"txtComuneRes", "Cesena"}});
        addPatient({{"txtPaziente", "Mario Rossi"}, {"txtComuneRes", "Forl\u00ec"}});
        addPatient({{"txtPaziente", "bianchi anna"}, {"txtComuneRes", "Cesena"}, {"txtNote", "Nota"}});

        QPushButton* button = card == QLatin1String("TfrmClienti") ? showPatientCard()->cmdTrova
                                                                   : showCertCard(card)->cmdTrova;
        const int width = card == QLatin1String("TfrmClienti") ? 26 : 30;
        QStringList shown;
        QString conta, trovate;
        bool filterPageHidden = false;
        withWindow(button, [&](ListWindow* w) {
            SearchWindow* s = asSearch(w);
            QVERIFY(s);
            for (int i = 0; i + 1 < filters.size(); i += 2)
                typeFilter(s, filters[i], filters[i + 1]);
            pressCerca(s);
            shown = names(s->lines(), width);
            conta = s->lblConta->text();
            trovate = s->lblTrovate->text();
            filterPageHidden = !s->panAvvio->isVisible() && s->panContainer->isVisible();
        });
        QCOMPARE(shown, expected);
        QCOMPARE(conta, QString::number(active));
        QCOMPARE(trovate, QStringLiteral("Il presente riepilogo contiene %1 schede.").arg(expected.size()));
        QVERIFY(filterPageHidden);
        QVERIFY(m_env->messages.isEmpty());
    }

    // Every line layout: columns cut or padded to their widths, captions,
    // the last field whole; the characters where each column starts (1-based).
    void lineLayouts_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("starts"); // text, position, text, position...
        const QString name35 = QStringLiteral("Abcdefghij Klmnopqrst Uvwxyz Ultimo");
        QTest::newRow("non-competitive")
            << "TfrmCertificati" << "cmdTrova"
            << QStringList{name35.left(30), "1", "  Data nascita: 01/02/1980", "31", "  Data ECG: 10/01/2026", "57",
                           "14/03/2026", "97", "  Medico: Dott. Neri Bianchi", "107"};
        QTest::newRow("non-fitness") << "TfrmCertificati_NonIdoneita" << "cmdTrova"
                                     << QStringList{"01/02/1980", "42", "Calcio", "61", "14/03/2026", "99",
                                                    "Aritmia ventricolare", "119"};
        QTest::newRow("competitive") << "TfrmCertificati_Agonistici" << "cmdTrova"
                                     << QStringList{"01/02/1980", "47", "Calcio", "66", "14/03/2026", "124",
                                                    "  Scad. 14/03/2027", "134"};
        QTest::newRow("disabled athletes")
            << "TfrmCertificati_Disabili" << "cmdDaCompletare"
            << QStringList{"01/02/1980", "47", "Calcio", "66", "  Emissione: 14/03/2026", "111", "14/03/2027", "142"};
        QTest::newRow("patients") << "TfrmClienti" << "cmdTrova"
                                  << QStringList{name35.left(26), "1", "  Tel. 0547 1234567 in", "27", "  CF: ", "49",
                                                 "RSSMRA80A01C573X", "55", "  Tessera n. 80380", "71",
                                                 "  Portare ECG", "109"};
        QTest::newRow("recontact") << "TfrmClienti" << "cmdRicontatta"
                                   << QStringList{name35.left(26), "1", "  Tessera n. 80380", "71",
                                                  "  Richiamare per esito", "109"};
    }
    void lineLayouts()
    {
        QFETCH(QString, card);
        QFETCH(QString, button);
        QFETCH(QStringList, starts);
        const QString name35 = QStringLiteral("Abcdefghij Klmnopqrst Uvwxyz Ultimo");
        QString line;
        QString end; // the text the line ends with
        if (card == QLatin1String("TfrmClienti")) {
            addPatient({{"txtPaziente", name35},
                        {"txtRecapito", "0547 1234567 interno 2"},
                        {"txtCodFisc", "RSSMRA80A01C573X"},
                        {"txtTessera", "80380"},
                        {"txtNote", "Portare ECG"},
                        {"txtQuestioni", "Richiamare per esito"}},
                       kYes);
            end = button == QLatin1String("cmdTrova") ? QStringLiteral("Portare ECG")
                                                      : QStringLiteral("Richiamare per esito");
        } else {
            const CertKind& k = certKind(card);
            Values v{{"txtPaziente", name35},           {"txtDataNasc", "01/02/1980"},
                     {"txtData", "14/03/2026"},         {"txtMedico", "Dott. Neri Bianchi"},
                     {"txtDataECG", "10/01/2026"},      {"txtSportRichiesto", "Calcio"},
                     {"txtSportApprovato", "Aritmia ventricolare"}, {"txtDataScade", "14/03/2027"}};
            if (!k.document)
                v.removeIf([](const auto& p) { return qstrncmp(p.first, "txtSport", 8) == 0; });
            if (k.layout == &layouts::TSchedaCertificato)
                end = QStringLiteral("Dott. Neri Bianchi");
            else if (k.layout == &layouts::TSchedaNonIdoneita)
                end = QStringLiteral("Aritmia ventricolare");
            else
                end = QStringLiteral("14/03/2027");
            if (k.layout != &layouts::TSchedaAgonistica)
                v.removeIf([](const auto& p) { return qstrcmp(p.first, "txtDataScade") == 0; });
            if (k.layout != &layouts::TSchedaCertificato)
                v.removeIf([](const auto& p) { return qstrcmp(p.first, "txtDataECG") == 0; });
            addCertificate(k, v);
        }
        QWidget* window = card == QLatin1String("TfrmClienti") ? static_cast<QWidget*>(showPatientCard())
                                                               : static_cast<QWidget*>(showCertCard(card));
        withWindow(window->findChild<QPushButton*>(button), [&](ListWindow* w) {
            if (SearchWindow* s = asSearch(w))
                pressCerca(s);
            QCOMPARE(w->lineCount(), 1);
            line = w->lines().first();
            QCOMPARE(w->lstRecords->font().family(), QStringLiteral("Courier New"));
        });
        for (int i = 0; i + 1 < starts.size(); i += 2)
            QCOMPARE(line.indexOf(starts[i]) + 1, starts[i + 1].toInt());
        QVERIFY2(line.endsWith(end), qPrintable(line));
        QVERIFY(!line.contains(QStringLiteral("Ultimo")));
        QVERIFY(!line.contains(QStringLiteral("interno")));
    }

    // The certificates to complete: only the flag "No", sorted by the line
    // ignoring the case of A-Z; a double-click loads the certificate with its
    // position and clears Completato; Stampa prints the lines under the title.
    void certificatesToComplete_data()
    {
        QTest::addColumn<QString>("card");
        for (const CertKind& k : kCertKinds)
            QTest::newRow(k.card) << QString::fromLatin1(k.card);
    }
    void certificatesToComplete()
    {
        QFETCH(QString, card);
        const CertKind& k = certKind(card);
        addCertificate(k, {{"txtPaziente", "Rossi Mario"}, {"txtLuogo", "Cesena"}});
        addCertificate(k, {{"txtPaziente", "Completo Carlo"}}, kYes);
        addCertificate(k, {{"txtPaziente", "bianchi anna"}, {"txtLuogo", "Forl\u00ec"}});
        addCertificate(k, {{"txtPaziente", "Vuoto Vanni"}}, "");
        addCertificate(k, {{"txtPaziente", "Minuscolo Mino"}}, "no");
        addCertificate(k, {{"txtPaziente", "Bianchi Luca"}, {"txtLuogo", "Rimini"}, {"txtData", "02/03/2026"}});

        CertificateCard* c = showCertCard(card);
        c->chkCompletato->setChecked(true);
        QStringList shown, printed;
        QString title;
        const QString cls = withWindow(c->cmdDaCompletare, [&](ListWindow* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral(" Elenco certificati medici da completare"));
            QVERIFY(!w->lblTrovate->isVisible());
            // Steel blue at the top of the window, down to white.
            const QImage shot = w->grab().toImage();
            QCOMPARE(shot.pixelColor(0, 0).name(), QColor(70, 130, 180).name());
            QVERIFY(qGray(shot.pixel(2, shot.height() - 2)) > 245);
            shown = names(w->lines(), 30);
            QTest::mouseClick(w->btnStampa, Qt::LeftButton);
            QCOMPARE(m_printed.size(), 1);
            title = m_printed.first().first;
            printed = m_printed.first().second;
            QCOMPARE(printed, w->lines());
            doubleClickLine(w, rowOf(w, QStringLiteral("Bianchi Luca")));
            QVERIFY(!w->isVisible());
        });
        QCOMPARE(cls, QString::fromLatin1(k.list));
        QCOMPARE(shown, (QStringList{"bianchi anna", "Bianchi Luca", "Rossi Mario"}));
        QCOMPARE(title, QStringLiteral("Elenco certificati medici da completare"));
        QCOMPARE(c->field(QStringLiteral("txtPaziente"))->text(), QStringLiteral("Bianchi Luca"));
        QCOMPARE(c->field(QStringLiteral("txtLuogo"))->text(), QStringLiteral("Rimini"));
        QCOMPARE(c->lblPosizione->text(), QStringLiteral("6"));
        QVERIFY(!c->chkCompletato->isChecked());
        QVERIFY(m_env->messages.isEmpty());
    }

    // The recontact summary lists the stored "Sì" flags only, sorted; a
    // double-click loads the patient into the card with its position.
    void recontactList()
    {
        addPatient({{"txtPaziente", "Rossi Mario"}, {"txtQuestioni", QString(246, QLatin1Char('x')) + "FINE"}}, kYes);
        addPatient({{"txtPaziente", "Neri No"}}, "No");
        addPatient({{"txtPaziente", "Verdi Vuoto"}}, "");
        addPatient({{"txtPaziente", "bianchi anna"}, {"txtTessera", "T1"}, {"txtEmail", "a@b.it"}}, kYes);
        TfrmClienti* card = showPatientCard();
        card->chkRicontatta->setChecked(false);
        QStringList shown;
        QString last;
        const QString cls = withWindow(card->cmdRicontatta, [&](ListWindow* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral(" Riepilogo pazienti da ricontattare"));
            // The lists' own light blue at the top.
            QCOMPARE(w->grab().toImage().pixelColor(0, 0).name(), QColor(0x6D, 0x9E, 0xC7).name());
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->txtTrova));
            shown = names(w->lines(), 26);
            last = w->lines().first();
            // The end of the longest line is reachable with the scroll bar.
            const QString longest = w->lines().last();
            QVERIFY(longest.endsWith(QStringLiteral("FINE")));
            w->lstRecords->horizontalScrollBar()->setValue(w->lstRecords->horizontalScrollBar()->maximum());
            QVERIFY(w->lstRecords->horizontalScrollBar()->maximum() + w->lstRecords->viewport()->width() >=
                    QFontMetrics(w->lstRecords->font()).horizontalAdvance(longest));
            QTest::mouseClick(w->btnStampa, Qt::LeftButton);
            doubleClickLine(w, 0);
        });
        QCOMPARE(cls, QStringLiteral("TfrmRicontatta"));
        QCOMPARE(shown, (QStringList{"bianchi anna", "Rossi Mario"}));
        // No pending questions: the line ends after the health card column.
        QCOMPARE(last.size(), 110);
        QCOMPARE(m_printed.value(0).first, QStringLiteral("Riepilogo pazienti da ricontattare"));
        QCOMPARE(card->txtPaziente->text(), QStringLiteral("bianchi anna"));
        QCOMPARE(card->txtEmail->text(), QStringLiteral("a@b.it"));
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("4"));
        QVERIFY(card->chkRicontatta->isChecked());
    }

    // Trova: a new text from the top, the same text on to the next line
    // holding it, wrapping; a text found nowhere leaves the selection; an
    // empty list says so.
    void quickFind()
    {
        const CertKind& k = certKind(QStringLiteral("TfrmCertificati_Agonistici"));
        for (const char* n : {"Alfa Calcio", "Beta Tennis", "Gamma Calcio", "Delta Nuoto", "Epsilon Calcio"})
            addCertificate(k, {{"txtPaziente", QString::fromLatin1(n)}}, kYes);
        CertificateCard* card = showCertCard(QString::fromLatin1(k.card));
        QStringList seen;
        QString afterMiss;
        withWindow(card->cmdTrova, [&](ListWindow* w) {
            pressCerca(asSearch(w));
            for (int i = 0; i < 4; ++i)
                seen << names({find(w, QStringLiteral("calcio"))}, 30);
            seen << names({find(w, QStringLiteral("NUOTO"))}, 30);
            seen << names({find(w, QStringLiteral("CALCIO"))}, 30); // a new text: from the top again
            afterMiss = names({find(w, QStringLiteral("rugby"))}, 30).value(0);
        });
        QCOMPARE(seen, (QStringList{"Alfa Calcio", "Gamma Calcio", "Epsilon Calcio", "Alfa Calcio", "Delta Nuoto",
                                    "Alfa Calcio"}));
        QCOMPARE(afterMiss, QStringLiteral("Alfa Calcio"));
        QVERIFY(m_env->messages.isEmpty());

        // Nothing to complete: Trova on the empty list.
        withWindow(card->cmdDaCompletare, [&](ListWindow* w) {
            QCOMPARE(w->lineCount(), 0);
            find(w, QStringLiteral("calcio"));
        });
        QCOMPARE(m_env->texts(), QStringList{kEmptyList});
        QCOMPARE(m_env->messages.first().kind, msg::Kind::Plain);
    }

    // The double-click ticks the card's box for "Sì", clears it for "No" and
    // leaves it as it was for any other stored flag.
    void handOverFlag_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<QByteArray>("flag");
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("after");
        for (const char* card : {"TfrmCertificati_NonIdoneita", "TfrmClienti"}) {
            const QByteArray tag(card);
            QTest::newRow((tag + " S\xec").constData()) << card << kYes << false << true;
            QTest::newRow((tag + " No").constData()) << card << QByteArray("No") << true << false;
            QTest::newRow((tag + " other, ticked").constData()) << card << QByteArray("si") << true << true;
            QTest::newRow((tag + " other, clear").constData()) << card << QByteArray("S") << false << false;
            QTest::newRow((tag + " empty").constData()) << card << QByteArray() << true << true;
        }
    }
    void handOverFlag()
    {
        QFETCH(QString, card);
        QFETCH(QByteArray, flag);
        QFETCH(bool, before);
        QFETCH(bool, after);
        QCheckBox* box = nullptr;
        QPushButton* button = nullptr;
        QLabel* position = nullptr;
        if (card == QLatin1String("TfrmClienti")) {
            addPatient({{"txtPaziente", "Rossi Mario"}}, flag);
            TfrmClienti* c = showPatientCard();
            box = c->chkRicontatta;
            button = c->cmdTrova;
            position = c->lblPosizione;
        } else {
            addCertificate(certKind(card), {{"txtPaziente", "Rossi Mario"}}, flag);
            CertificateCard* c = showCertCard(card);
            box = c->chkCompletato;
            button = c->cmdTrova;
            position = c->lblPosizione;
        }
        box->setChecked(before);
        withWindow(button, [&](ListWindow* w) {
            pressCerca(asSearch(w));
            QCOMPARE(w->lineCount(), 1);
            doubleClickLine(w, 0);
        });
        QCOMPARE(position->text(), QStringLiteral("1"));
        QCOMPARE(box->isChecked(), after);
    }

    // Records that give the same line: each is handed over in turn and the
    // later one stays on the card, with its position.
    void identicalLinesHandOverTheLaterRecord()
    {
        const CertKind& k = certKind(QStringLiteral("TfrmCertificati"));
        addCertificate(k, {{"txtPaziente", "Rossi Mario"}, {"txtLuogo", "Cesena"}}, kYes);
        addCertificate(k, {{"txtPaziente", "Rossi Mario"}, {"txtLuogo", "Rimini"}}, "No");
        addCertificate(k, {{"txtPaziente", "Rossi Maria"}, {"txtLuogo", "Forl\u00ec"}});
        CertificateCard* card = showCertCard(QString::fromLatin1(k.card));
        card->chkCompletato->setChecked(true);
        withWindow(card->cmdTrova, [&](ListWindow* w) {
            pressCerca(asSearch(w));
            QCOMPARE(w->lineCount(), 3);
            doubleClickLine(w, 0);
        });
        QCOMPARE(card->field(QStringLiteral("txtLuogo"))->text(), QStringLiteral("Rimini"));
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("2"));
        QVERIFY(!card->chkCompletato->isChecked());

        addPatient({{"txtPaziente", "Gialli Gino"}, {"txtEmail", "primo@x.it"}});
        addPatient({{"txtPaziente", "Gialli Gino"}, {"txtEmail", "secondo@x.it"}});
        TfrmClienti* patients = showPatientCard();
        const QString cls = withWindow(patients->cmdTrova, [&](ListWindow* w) {
            QCOMPARE(w->lblMemory->text(), QStringLiteral("clienti"));
            pressCerca(asSearch(w));
            doubleClickLine(w, 0);
        });
        QCOMPARE(cls, QStringLiteral("TfrmTrovaClienti"));
        QCOMPARE(patients->txtEmail->text(), QStringLiteral("secondo@x.it"));
        QCOMPARE(patients->lblPosizione->text(), QStringLiteral("2"));
        QVERIFY(m_env->messages.isEmpty());
    }

    // The search is a child of the patient card whose filters bear the
    // names of the card's fields: the hand-over writes into the card's own
    // fields whatever the order of the card's children, and leaves the
    // filters as typed.
    void patientSearchHandsOverIntoTheCardsOwnFields()
    {
        addPatient({{"txtPaziente", "Rossi Mario"}, {"txtComuneRes", "Cesena"}, {"txtASL", "Romagna"},
                    {"txtNote", "allergico"}});
        TfrmClienti* card = showPatientCard();
        // The card's own page, after the dialog among the card's children.
        QWidget* page = card->txtPaziente;
        while (page->parentWidget() != card)
            page = page->parentWidget();
        QStringList filters;
        withWindow(card->cmdTrova, [&](ListWindow* w) {
            SearchWindow* search = asSearch(w);
            typeFilter(search, QStringLiteral("txtPaziente"), QStringLiteral("rossi"));
            typeFilter(search, QStringLiteral("txtComuneRes"), QStringLiteral("ces"));
            pressCerca(search);
            QCOMPARE(w->lineCount(), 1);
            page->raise();
            QVERIFY(card->children().indexOf(page) > card->children().indexOf(w));
            doubleClickLine(w, 0);
            for (const char* name : {"txtPaziente", "txtComuneRes", "txtASL", "txtNote"})
                filters << search->filter(QString::fromLatin1(name))->text();
        });
        QCOMPARE(card->txtPaziente->text(), QStringLiteral("Rossi Mario"));
        QCOMPARE(card->txtComuneRes->text(), QStringLiteral("Cesena"));
        QCOMPARE(card->txtASL->text(), QStringLiteral("Romagna"));
        QCOMPARE(card->txtNote->text(), QStringLiteral("allergico"));
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("1"));
        QCOMPARE(filters, (QStringList{"rossi", "ces", "", ""}));
        QVERIFY(m_env->messages.isEmpty());
    }

    // The patient import fills exactly the patient fields of the card (the
    // document on three kinds) and leaves its position and the rest alone.
    void patientImport_data()
    {
        QTest::addColumn<QString>("card");
        for (const CertKind& k : kCertKinds)
            QTest::newRow(k.card) << QString::fromLatin1(k.card);
    }
    void patientImport()
    {
        QFETCH(QString, card);
        const CertKind& k = certKind(card);
        addPatient({{"txtPaziente", "Rossi Mario"},
                    {"txtDataNasc", "01/02/1980"},
                    {"txtComuneNasc", "Forl\u00ec"},
                    {"txtProvNasc", "FC"},
                    {"txtIndirizzoRes", "Via Roma 1"},
                    {"txtCapRes", "47521"},
                    {"txtComuneRes", "Cesena"},
                    {"txtProvRes", "FC"},
                    {"txtVaccinazioni", "C.I. AX123"}});
        addPatient({{"txtPaziente", "Senza Dati"}, {"txtComuneNasc", "Roma"}});
        addCertificate(k, {{"txtPaziente", "Stored Patient"}, {"txtLuogo", "Cesena"}});

        CertificateCard* c = showCertCard(card);
        QTest::mouseClick(c->cmdPrimo, Qt::LeftButton);
        QCOMPARE(c->lblPosizione->text(), QStringLiteral("1"));
        c->chkCompletato->setChecked(true);
        QHash<QString, QString> before;
        for (QLineEdit* f : c->fields())
            before.insert(f->objectName(), f->text());

        QString marker;
        auto import = [&](const QString& name) {
            return withWindow(c->impPaziente, [&](ListWindow* w) {
                marker = w->lblMemory->text();
                typeFilter(asSearch(w), QStringLiteral("txtPaziente"), name);
                pressCerca(asSearch(w));
                doubleClickLine(w, 0);
            });
        };
        QCOMPARE(import(QStringLiteral("rossi")), QStringLiteral("TfrmTrovaClienti"));
        QCOMPARE(marker, QString::fromUtf8(c->descriptor().marker));
        QHash<QString, QString> expected = before;
        expected[QStringLiteral("txtPaziente")] = QStringLiteral("Rossi Mario");
        expected[QStringLiteral("txtDataNasc")] = QStringLiteral("01/02/1980");
        expected[QStringLiteral("txtLuogoNasc")] = QStringLiteral("Forl\u00ec FC");
        expected[QStringLiteral("txtResidenza")] = QStringLiteral("Via Roma 1 - CAP 47521 - Cesena FC");
        if (k.document)
            expected[QStringLiteral("txtDocumento")] = QStringLiteral("C.I. AX123");
        for (QLineEdit* f : c->fields())
            QCOMPARE(f->text(), expected.value(f->objectName()));
        QCOMPARE(c->lblPosizione->text(), QStringLiteral("1"));
        QVERIFY(c->chkCompletato->isChecked());

        // Empty parts are joined as they are.
        import(QStringLiteral("senza"));
        QCOMPARE(c->field(QStringLiteral("txtLuogoNasc"))->text(), QStringLiteral("Roma "));
        QCOMPARE(c->field(QStringLiteral("txtResidenza"))->text(), QStringLiteral(" - CAP  -  "));
        if (k.document)
            QCOMPARE(c->field(QStringLiteral("txtDocumento"))->text(), QString());
        QCOMPARE(c->lblPosizione->text(), QStringLiteral("1"));
        // Nothing was stored.
        QCOMPARE(QFileInfo(programPath(QString::fromLatin1(k.file))).size(), k.layout->size());
    }

    // A missing archive is created empty and lists nothing.
    void missingArchiveListsNothing()
    {
        QFile::remove(programPath(QStringLiteral("Certificati_Non_Idoneita.vrn")));
        CertificateCard* card = showCertCard(QStringLiteral("TfrmCertificati_NonIdoneita"));
        QString trovate;
        withWindow(card->cmdTrova, [&](ListWindow* w) {
            pressCerca(asSearch(w));
            QCOMPARE(w->lineCount(), 0);
            trovate = w->lblTrovate->text();
        });
        QCOMPARE(trovate, QStringLiteral("Il presente riepilogo contiene 0 schede."));
        const QFileInfo file(programPath(QStringLiteral("Certificati_Non_Idoneita.vrn")));
        QVERIFY(file.exists());
        QCOMPARE(file.size(), 0);

        QFile::remove(programPath(QStringLiteral("Pazienti.vrn")));
        withWindow(showPatientCard()->cmdRicontatta, [&](ListWindow* w) { QCOMPARE(w->lineCount(), 0); });
        QVERIFY(QFileInfo::exists(programPath(QStringLiteral("Pazienti.vrn"))));
        QVERIFY(m_env->messages.isEmpty());
    }

    // An archive that cannot be opened: the searches show the archive message
    // and stay on the filter page; the lists open empty, silently; a failed
    // double-click closes the window and leaves the card as it was.
    void unreadableArchive()
    {
        for (const char* file : {"Pazienti.vrn", "Certificati_Agonistici.vrn", "Certificati.vrn"}) {
            QFile::remove(programPath(QString::fromLatin1(file)));
            QVERIFY(QDir(m_env->folder()).mkdir(QString::fromLatin1(file)));
        }
        CertificateCard* ago = showCertCard(QStringLiteral("TfrmCertificati_Agonistici"));
        for (QPushButton* b : {ago->cmdTrova, ago->impPaziente}) {
            bool onFilters = false, waiting = false;
            withWindow(b, [&](ListWindow* w) {
                pressCerca(asSearch(w));
                onFilters = asSearch(w)->panAvvio->isVisible() && !w->panContainer->isVisible();
                waiting = asSearch(w)->lblAttendere->isVisible();
            });
            QVERIFY(onFilters);
            QVERIFY(waiting);
        }
        QCOMPARE(m_env->texts(), QStringList(2, archiveErrorMessage()));
        QCOMPARE(m_env->messages.last().kind, msg::Kind::Plain);

        m_env->messages.clear();
        int lines = -1;
        withWindow(ago->cmdDaCompletare, [&](ListWindow* w) { lines = w->lineCount(); });
        QCOMPARE(lines, 0);
        withWindow(showPatientCard()->cmdRicontatta, [&](ListWindow* w) { lines = w->lineCount(); });
        QCOMPARE(lines, 0);
        QVERIFY(m_env->messages.isEmpty());

        // The archive becomes unreadable between Cerca and the double-click.
        QVERIFY(QDir(m_env->folder()).rmdir(QStringLiteral("Certificati.vrn")));
        addCertificate(certKind(QStringLiteral("TfrmCertificati")), {{"txtPaziente", "Rossi Mario"}});
        CertificateCard* non = showCertCard(QStringLiteral("TfrmCertificati"));
        non->field(QStringLiteral("txtPaziente"))->setText(QStringLiteral("Sul video"));
        bool closed = false;
        withWindow(non->cmdTrova, [&](ListWindow* w) {
            pressCerca(asSearch(w));
            QCOMPARE(w->lineCount(), 1);
            setProgramFolder(m_env->path(QStringLiteral("Pazienti.vrn/manca")));
            doubleClickLine(w, 0);
            closed = !w->isVisible();
            setProgramFolder(m_env->folder());
        });
        QVERIFY(closed);
        QCOMPARE(non->field(QStringLiteral("txtPaziente"))->text(), QStringLiteral("Sul video"));
        QCOMPARE(non->lblPosizione->text(), QString());
        QVERIFY(m_env->messages.isEmpty());
    }

    // Enter never presses a button by itself: in a filter it moves along the
    // ring, in txtTrova to Trova, in the list it does nothing.
    void enterKey()
    {
        addCertificate(certKind(QStringLiteral("TfrmCertificati_Disabili")), {{"txtPaziente", "Rossi Mario"}});
        CertificateCard* card = showCertCard(QStringLiteral("TfrmCertificati_Disabili"));
        QStringList ring;
        bool stillOnFilters = false, noDefault = true, open = false;
        withWindow(card->cmdTrova, [&](ListWindow* w) {
            SearchWindow* s = asSearch(w);
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(s->filter(QStringLiteral("txtPaziente"))));
            for (int i = 0; i < 7; ++i) {
                QWidget* focused = QApplication::focusWidget();
                ring << focused->objectName();
                QVERIFY(w->findChild<QWidget*>(QStringLiteral("eff") + focused->objectName().mid(3))->isVisible());
                testing::pressEnter(focused);
                QTRY_VERIFY(QApplication::focusWidget() != focused);
                QVERIFY(!w->findChild<QWidget*>(QStringLiteral("eff") + focused->objectName().mid(3))->isVisible());
            }
            stillOnFilters = s->panAvvio->isVisible();
            for (QPushButton* b : w->findChildren<QPushButton*>())
                noDefault = noDefault && !b->isDefault();
            pressCerca(s);
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->txtTrova));
            QTest::keyClicks(w->txtTrova, QStringLiteral("rossi"));
            testing::pressEnter(w->txtTrova);
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->btnTrova));
            QCOMPARE(w->selectedRow(), -1); // Enter moved the focus only: nothing was sought
            w->lstRecords->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->lstRecords));
            testing::pressEnter(w->lstRecords);
            QTest::keyClick(w->lstRecords, Qt::Key_Enter);
            QCOMPARE(w->selectedRow(), -1); // Trova was not pressed either
            open = w->isVisible();
        });
        QCOMPARE(ring, (QStringList{"txtPaziente", "txtLuogoNasc", "txtDataNasc", "txtResidenza", "txtData",
                                    "txtSportRichiesto", "txtPaziente"}));
        QVERIFY(stillOnFilters);
        QVERIFY(noDefault);
        QVERIFY(open);
        QVERIFY(m_printed.isEmpty());
        QCOMPARE(card->lblPosizione->text(), QString());
    }

    // Each window prints its own lines under its own title.
    void printTitles_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("title");
        QTest::newRow("non-competitive") << "TfrmCertificati" << "cmdTrova"
                                         << "Riepilogo certificati medici non agonistici";
        QTest::newRow("non-fitness") << "TfrmCertificati_NonIdoneita" << "cmdTrova"
                                     << "Riepilogo certificati medici di non idoneit\u00e0 agonistica";
        QTest::newRow("competitive") << "TfrmCertificati_Agonistici" << "cmdTrova"
                                     << "Riepilogo certificati medici agonistici";
        QTest::newRow("disabled athletes") << "TfrmCertificati_Disabili" << "cmdTrova"
                                           << "Riepilogo certificati medici agonistici per disabili";
        QTest::newRow("patients") << "TfrmClienti" << "cmdTrova" << "Riepilogo pazienti";
        QTest::newRow("import") << "TfrmCertificati" << "impPaziente" << "Riepilogo pazienti";
    }
    void printTitles()
    {
        QFETCH(QString, card);
        QFETCH(QString, button);
        QFETCH(QString, title);
        for (const CertKind& k : kCertKinds)
            addCertificate(k, {{"txtPaziente", "Rossi [Mario]"}});
        addPatient({{"txtPaziente", "Bianchi"}});
        QWidget* window = card == QLatin1String("TfrmClienti") ? static_cast<QWidget*>(showPatientCard())
                                                               : static_cast<QWidget*>(showCertCard(card));
        QStringList lines;
        withWindow(window->findChild<QPushButton*>(button), [&](ListWindow* w) {
            pressCerca(asSearch(w));
            lines = w->lines();
            QTest::mouseClick(w->btnStampa, Qt::LeftButton);
        });
        QCOMPARE(m_printed.size(), 1);
        QCOMPARE(m_printed.first().first, title);
        QCOMPARE(m_printed.first().second, lines);
        QCOMPARE(lines.size(), 1);
    }

    // 1 000 lines: every page is filled down to its last line, and the
    // closing bar follows the last line on the same page.
    void longSummaryEndsRightUnderTheLastLine()
    {
        const CertKind& k = certKind(QStringLiteral("TfrmCertificati"));
        QByteArray bytes;
        for (int i = 1; i <= 1000; ++i)
            bytes += recordBytes(*k.layout, {{"txtPaziente", QStringLiteral("Riga%1").arg(i, 4, 10, QLatin1Char('0'))}},
                                 "chkCompletato", "No");
        appendFile(QString::fromLatin1(k.file), bytes);
        m_pdfPath = m_env->path(QStringLiteral("lista.pdf"));
        CertificateCard* card = showCertCard(QString::fromLatin1(k.card));
        withWindow(card->cmdDaCompletare, [&](ListWindow* w) {
            QCOMPARE(w->lineCount(), 1000);
            QTest::mouseClick(w->btnStampa, Qt::LeftButton);
        });
        const PdfText pdf = readPdfText(m_pdfPath);
        QVERIFY2(pdf.ok, qPrintable(pdf.error));
        // 53 lines under the title, then 56 a page: 18 pages.
        QCOMPARE(pdf.pageCount(), 18);
        QList<double> lastBottom(pdf.pageCount(), 0);
        int lastPage = -1;
        for (int i = 1; i <= 1000; ++i) {
            const QList<PdfWord> hits = pdf.find(QStringLiteral("Riga%1").arg(i, 4, 10, QLatin1Char('0')));
            QCOMPARE(hits.size(), 1);
            lastBottom[hits[0].page] = qMax(lastBottom[hits[0].page], hits[0].mm.bottom());
            lastPage = hits[0].page;
        }
        QCOMPARE(lastPage, 17);
        const double pitchMm = report::toMm(12.822);
        for (int p = 0; p < 17; ++p)
            QVERIFY2(lastBottom[p] > 200 - pitchMm - 0.5 && lastBottom[p] <= 200.2, qPrintable(QString::number(p)));
        const QList<PdfWord> closing = pdf.find(QStringLiteral("eseguita"));
        QCOMPARE(closing.size(), 1);
        QCOMPARE(closing[0].page, 17);
        // The band's 10 units and the bar's 7.56 units from its band top.
        const double gap = closing[0].mm.top() - lastBottom[17];
        QVERIFY2(gap > report::toMm(10 + 7.55906) - 1.5 && gap < report::toMm(10 + 7.55906) + 1.5,
                 qPrintable(QString::number(gap)));
    }
};

QTEST_MAIN(TestRecordSearch)
#include "tst_record_search.moc"
