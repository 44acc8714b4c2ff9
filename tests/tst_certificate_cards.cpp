// The four certificate cards, driven through the real windows by control name.
#include "app/help.h"
#include "app/mainmenu.h"
#include "app/registry.h"
#include "app/startup.h"
#include "certificates/certificatecards.h"
#include "storage/archive.h"
#include "storage/filelayer.h"
#include "storage/inifile.h"
#include "storage/programfolder.h"
#include "support/testenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QClipboard>
#include <QTest>

#include <memory>

using namespace vornel;

namespace {

const QString kInserted = QStringLiteral("La scheda corrente \u00e8 stata inserita in archivio.");
const QString kUpdated = QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");
const QString kEmpty = QStringLiteral("L'archivio non contiene nessuna scheda.");

using Check = std::pair<QString, QString>; // field, warning
QString need(const char* what)
{
    return QStringLiteral("Attenzione: per salvare la scheda \u00e8 necessario indicare ") + QString::fromUtf8(what);
}
const QList<Check> kCommonChecks{
    {"txtStudioDent", need("la denominazione dello studio medico.")},
    {"txtIndirizzoDent", need("l'indirizzo dello studio medico.")},
    {"txtCittaDent", need("la città in cui ha sede lo studio medico.")},
    {"txtTelDent", need("i recapiti telefonici dello studio medico.")},
    {"txtIvaDent", need("la partita IVA dello studio medico.")},
    {"txtCodFiscDent", need("il codice fiscale dello studio medico.")},
    {"txtMedico", need("il nome del medico certificatore.")},
    {"txtCodice", need("il codice identificativo del medico certificatore.")},
    {"txtPaziente", need("il nome del paziente.")},
    {"txtLuogoNasc", need("il luogo di nascita del paziente.")},
    {"txtDataNasc", need("la data di nascita del paziente.")},
    {"txtResidenza", need("l'indirizzo di residenza del paziente.")},
};
const Check kSport{"txtSportRichiesto", need("lo sport per cui è stata richiesta la visita.")};
const Check kExpiry{"txtDataScade", need("la data di scadenza del certificato medico.")};
const QList<Check> kClosingChecks{
    {"txtLuogo", need("il luogo di emissione del certificato medico.")},
    {"txtData", need("la data di emissione del certificato medico.")},
};

const QStringList kOffice{"txtStudioDent", "txtIndirizzoDent", "txtCapDent", "txtCittaDent", "txtProvDent",
                          "txtTelDent",    "txtIvaDent",       "txtCodFiscDent", "txtLibero", "txtMedico",
                          "txtCodice"};

struct Kind {
    const char* cls;
    const char* file;
    const RecordLayout* layout;
    QStringList chain; // the Enter chain
    QList<Check> checks;
    bool region;
};

QList<Kind> kinds()
{
    const QStringList athlete{"txtRegione", "txtPaziente", "txtLuogoNasc", "txtDataNasc", "txtResidenza",
                              "txtDocumento", "txtSportRichiesto", "txtSportApprovato"};
    const QStringList footer{"txtLuogo", "txtData"};
    return {
        {"TfrmCertificati", "Certificati.vrn", &layouts::TSchedaCertificato,
         kOffice + QStringList{"txtPaziente", "txtLuogoNasc", "txtDataNasc", "txtResidenza", "txtDataECG"} + footer,
         kCommonChecks + kClosingChecks, false},
        {"TfrmCertificati_Agonistici", "Certificati_Agonistici.vrn", &layouts::TSchedaAgonistica,
         kOffice + athlete + QStringList{"txtNumMesi", "txtDataScade"} + footer,
         kCommonChecks + QList<Check>{kSport, kExpiry} + kClosingChecks, true},
        {"TfrmCertificati_Disabili", "Certificati_Disabili.vrn", &layouts::TSchedaAgonistica,
         kOffice + athlete + QStringList{"txtNumMesi", "txtDataScade"} + footer,
         kCommonChecks + QList<Check>{kSport, kExpiry} + kClosingChecks, true},
        {"TfrmCertificati_NonIdoneita", "Certificati_Non_Idoneita.vrn", &layouts::TSchedaNonIdoneita,
         kOffice + athlete + footer, kCommonChecks + QList<Check>{kSport} + kClosingChecks, true},
    };
}

void addKindRows()
{
    QTest::addColumn<int>("kind");
    const QList<Kind> all = kinds();
    for (int k = 0; k < all.size(); ++k)
        QTest::newRow(all[k].cls) << k;
}

CertificateCard* showCard(const Kind& kind)
{
    auto* card = static_cast<CertificateCard*>(findWindow(kind.cls));
    goTo(card, nullptr);
    return card;
}

QLineEdit* edit(CertificateCard* card, const QString& name)
{
    return card->findChild<QLineEdit*>(name);
}

// Every field of the chain filled with a text of its own.
void fillAll(CertificateCard* card, const Kind& kind, const QString& tag = QString())
{
    for (const QString& name : kind.chain)
        edit(card, name)->setText(tag + name.mid(3));
}

QList<Record> storedRecords(const Kind& kind)
{
    QList<Record> out;
    Archive archive(QString::fromLatin1(kind.file), *kind.layout);
    archive.open();
    archive.scan([&](const char* raw, qint64) { out.append(Record(*kind.layout, raw)); });
    return out;
}

void storeDirect(const Kind& kind, const std::function<void(Record&)>& fill)
{
    Record r(*kind.layout);
    fill(r);
    Archive archive(QString::fromLatin1(kind.file), *kind.layout);
    archive.open();
    archive.append(r);
}

qint64 fileSize(const TestEnv& env, const Kind& kind)
{
    return QFileInfo(env.path(QString::fromLatin1(kind.file))).size();
}

// The keys of the settings file, in file order, as "section/key".
QStringList settingsKeys(const TestEnv& env)
{
    QStringList keys;
    QString section;
    const QList<QByteArray> lines = testing::readFile(env.path(QStringLiteral("Studio_Medico_Vrn.ini"))).split('\n');
    for (QByteArray line : lines) {
        line = line.trimmed();
        if (line.startsWith('['))
            section = QString::fromLatin1(line.mid(1, line.size() - 2));
        else if (line.contains('='))
            keys << section + QLatin1Char('/') + QString::fromLatin1(line.left(line.indexOf('=')));
    }
    return keys;
}

const QStringList kSettingKeys{
    "Modulo Privacy/Studio Medico",        "Modulo Privacy/Comune Sede",
    "Modulo Privacy/Provincia Sede",       "Modulo Privacy/Cap Sede",
    "Modulo Privacy/Via Sede",             "Modulo Privacy/Codice Fiscale Studio",
    "Modulo Privacy/Partita Iva Studio",   "Modulo Privacy/Recapiti Studio",
    "Modulo Privacy/Luogo",                "Certificato Medico/Campo Libero",
    "Certificato Medico/Medico Certificatore", "Certificato Medico/Codice Identificativo",
};

} // namespace

class TestCertificateCards : public QObject {
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

    // Shown from the main menu: the settings in the letterhead, today's date,
    // an empty body and no position.
    void showingStartsBlankWithSettings_data() { addKindRows(); }
    void showingStartsBlankWithSettings()
    {
        QFETCH(int, kind);
        const Kind k = kinds()[kind];
        IniFile ini(programPath(QStringLiteral("Studio_Medico_Vrn.ini")));
        ini.write(QStringLiteral("Modulo Privacy"), QStringLiteral("Studio Medico"), QStringLiteral("Studio Salus"));
        ini.write(QStringLiteral("Modulo Privacy"), QStringLiteral("Provincia Sede"), QStringLiteral("to"));
        ini.write(QStringLiteral("Modulo Privacy"), QStringLiteral("Luogo"), QStringLiteral("Torino"));
        ini.write(QStringLiteral("Certificato Medico"), QStringLiteral("Medico Certificatore"), QStringLiteral("Dott. Neri"));
        ini.write(QStringLiteral("Certificato Medico"), QStringLiteral("Codice Regione"), QStringLiteral("PIEMONTE"));

        CertificateCard* card = showCard(k);
        QCOMPARE(card->windowTitle(), QString::fromUtf8(card->descriptor().caption));
        QCOMPARE(edit(card, "txtStudioDent")->text(), QStringLiteral("Studio Salus"));
        QCOMPARE(edit(card, "txtProvDent")->text(), QStringLiteral("TO"));
        QCOMPARE(edit(card, "txtLuogo")->text(), QStringLiteral("Torino"));
        QCOMPARE(edit(card, "txtMedico")->text(), QStringLiteral("Dott. Neri"));
        QCOMPARE(edit(card, "txtCodice")->text(), QString());
        if (k.region)
            QCOMPARE(edit(card, "txtRegione")->text(), QStringLiteral("PIEMONTE"));
        else
            QVERIFY(!edit(card, "txtRegione"));
        QCOMPARE(edit(card, "txtData")->text(), QStringLiteral("14/03/2026"));
        QCOMPARE(card->lblPosizione->text(), QString());
        QCOMPARE(card->panInfo->text(), QStringLiteral("Pronto per archiviare una nuova scheda..."));
        QCOMPARE(card->focusWidget(), edit(card, "txtPaziente"));

        // Nuovo empties the body only: letterhead, region and place stay.
        fillAll(card, k);
        card->chkCompletato->setChecked(true);
        card->lblPosizione->setText(QStringLiteral("3"));
        card->cmdNuovo->click();
        for (const QString& name : k.chain) {
            const bool kept = kOffice.contains(name) || name == QLatin1String("txtRegione") || name == QLatin1String("txtLuogo");
            if (name == QLatin1String("txtData"))
                QCOMPARE(edit(card, name)->text(), QStringLiteral("14/03/2026"));
            else
                QVERIFY2(edit(card, name)->text().isEmpty() != kept, qPrintable(name));
        }
        QVERIFY(!card->chkCompletato->isChecked());
        QCOMPARE(card->lblPosizione->text(), QString());
        QVERIFY(m_env->messages.isEmpty());

        // Leaving a stored certificate and coming back shows a blank card.
        card->lblPosizione->setText(QStringLiteral("1"));
        edit(card, "txtPaziente")->setText(QStringLiteral("Rossi"));
        card->cmdEsci->click();
        QVERIFY(!card->isVisible());
        QVERIFY(instance<TfrmAvvio>()->isVisible());
        goTo(card, instance<TfrmAvvio>());
        QCOMPARE(edit(card, "txtPaziente")->text(), QString());
        QCOMPARE(card->lblPosizione->text(), QString());
    }

    // The first empty required field, in the kind's order, gets its warning
    // and the focus; nothing is written. Every field after it is empty too,
    // so the order is what decides.
    void validationOrder_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("missing");
        const QList<Kind> all = kinds();
        for (int k = 0; k < all.size(); ++k)
            for (int i = 0; i < all[k].checks.size(); ++i)
                QTest::addRow("%s %s", all[k].cls, qPrintable(all[k].checks[i].first)) << k << i;
    }
    void validationOrder()
    {
        QFETCH(int, kind);
        QFETCH(int, missing);
        const Kind k = kinds()[kind];
        CertificateCard* card = showCard(k);
        fillAll(card, k);
        for (int i = missing; i < k.checks.size(); ++i)
            edit(card, k.checks[i].first)->setText(QStringLiteral(" \t "));
        card->cmdSalva->click();
        QCOMPARE(m_env->texts(), QStringList{k.checks[missing].second});
        QCOMPARE(m_env->messages.first().kind, msg::Kind::Warning);
        QCOMPARE(card->focusWidget(), edit(card, k.checks[missing].first));
        QCOMPARE(fileSize(*m_env, k), 0);
        QCOMPARE(card->lblPosizione->text(), QString());
    }

    // Only the required fields filled: stored. The first Salva appends, the
    // second overwrites the same record; the bytes are those of the record
    // layout and read back as the card shows them.
    void appendThenUpdateInPlace_data() { addKindRows(); }
    void appendThenUpdateInPlace()
    {
        QFETCH(int, kind);
        const Kind k = kinds()[kind];
        storeDirect(k, [](Record& r) { r.setText("txtPaziente", u"Prima scheda"); });
        CertificateCard* card = showCard(k);
        for (const Check& c : k.checks)
            edit(card, c.first)->setText(c.first.mid(3));
        edit(card, "txtPaziente")->setText(QStringLiteral("  Rossi Mario  "));
        card->cmdSalva->click();
        QCOMPARE(m_env->texts(), QStringList{kInserted});
        QCOMPARE(m_env->messages.last().kind, msg::Kind::Information);
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("2"));
        QCOMPARE(fileSize(*m_env, k), 2 * k.layout->size());
        QCOMPARE(edit(card, "txtPaziente")->text(), QStringLiteral("  Rossi Mario  ")); // the card keeps what was typed

        Record expected(*k.layout);
        for (const Check& c : k.checks)
            expected.setText(std::string_view(qPrintable(c.first)), edit(card, c.first)->text());
        QCOMPARE(expected.text("txtPaziente"), QStringLiteral("Rossi Mario"));
        expected.setFlag("chkCompletato", false);
        QList<Record> stored = storedRecords(k);
        QCOMPARE(stored[1].bytes(), expected.bytes());
        // The flag is the last field: length 2, "No".
        QCOMPARE(stored[1].bytes().right(3), QByteArray("\x02No", 3));
        for (const QString& name : k.chain)
            QCOMPARE(stored[1].text(QStringView(name)), edit(card, name)->text().trimmed());

        edit(card, "txtPaziente")->setText(QStringLiteral("Rossi Maria"));
        card->chkCompletato->setChecked(true);
        card->cmdSalva->click();
        QCOMPARE(m_env->lastText(), kUpdated);
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("2"));
        stored = storedRecords(k);
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[0].text("txtPaziente"), QStringLiteral("Prima scheda"));
        QCOMPARE(stored[1].text("txtPaziente"), QStringLiteral("Rossi Maria"));
        QCOMPARE(stored[1].flag("chkCompletato"), std::optional<bool>(true));
        QCOMPARE(stored[1].bytes().right(3), QByteArray("\x02S\xec", 3));
    }

    void duplicateThenSaveAppendsACopy()
    {
        const Kind k = kinds()[1];
        CertificateCard* card = showCard(k);
        card->cmdDuplica->click();
        QCOMPARE(m_env->lastText(), QStringLiteral("Attenzione: la duplicazione di una scheda pu\u00f2 avvenire soltanto "
                                                   "dopo che questa \u00e8 stata inserita in archivio."));
        QCOMPARE(m_env->messages.last().kind, msg::Kind::Warning);

        fillAll(card, k);
        edit(card, "txtData")->setText(QStringLiteral("01/02/2026"));
        card->chkCompletato->setChecked(true);
        card->cmdSalva->click();
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("1"));
        edit(card, "txtLuogo")->setFocus();

        card->cmdDuplica->click();
        QCOMPARE(m_env->lastText(), QStringLiteral("E' ora possibile apportare le proprie modifiche alla scheda corrente."
                                                   "\n\r\n\rAl termine premere Salva per inserire la scheda in archivio."));
        QCOMPARE(m_env->messages.last().kind, msg::Kind::Information);
        QCOMPARE(card->lblPosizione->text(), QString());
        QVERIFY(!card->chkCompletato->isChecked());
        QCOMPARE(card->focusWidget(), edit(card, "txtPaziente"));
        QCOMPARE(edit(card, "txtData")->text(), QStringLiteral("01/02/2026"));

        card->cmdSalva->click();
        QCOMPARE(m_env->lastText(), kInserted);
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("2"));
        const QList<Record> stored = storedRecords(k);
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[1].flag("chkCompletato"), std::optional<bool>(false));
        QCOMPARE(stored[1].text("txtData"), QStringLiteral("01/02/2026"));
        QCOMPARE(stored[1].bytes().left(k.layout->size() - 3), stored[0].bytes().left(k.layout->size() - 3));
    }

    void navigationEdges()
    {
        const Kind k = kinds()[3];
        CertificateCard* card = showCard(k);
        // Empty archive.
        card->cmdAvanti->click();
        QCOMPARE(card->lblPosizione->text(), QString());
        QCOMPARE(m_env->texts(), QStringList{kEmpty});
        card->lblPosizione->setText(QStringLiteral("4"));
        card->cmdIndietro->click();
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("4")); // previous leaves the position
        card->cmdPrimo->click();
        card->cmdUltimo->click();
        QCOMPARE(m_env->texts(), (QStringList{kEmpty, kEmpty, kEmpty, kEmpty}));
        QCOMPARE(m_env->messages.last().kind, msg::Kind::Information);

        for (const char* name : {"Uno", "Due", "Tre"})
            storeDirect(k, [name](Record& r) {
                r.setText("txtPaziente", QString::fromLatin1(name));
                r.setText("txtStudioDent", QStringLiteral("Studio %1").arg(QLatin1String(name)));
            });
        m_env->messages.clear();
        const auto shows = [&](const char* position, const char* name) {
            return card->lblPosizione->text() == QLatin1String(position) &&
                   edit(card, "txtPaziente")->text() == QLatin1String(name) &&
                   edit(card, "txtStudioDent")->text() == QStringLiteral("Studio %1").arg(QLatin1String(name));
        };
        card->cmdNuovo->click();
        card->cmdAvanti->click(); // next on a blank card
        QVERIFY(shows("1", "Uno"));
        card->cmdAvanti->click();
        QVERIFY(shows("2", "Due"));
        card->cmdUltimo->click();
        QVERIFY(shows("3", "Tre"));
        card->cmdAvanti->click(); // next on the last: nothing
        QVERIFY(shows("3", "Tre"));
        card->cmdIndietro->click();
        QVERIFY(shows("2", "Due"));
        card->cmdPrimo->click();
        QVERIFY(shows("1", "Uno"));
        card->cmdIndietro->click(); // previous on record 1: nothing
        QVERIFY(shows("1", "Uno"));
        card->cmdNuovo->click();
        card->cmdIndietro->click(); // previous on a blank card
        QVERIFY(shows("1", "Uno"));
        QVERIFY(m_env->messages.isEmpty());
    }

    // A stored record brings its letterhead onto the card; closing the card
    // makes it the settings, written key by key in the given order.
    void storedLetterheadBecomesTheSettings_data() { addKindRows(); }
    void storedLetterheadBecomesTheSettings()
    {
        QFETCH(int, kind);
        const Kind k = kinds()[kind];
        storeDirect(k, [&](Record& r) {
            for (const QString& name : kOffice)
                r.setText(std::string_view(qPrintable(name)), QStringLiteral("A") + name.mid(3, 1));
            r.setText("txtStudioDent", u"Studio Archiviato");
            r.setText("txtLuogo", u"Pavia");
            if (k.region)
                r.setText("txtRegione", u"LOMBARDIA");
        });
        IniFile ini(programPath(QStringLiteral("Studio_Medico_Vrn.ini")));
        ini.write(QStringLiteral("Modulo Privacy"), QStringLiteral("Studio Medico"), QStringLiteral("Studio Impostato"));
        CertificateCard* card = showCard(k);
        QCOMPARE(edit(card, "txtStudioDent")->text(), QStringLiteral("Studio Impostato"));
        card->cmdPrimo->click();
        QCOMPARE(edit(card, "txtStudioDent")->text(), QStringLiteral("Studio Archiviato"));
        QCOMPARE(edit(card, "txtLuogo")->text(), QStringLiteral("Pavia"));

        QVERIFY(card->close());
        QVERIFY(!card->isVisible());
        QVERIFY(instance<TfrmAvvio>()->isVisible());
        QCOMPARE(ini.read(QStringLiteral("Modulo Privacy"), QStringLiteral("Studio Medico")),
                 QStringLiteral("Studio Archiviato"));
        QCOMPARE(ini.read(QStringLiteral("Modulo Privacy"), QStringLiteral("Luogo")), QStringLiteral("Pavia"));
        QCOMPARE(ini.read(QStringLiteral("Modulo Privacy"), QStringLiteral("Provincia Sede")), QStringLiteral("AP"));
        QCOMPARE(ini.read(QStringLiteral("Certificato Medico"), QStringLiteral("Codice Regione")),
                 k.region ? QStringLiteral("LOMBARDIA") : QString());
        QStringList expected = kSettingKeys;
        if (k.region)
            expected << QStringLiteral("Certificato Medico/Codice Regione");
        QCOMPARE(settingsKeys(*m_env), expected);
    }

    // With no settings file, closing a card creates it with every key, the
    // empty ones included; a refused write keeps the card open.
    void closingWritesEveryKey()
    {
        const Kind k = kinds()[0];
        CertificateCard* card = showCard(k);
        edit(card, "txtTelDent")->setText(QStringLiteral("  02 555 = 1  "));
        card->cmdEsci->click();
        QCOMPARE(settingsKeys(*m_env), kSettingKeys);
        QCOMPARE(IniFile(programPath(QStringLiteral("Studio_Medico_Vrn.ini")))
                     .read(QStringLiteral("Modulo Privacy"), QStringLiteral("Recapiti Studio")),
                 QStringLiteral("02 555 = 1"));
    }

    // An archive that cannot be opened: the archive message, the card as it
    // was; a settings file that cannot be written keeps the card open.
    void failuresLeaveTheCardAsItWas()
    {
        const Kind k = kinds()[1];
        CertificateCard* card = showCard(k);
        fillAll(card, k);
        const QString unusable = m_env->path(QStringLiteral("un-file"));
        testing::writeFile(unusable, "x");
        setProgramFolder(unusable + QStringLiteral("/sotto"));

        card->cmdSalva->click();
        card->cmdAvanti->click();
        card->cmdPrimo->click();
        QCOMPARE(m_env->texts(), QStringList(3, archiveErrorMessage()));
        QCOMPARE(m_env->messages.first().kind, msg::Kind::Error);
        QCOMPARE(card->lblPosizione->text(), QString());
        QCOMPARE(edit(card, "txtPaziente")->text(), QStringLiteral("Paziente"));

        // A position that is no record of the archive is never written past
        // the end (that would leave a gap of empty records).
        setProgramFolder(m_env->folder());
        card->cmdSalva->click();
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("1"));
        card->lblPosizione->setText(QStringLiteral("5"));
        card->cmdSalva->click();
        QCOMPARE(m_env->lastText(), archiveErrorMessage());
        QCOMPARE(fileSize(*m_env, k), k.layout->size());
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("5"));

        // Closing: the refused write is shown, then the question whether to
        // close without the office data; No keeps the card, Sì leaves it.
        setProgramFolder(unusable + QStringLiteral("/sotto"));
        m_env->messages.clear();
        m_env->confirmAnswer = false;
        card->cmdEsci->click();
        QVERIFY(card->isVisible());
        QCOMPARE(m_env->messages.size(), 2);
        QVERIFY(m_env->messages[0].text.startsWith(QStringLiteral("Unable to write to ")));
        QCOMPARE(m_env->messages[1].kind, msg::Kind::Confirmation);
        QCOMPARE(m_env->messages[1].text, QStringLiteral("I dati dello studio medico non sono stati salvati.\r\n\r\nSi vuole chiudere ugualmente la finestra senza salvarli?"));
        m_env->confirmAnswer = true;
        card->close(); // the close box
        QVERIFY(!card->isVisible());
        QVERIFY(instance<TfrmAvvio>()->isVisible());
        QCOMPARE(m_env->messages.size(), 4);
        setProgramFolder(m_env->folder());
    }

    // A settings file that is there but cannot be read: the card shows
    // empty office fields and closing it refuses to replace the file, so
    // the office data, "Titolare Privacy" included, are not lost.
    void unreadableSettingsAreKept()
    {
        const QString path = programPath(QStringLiteral("Studio_Medico_Vrn.ini"));
        const QByteArray stored = "[Modulo Privacy]\r\nStudio Medico=Studio Salus\r\nTitolare Privacy=Dott. Neri\r\n";
        testing::writeFile(path, stored);
        files::faults::failOn(files::Op::Read, QStringLiteral("Studio_Medico_Vrn.ini"));
        CertificateCard* card = showCard(kinds()[1]);
        QCOMPARE(edit(card, "txtStudioDent")->text(), QString());
        m_env->confirmAnswer = false; // stay, to try again
        QTest::mouseClick(card->cmdEsci, Qt::LeftButton);
        QCOMPARE(m_env->texts(), QStringList({QStringLiteral("Unable to write to ") + path, QStringLiteral("I dati dello studio medico non sono stati salvati.\r\n\r\nSi vuole chiudere ugualmente la finestra senza salvarli?")}));
        QCOMPARE(m_env->messages[0].kind, msg::Kind::Error);
        QVERIFY(card->isVisible());
        QCOMPARE(testing::readFile(path), stored);
        files::faults::clear();
        QTest::mouseClick(card->cmdEsci, Qt::LeftButton);
        QVERIFY(!card->isVisible());
    }

    // Texts the program writes into a card are shown from their first
    // character: the letterhead from the settings every time the card opens,
    // a stored certificate, an imported patient; and a field the user leaves.
    void longTextsShowTheirStart()
    {
        const Kind k = kinds()[2];
        const QString office = QStringLiteral("Centro di Medicina dello Sport Dott.ssa Maria Bianchi e Dott. Luca Verdi");
        const QString free = QStringLiteral("Specialisti in Medicina dello Sport - visite agonistiche e non agonistiche");
        IniFile ini(programPath(QStringLiteral("Studio_Medico_Vrn.ini")));
        ini.write(QStringLiteral("Modulo Privacy"), QStringLiteral("Studio Medico"), office);
        ini.write(QStringLiteral("Certificato Medico"), QStringLiteral("Campo Libero"), free);
        for (int visit = 0; visit < 2; ++visit) {
            CertificateCard* card = showCard(k);
            QCOMPARE(edit(card, "txtStudioDent")->text(), office);
            QVERIFY(testing::showsItsStart(edit(card, "txtStudioDent")));
            QVERIFY(testing::showsItsStart(edit(card, "txtLibero")));
            card->cmdEsci->click();
        }
        CertificateCard* card = showCard(k);
        const QString residence = QStringLiteral("Via Giuseppe Garibaldi 128, scala B, interno 7 - CAP 47521 - Cesena FC");
        storeDirect(k, [&](Record& r) {
            r.setText("txtPaziente", u"Rossi Mario");
            r.setText("txtResidenza", residence);
        });
        card->cmdPrimo->click();
        QCOMPARE(edit(card, "txtResidenza")->text(), residence);
        QVERIFY(testing::showsItsStart(edit(card, "txtResidenza")));
        Record patient(layouts::TSchedaPaziente);
        patient.setText("txtPaziente", u"Verdi Anna");
        patient.setText("txtIndirizzoRes", u"Viale della Repubblica Italiana 1024");
        patient.setText("txtComuneRes", u"San Giovanni in Persiceto");
        card->importPatient(patient);
        QVERIFY(testing::showsItsStart(edit(card, "txtResidenza")));

        QVERIFY(QTest::qWaitForWindowActive(card));
        QLineEdit* document = edit(card, "txtDocumento");
        document->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), document);
        QTest::keyClicks(document, QStringLiteral("Carta di identita elettronica CA12345BB rilasciata dal Comune di Cesena"));
        QVERIFY(!testing::showsItsStart(document));
        testing::pressEnter(document);
        QTRY_COMPARE(QApplication::focusWidget(), edit(card, "txtSportRichiesto"));
        QVERIFY(testing::showsItsStart(document));
    }

    void longDateOfIssueStoredCutTo10()
    {
        const Kind k = kinds()[0];
        CertificateCard* card = showCard(k);
        fillAll(card, k);
        QLineEdit* data = edit(card, "txtData");
        data->clear();
        QTest::keyClicks(data, QStringLiteral("14/03/2026 ore 10.30"));
        QCOMPARE(data->text(), QStringLiteral("14/03/2026 ore 10.30"));
        card->cmdSalva->click();
        QCOMPARE(storedRecords(k).first().text("txtData"), QStringLiteral("14/03/2026"));
        QCOMPARE(data->text(), QStringLiteral("14/03/2026 ore 10.30"));
    }

    // The months field stores 50 characters but takes 10 typed: a longer
    // stored text is shown whole and saved whole again.
    void longStoredMonthsSurviveASave()
    {
        const Kind k = kinds()[1];
        const QString months = QStringLiteral("12 mesi dalla data del rilascio");
        storeDirect(k, [&](Record& r) {
            for (const Check& c : k.checks)
                r.setText(std::string_view(qPrintable(c.first)), c.first.mid(3));
            r.setText("txtNumMesi", months);
        });
        CertificateCard* card = showCard(k);
        card->cmdPrimo->click();
        QLineEdit* mesi = edit(card, "txtNumMesi");
        QCOMPARE(mesi->text(), months);
        QTest::keyClick(mesi, Qt::Key_End);
        QTest::keyClicks(mesi, QStringLiteral("x")); // no room for typing
        QCOMPARE(mesi->text(), months);
        card->cmdSalva->click();
        QCOMPARE(storedRecords(k).first().text("txtNumMesi"), months);
        // Once short enough the typing limit holds again.
        mesi->clear();
        QTest::keyClicks(mesi, QStringLiteral("123456789012345"));
        QCOMPARE(mesi->text(), QStringLiteral("1234567890"));
    }

    void typedInputRules()
    {
        CertificateCard* card = showCard(kinds()[2]);
        QLineEdit* iva = edit(card, "txtIvaDent");
        QTest::keyClicks(iva, QStringLiteral("12a3-4 B5"));
        QCOMPARE(iva->text(), QStringLiteral("12345"));
        QTest::keyClick(iva, Qt::Key_Left);
        QTest::keyClick(iva, Qt::Key_Backspace);
        QTest::keyClick(iva, Qt::Key_Delete);
        QCOMPARE(iva->text(), QStringLiteral("123"));
        QTest::keyClicks(iva, QStringLiteral("9876543210"));
        QCOMPARE(iva->text(), QStringLiteral("12398765432")); // 11 at most
        // Pasted text passes the same filter as typed keys.
        iva->clear();
        QApplication::clipboard()->setText(QStringLiteral("IT 0123-456"));
        QTest::keyClick(iva, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(iva->text(), QStringLiteral("0123456"));

        QLineEdit* prov = edit(card, "txtProvDent");
        QTest::keyClicks(prov, QStringLiteral("mi"));
        QCOMPARE(prov->text(), QStringLiteral("MI"));
        QLineEdit* cf = edit(card, "txtCodFiscDent");
        QTest::keyClicks(cf, QStringLiteral("rss mra "));
        QCOMPARE(cf->text(), QStringLiteral("RSSMRA")); // a blank typed at the end goes at once
        cf->setText(QStringLiteral("r\u00e8x"));
        QCOMPARE(cf->text(), QStringLiteral("R\u00e8X")); // only a-z change case
    }

    void enterMovesAlongTheChain_data() { addKindRows(); }
    void enterMovesAlongTheChain()
    {
        QFETCH(int, kind);
        const Kind k = kinds()[kind];
        CertificateCard* card = showCard(k);
        QCOMPARE(card->fields().size(), k.chain.size());
        for (int i = 0; i < k.chain.size(); ++i) {
            QLineEdit* from = edit(card, k.chain[i]);
            from->setFocus();
            QTest::keyClick(from, Qt::Key_Return);
            QCOMPARE(card->focusWidget()->objectName(), k.chain[(i + 1) % k.chain.size()]);
        }
        // Enter never presses a button: nothing stored, nothing shown.
        QVERIFY(m_env->messages.isEmpty());
        QCOMPARE(fileSize(*m_env, k), 0);
        // Tab follows the same chain, then the completed box.
        QWidget* w = edit(card, k.chain.first());
        for (int i = 1; i < k.chain.size(); ++i) {
            w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus))
                w = w->nextInFocusChain();
            QCOMPARE(w->objectName(), k.chain[i]);
        }
        w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        QCOMPARE(w, static_cast<QWidget*>(card->chkCompletato));
    }

    // Yellow with the focus, the resting fill otherwise (alice blue in the
    // body, white elsewhere).
    void focusLook()
    {
        CertificateCard* card = showCard(kinds()[1]);
        QTRY_VERIFY(card->isActiveWindow());
        const auto fill = [](QLineEdit* e) { return e->grab().toImage().pixelColor(4, e->height() / 2); };
        QLineEdit* body = edit(card, "txtDocumento");
        QLineEdit* office = edit(card, "txtMedico");
        body->setFocus();
        QTRY_VERIFY(body->hasFocus());
        QCOMPARE(fill(body), QColor(0xFF, 0xFF, 0x00));
        QCOMPARE(fill(office), QColor(Qt::white));
        office->setFocus();
        QTRY_VERIFY(office->hasFocus());
        QCOMPARE(fill(body), QColor(0xF0, 0xF8, 0xFF));
        QCOMPARE(fill(office), QColor(0xFF, 0xFF, 0x00));
        QCOMPARE(body->grab().toImage().pixelColor(0, body->height() / 2), QColor(0x87, 0xCE, 0xEB));
    }

    // The real mouse over every top button, the check box and the pick
    // buttons of every card: the hint shows and stays while the pointer moves
    // on the control; over the white sheet it goes, over a field it stays.
    void hintsFollowTheMouse_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("hint");
        const QList<std::pair<const char*, const char*>> common{
            {"cmdNuovo", "Prepara la schermata per la registrazione di una nuova scheda."},
            {"cmdDuplica", "Prepara la schermata per la registrazione di una nuova scheda duplicando i dati correnti."},
            {"cmdSalva", "Salva la scheda corrente in archivio."},
            {"cmdTrova", "Trova schede in archivio."},
            {"cmdAnteprima", "Visualizza l'anteprima di stampa del certificato medico corrente."},
            {"cmdStampa", "Stampa il certificato medico corrente."},
            {"cmdPrimo", "Visualizza la prima scheda in archivio."},
            {"cmdIndietro", "Visualizza la scheda precedente in archivio."},
            {"cmdAvanti", "Visualizza la scheda successiva in archivio."},
            {"cmdUltimo", "Visualizza l'ultima scheda in archivio."},
            {"cmdEsporta", "Esporta le schede in archivio in un file di Microsoft Excel."},
            {"cmdDaCompletare", "Visualizza l'elenco dei certificati medici da completare."},
            {"cmdGuida", "Visualizza la guida in linea."},
            {"cmdEsci", "Esci dalla schermata di lavoro corrente."},
            {"chkCompletato", "Spunta questa casella per annotare che la compilazione del certificato è stata completata."},
            {"impPaziente", "Importa i dati dall'archivio dei pazienti."},
        };
        const QList<Kind> all = kinds();
        for (int k = 0; k < all.size(); ++k) {
            for (const auto& [name, hint] : common)
                QTest::addRow("%s %s", all[k].cls, name) << k << QString::fromLatin1(name) << QString::fromUtf8(hint);
            if (k == 0)
                continue;
            const QString sport = k == 2 ? QStringLiteral("Importa i dati dalla tabella delle discipline sportive per disabili.")
                                         : QStringLiteral("Importa i dati dalla tabella delle discipline sportive.");
            QTest::addRow("%s impSportRichiesto", all[k].cls) << k << QStringLiteral("impSportRichiesto") << sport;
            if (all[k].layout != &layouts::TSchedaNonIdoneita) // the reason for non-fitness is typed
                QTest::addRow("%s impSportApprovato", all[k].cls) << k << QStringLiteral("impSportApprovato") << sport;
        }
    }
    void hintsFollowTheMouse()
    {
        QFETCH(int, kind);
        QFETCH(QString, control);
        QFETCH(QString, hint);
        CertificateCard* card = showCard(kinds()[kind]);
        // The test screen is smaller than the card: give it a laptop's room.
        card->showNormal();
        card->resize(1366, 728);
        QTRY_COMPARE(card->size(), QSize(1366, 728));
        QWidget* w = card->findChild<QWidget*>(control);
        QVERIFY(w);
        QVERIFY2(QRect(QPoint(0, 0), card->size()).contains(QRect(w->mapTo(card, QPoint(0, 0)), w->size())),
                 "the control lies outside the window");
        testing::moveMouseOver(w);
        QCOMPARE(card->panInfo->text(), hint);
        testing::moveMouseTo(w, QPoint(2, w->height() / 2));
        QCOMPARE(card->panInfo->text(), hint);
        testing::moveMouseTo(w, QPoint(w->width() - 3, w->height() - 3));
        QCOMPARE(card->panInfo->text(), hint);
        QLineEdit* field = edit(card, "txtPaziente");
        testing::moveMouseTo(field, field->rect().center());
        QCOMPARE(card->panInfo->text(), hint);
        QWidget* sheet = card->findChild<QWidget*>(QStringLiteral("panCertificato"))->parentWidget();
        const QPoint bare = testing::bareSpot(sheet);
        QVERIFY(bare.x() >= 0);
        testing::moveMouseTo(sheet, bare);
        QCOMPARE(card->panInfo->text(), QString());
    }

    // The buttons of the windows built elsewhere: present, with the hand
    // cursor; print and preview want a stored certificate.
    void buttonsHintsAndPrintPreconditions()
    {
        const Kind k = kinds()[2];
        CertificateCard* card = showCard(k);
        for (const char* name : {"cmdTrova", "cmdDaCompletare", "cmdEsporta", "cmdAnteprima", "cmdStampa", "impPaziente",
                                 "impSportRichiesto", "cmdEsci", "chkCompletato"}) {
            auto* control = card->findChild<QWidget*>(QLatin1String(name));
            QVERIFY2(control, name);
            QCOMPARE(control->cursor().shape(), Qt::PointingHandCursor);
        }
        card->cmdAnteprima->click();
        card->cmdStampa->click();
        QCOMPARE(m_env->texts(),
                 (QStringList{QStringLiteral("Attenzione: per visualizzare l'anteprima di stampa del certificato "
                                             "medico \u00e8 prima necessario salvare la scheda."),
                              QStringLiteral("Attenzione: per stampare il certificato medico \u00e8 prima necessario "
                                             "salvare la scheda.")}));
        QCOMPARE(m_env->messages.first().kind, msg::Kind::Warning);
        QCOMPARE(QApplication::activeModalWidget(), nullptr); // nothing opened
    }

    // Once the card shows a stored certificate, print and preview open the
    // windows of its kind.
    void printAndPreviewOpenTheirWindows_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("print");
        QTest::addColumn<QString>("preview");
        QTest::newRow("non agonistico") << 0 << "TfrmStampaCertificato" << "TfrmMenuPrescrizioni";
        QTest::newRow("agonistico") << 1 << "TfrmStampaAgonistici" << "TfrmAnteprimaAgonistici";
        QTest::newRow("disabili") << 2 << "TfrmStampaDisabili" << "TfrmAnteprimaDisabili";
        QTest::newRow("non idoneita") << 3 << "TfrmStampaNonIdoneita" << "TfrmAnteprimaNonIdoneita";
    }
    void printAndPreviewOpenTheirWindows()
    {
        QFETCH(int, kind);
        const Kind k = kinds()[kind];
        CertificateCard* card = showCard(k);
        fillAll(card, k);
        card->cmdSalva->click();
        m_env->messages.clear();
        const auto opened = [](QPushButton* button) {
            QString cls;
            testing::onNextModal([&](QWidget* w) {
                cls = QString::fromLatin1(w->metaObject()->className());
                w->close();
            });
            button->click();
            return cls;
        };
        QTEST(opened(card->cmdStampa), "print");
        QTEST(opened(card->cmdAnteprima), "preview");
        QVERIFY(m_env->messages.isEmpty());
    }

    void helpShowsTheCertificatesTopic()
    {
        CertificateCard* card = showCard(kinds()[0]);
        QString title;
        testing::onNextModal([&](QWidget* w) {
            title = w->findChild<QLabel*>(QStringLiteral("lblTitolo"))->text();
            w->close();
        });
        card->cmdGuida->click();
        QCOMPARE(title, QStringLiteral("App emissione certificati medici"));
    }

    void disabledCertificateNotInCompetitiveArchive()
    {
        const Kind dis = kinds()[2];
        const Kind ago = kinds()[1];
        CertificateCard* card = showCard(dis);
        fillAll(card, dis);
        card->cmdSalva->click();
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("1"));
        QCOMPARE(fileSize(*m_env, dis), dis.layout->size());
        QCOMPARE(fileSize(*m_env, ago), 0);

        CertificateCard* competitive = showCard(ago);
        competitive->cmdPrimo->click();
        QCOMPARE(m_env->lastText(), kEmpty);
        fillAll(competitive, ago);
        competitive->cmdSalva->click();
        QCOMPARE(competitive->lblPosizione->text(), QStringLiteral("1"));
    }

    // The patient import fills the patient fields only; the position stays.
    void patientImportFillsItsFieldsOnly_data() { addKindRows(); }
    void patientImportFillsItsFieldsOnly()
    {
        QFETCH(int, kind);
        const Kind k = kinds()[kind];
        CertificateCard* card = showCard(k);
        fillAll(card, k);
        QMap<QString, QString> expected;
        for (const QString& name : k.chain)
            expected.insert(name, edit(card, name)->text());
        card->lblPosizione->setText(QStringLiteral("7"));
        Record patient(layouts::TSchedaPaziente);
        patient.setText("txtPaziente", u"Verdi Anna");
        patient.setText("txtDataNasc", u"02/03/1990");
        patient.setText("txtComuneNasc", u"Lecco");
        patient.setText("txtIndirizzoRes", u"Via Po 1");
        patient.setText("txtCapRes", u"23900");
        patient.setText("txtComuneRes", u"Lecco");
        patient.setText("txtProvRes", u"LC");
        patient.setText("txtVaccinazioni", u"Patente LC123");
        card->importPatient(patient);
        expected.insert("txtPaziente", "Verdi Anna");
        expected.insert("txtDataNasc", "02/03/1990");
        expected.insert("txtLuogoNasc", "Lecco "); // no province of birth: the blank stays
        expected.insert("txtResidenza", "Via Po 1 - CAP 23900 - Lecco LC");
        if (k.region)
            expected.insert("txtDocumento", "Patente LC123");
        for (const QString& name : k.chain)
            QCOMPARE(edit(card, name)->text(), expected.value(name));
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("7"));
    }

private:
    std::unique_ptr<TestEnv> m_env;
};

QTEST_MAIN(TestCertificateCards)
#include "tst_certificate_cards.moc"
