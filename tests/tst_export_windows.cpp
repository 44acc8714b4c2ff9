// The five export windows, opened with the cards' Esporta buttons: their
// grids, the file they write, the two questions, the failure, help and hints.
#include "app/help.h"
#include "app/registry.h"
#include "app/startup.h"
#include "patients/tfrmclienti.h"
#include "storage/archive.h"
#include "storage/filelayer.h"
#include "storage/programfolder.h"
#include "storage/text.h"
#include "support/office.h"
#include "support/testenv.h"
#include "export/exportwindows.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QScreen>
#include <QTest>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

#include <memory>

using namespace vornel;

namespace {

const QString kAskExport = QStringLiteral(
    "L'esportazione dei dati in Excel pu\u00f2 richiedere diversi minuti a seconda del numero di schede presenti in "
    "archivio.\r\n\r\nSi vuole esportare i dati adesso?");
const QString kAskOpen = QStringLiteral(
    "Le schede in archivio sono state esportate con successo.\r\n\r\nSi vuole aprire il file di Excel?");
const QString kCannotExport = QStringLiteral(
    "Attenzione: il sistema non permette di esportare i dati.\n\r\n\rAccertarsi che il file di Excel non sia gi\u00e0 "
    "aperto.");

// How every data cell of the .xls opens: the text format of Excel and of
// Calc, so a stored text is never read as a number, a date or a formula.
const QByteArray kCell = "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1040;0;@\">";

// One column as the window must show and write it.
struct Col {
    const char* name;
    const char* title;
    int width;
    bool editable;
    QStringList fields; // one, or two joined by 'separator'
    const char* separator;
    const char* heading;
    int fileWidth;
};

struct Win {
    const char* cls;
    const char* card;
    const ArchiveDef* archive;
    const char* caption;
    const char* file;
    const char* sheet;
    const char* topic;
    QList<Col> columns;
};

QList<Col> athleteStart()
{
    return {
        {"colPaziente", "Paziente", 220, false, {"txtPaziente"}, "", "Paziente", 250},
        {"colComuneNasc", "Luogo di nascita", 220, false, {"txtLuogoNasc"}, "", "Luogo di nascita", 250},
        {"colDataNasc", "Data di nascita", 140, false, {"txtDataNasc"}, "", "Data di nascita", 200},
        {"colResidenza", "Indirizzo di residenza", 350, true, {"txtResidenza"}, "", "Indirizzo di residenza", 420},
        {"colDocumento", "Documento di identità", 350, true, {"txtDocumento"}, "", "Documento di identità", 420},
        {"colSportRichiesto", "Sport per cui si richiede certificato", 350, true, {"txtSportRichiesto"}, "",
         "Sport per cui si richiede certificato", 400},
    };
}

const QList<Col> kFinish{
    {"colData", "Data emissione", 140, true, {"txtData"}, "", "Data emissione", 200},
    {"colCompletato", "Completato", 100, false, {"chkCompletato"}, "", "Completato", 180},
};

QList<Win> windows()
{
    const QList<Col> competitive =
        athleteStart() +
        QList<Col>{{"colSportApprovato", "Sport approvato", 350, false, {"txtSportApprovato"}, "", "Sport approvato", 400},
                   {"colDataScade", "Data scadenza", 140, false, {"txtDataScade"}, "", "Data scadenza", 200}} +
        kFinish;
    return {
        {"TfrmExpCertificati", "TfrmCertificati", &archives::Certificati,
         " Esporta archivio certificati medici non agonistici in Excel", "Certificati_Non_Agonistici.xls",
         "Certificati Medici Non Agonistici", "Esportazione archivio certificati medici non agonistici in Excel",
         QList<Col>{
             {"colPaziente", "Paziente", 220, false, {"txtPaziente"}, "", "Paziente", 250},
             {"colComuneNasc", "Luogo di nascita", 220, false, {"txtLuogoNasc"}, "", "Luogo di nascita", 250},
             {"colDataNasc", "Data di nascita", 140, false, {"txtDataNasc"}, "", "Data di nascita", 200},
             {"colResidenza", "Indirizzo di residenza", 350, true, {"txtResidenza"}, "", "Indirizzo di residenza", 420},
             {"colDataECG", "Data ECG", 140, false, {"txtDataECG"}, "", "Data ECG", 200},
             {"colMedico", "Medico certificatore", 220, false, {"txtMedico"}, "", "Medico certificatore", 250},
         } + kFinish},
        {"TfrmExpCertificatiNon", "TfrmCertificati_NonIdoneita", &archives::NonIdoneita,
         " Esporta archivio certificati medici di non idoneità agonistica in Excel", "Certificati_Non_Idoneita.xls",
         "Certificati Non Idoneita Agonistica",
         "Esportazione archivio certificati medici di non idoneità agonistica in Excel",
         athleteStart() +
             QList<Col>{{"colSportApprovato", "Motivazione non idoneità", 350, false, {"txtSportApprovato"}, "",
                         "Motivazione non idoneità", 400}} +
             kFinish},
        {"TfrmExpCertificatiAgo", "TfrmCertificati_Agonistici", &archives::Agonistici,
         " Esporta archivio certificati medici agonistici in Excel", "Certificati_Agonistici.xls",
         "Certificati Medici Agonistici", "Esportazione archivio certificati medici agonistici in Excel", competitive},
        {"TfrmExpCertificatiDis", "TfrmCertificati_Disabili", &archives::Disabili,
         " Esporta archivio certificati medici agonistici per disabili in Excel", "Certificati_Disabili.xls",
         "Certificati Agonistici Disabili", "Esportazione archivio certificati medici agonistici per disabili in Excel",
         competitive},
        {"TfrmExpClienti", "TfrmClienti", &archives::Pazienti, " Esporta archivio pazienti in Excel", "Pazienti.xls",
         "Archivio Pazienti", "Esportazione archivio pazienti in Excel",
         {
             {"colPaziente", "Paziente", 220, false, {"txtPaziente"}, "", "Paziente", 250},
             {"colDataNasc", "Data di nascita", 120, false, {"txtDataNasc"}, "", "Data di nascita", 200},
             {"colComuneNasc", "Comune / Stato estero di nascita", 220, false, {"txtComuneNasc", "txtProvNasc"}, " ",
              "Comune di nascita", 250},
             {"colRecapito", "Tel. preferenziale", 150, false, {"txtRecapito"}, "", "Tel. preferenziale", 250},
             {"colIndirizzoRes", "Indirizzo di residenza", 250, false, {"txtIndirizzoRes"}, "", "Indirizzo di residenza",
              300},
             {"colComuneRes", "Comune di residenza", 220, true, {"txtComuneRes", "txtProvRes"}, " ",
              "Comune di residenza", 250},
             {"colProfessione", "Professione", 220, false, {"txtProfessione"}, "", "Professione", 250},
             {"colTelCasa", "Tel. casa", 200, false, {"txtTelCasa"}, "", "Tel. casa", 250},
             {"colTelUff", "Tel. ufficio", 200, false, {"txtTelUff"}, "", "Tel. ufficio", 250},
             {"colTelCel", "Tel. cellulare", 200, false, {"txtTelCel"}, "", "Tel. cellulare", 250},
             {"colFax", "PEC", 250, false, {"txtFax"}, "", "PEC", 250},
             {"colEmail", "E-mail", 250, false, {"txtEmail"}, "", "E-mail", 250},
             {"colCodFisc", "Codice fiscale", 150, false, {"txtCodFisc"}, "", "Codice fiscale", 250},
             {"colPartitaIva", "Partita IVA", 150, true, {"txtPartitaIva"}, "", "Partita IVA", 250},
             {"colTessera", "Tessera sanitaria n.", 250, false, {"txtTessera", "txtGruppo"}, " - Gruppo: ",
              "Tessera sanitaria n.", 400},
             {"colASL", "ASL", 220, true, {"txtASL"}, "", "ASL", 250},
             {"colVaccinazioni", "Documento di identità", 300, true, {"txtVaccinazioni"}, "", "Documento di identità",
              400},
             {"colPatologie", "Patologie", 300, true, {"txtPatologie"}, "", "Patologie", 400},
             {"colAllergie", "Allergie e intolleranze", 300, true, {"txtAllergie"}, "", "Allergie e intolleranze", 400},
             {"colFarmaci", "Farmaci assunti", 300, false, {"txtFarmaci"}, "", "Farmaci assunti", 400},
             {"colInterventi", "Interventi subiti", 300, true, {"txtInterventi"}, "", "Interventi subiti", 400},
             {"colProtesi", "Protesi", 300, false, {"txtProtesi"}, "", "Protesi", 400},
             {"colHandicap", "Handicap psicomotori", 300, false, {"txtHandicap"}, "", "Handicap psicomotori", 400},
             {"colQuestioni", "Questioni in sospeso", 300, true, {"txtQuestioni"}, "", "Questioni in sospeso", 400},
             {"colNote", "Note", 350, true, {"txtNote"}, "", "Note", 400},
         }},
    };
}

const Win& win(const char* cls)
{
    static const QList<Win> all = windows();
    for (const Win& w : all)
        if (qstrcmp(w.cls, cls) == 0)
            return w;
    qFatal("no window %s", cls);
}

void addWindowRows()
{
    QTest::addColumn<QString>("cls");
    for (const Win& w : windows())
        QTest::newRow(w.cls) << QString::fromLatin1(w.cls);
}

QString s(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// Appends records to an archive; each record a map of field texts.
void store(const ArchiveDef& def, const QList<QMap<QString, QString>>& records)
{
    Archive archive(def);
    archive.open();
    for (const auto& values : records) {
        Record r(*def.layout);
        for (auto it = values.begin(); it != values.end(); ++it)
            r.setText(it.key().toStdString(), it.value());
        archive.append(r);
    }
    archive.close();
}

// A text of its own for every field, cut to the field's capacity; the
// second record leaves every other field empty.
QMap<QString, QString> sample(const RecordLayout& layout, int n)
{
    QMap<QString, QString> v;
    for (int i = 0; i < layout.fieldCount(); ++i) {
        const FieldDef& f = layout.fields()[std::size_t(i)];
        const QString name = QString::fromLatin1(f.name.data(), qsizetype(f.name.size()));
        if (n == 2 && i % 2 == 1)
            continue;
        if (name == QLatin1String("chkCompletato"))
            v[name] = n == 1 ? kFlagYes : kFlagNo;
        else
            v[name] = vornel::trimmed((name.mid(3) + QStringLiteral(" %1 \u00e8").arg(n)).left(f.capacity));
    }
    return v;
}

// Text of a grid cell for a record, joined as the grid shows it.
QString gridText(const Col& c, const QMap<QString, QString>& record)
{
    QString t = record.value(c.fields[0]);
    if (c.fields.size() > 1)
        t += s(c.separator) + record.value(c.fields[1]);
    return t;
}

QByteArray cp(const QString& text)
{
    QByteArray b;
    for (QChar ch : text)
        b += ch.unicode() <= 0xFF ? char(ch.unicode()) : '?';
    return b;
}

// The file every export must write for these rows of cells.
QByteArray expectedFile(const Win& w, const QList<QStringList>& rows)
{
    QByteArray out =
        "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
        "xmlns=\"http://www.w3.org/TR/REC-html40\"><head>"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
        "<!--[if gte mso 9]><xml><x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet><x:Name>" +
        QByteArray(w.sheet) +
        "</x:Name><x:WorksheetOptions><x:Selected/><x:Panes><x:Pane><x:Number>1</x:Number>"
        "<x:ActiveRow>3</x:ActiveRow></x:Pane></x:Panes><x:ProtectContents>False</x:ProtectContents>"
        "<x:ProtectObjects>False</x:ProtectObjects><x:ProtectScenarios>False</x:ProtectScenarios>"
        "</x:WorksheetOptions></x:ExcelWorksheet></x:ExcelWorksheets></x:ExcelWorkbook></xml><![endif]--></head>"
        "<body><table x:str><tr>";
    for (const Col& c : w.columns)
        out += "<td style=\"text-align: left; font-weight: bold;\" width=" + QByteArray::number(c.fileWidth) + ">" +
               cp(s(c.heading)) + "</td>";
    out += "</tr>";
    for (const QStringList& row : rows) {
        out += "<tr>";
        for (const QString& cell : row)
            out += kCell + cp(vornel::trimmed(cell)) + "</td>";
        out += "</tr>";
    }
    return out + "</table></body></html>";
}

QWidget* showCardOf(const Win& w)
{
    QWidget* card = findWindow(w.card);
    goTo(card, nullptr);
    return card;
}

// Presses the card's Esporta picture and runs 'action' on the export window
// it opens; the window is closed with Esci afterwards.
bool withExportWindow(const Win& w, const std::function<void(ExportWindow*)>& action)
{
    QWidget* card = showCardOf(w);
    bool ran = false;
    testing::onNextModal([&](QWidget* modal) {
        if (auto* e = qobject_cast<ExportWindow*>(modal)) {
            ran = QLatin1String(e->metaObject()->className()) == QLatin1String(w.cls);
            action(e);
            QTest::mouseClick(e->cmdEsci, Qt::LeftButton);
        }
        if (QApplication::activeModalWidget() == modal)
            modal->close();
    });
    QTest::mouseClick(card->findChild<QPushButton*>(QStringLiteral("cmdEsporta")), Qt::LeftButton);
    return ran;
}

// Runs 'action' once a modal window of class T is on top.
template <class T>
void onModalOf(const std::function<void(T*)>& action)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        if (auto* t = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(t);
        }
    });
    timer->start();
}

QString cellText(ExportWindow* e, int row, const char* column)
{
    const int c = e->grid()->columnOf(QString::fromLatin1(column));
    return e->grid()->index(row, c).data().toString();
}

QStringList fileNames(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class TstExportWindows : public QObject {
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

    void gridAndFileOfEveryWindow_data() { addWindowRows(); }
    void gridAndFileOfEveryWindow()
    {
        QFETCH(QString, cls);
        const Win& w = win(qPrintable(cls));
        const QList<QMap<QString, QString>> records{sample(*w.archive->layout, 1), sample(*w.archive->layout, 2)};
        store(*w.archive, records);
        const QByteArray archiveBefore = testing::readFile(m_env->path(QString::fromLatin1(w.archive->fileName)));

        QList<QStringList> shown;
        const bool opened = withExportWindow(w, [&](ExportWindow* e) {
            QCOMPARE(e->windowTitle(), s(w.caption));
            QCOMPARE(e->panInfo->text(), QStringLiteral("Esportazione archivio in Microsoft Excel."));
            QVERIFY(qobject_cast<QTableView*>(e->grdRecords));
            QAbstractItemModel* model = e->grdRecords->model();
            QCOMPARE(model->columnCount(), int(w.columns.size()) + 1);
            QCOMPARE(model->rowCount(), 2);
            QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("N."));
            QCOMPARE(e->grdRecords->columnWidth(0), 60);
            QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
            QCOMPARE(e->grdRecords->verticalHeader()->defaultSectionSize(), 21);
            for (int c = 0; c < w.columns.size(); ++c) {
                const Col& col = w.columns[c];
                QCOMPARE(e->grid()->columnName(c + 1), QLatin1String(col.name));
                QCOMPARE(model->headerData(c + 1, Qt::Horizontal).toString(), s(col.title));
                QCOMPARE(e->grdRecords->columnWidth(c + 1), col.width);
                QCOMPARE(bool(model->flags(model->index(0, c + 1)) & Qt::ItemIsEditable), col.editable);
            }
            for (int r = 0; r < 2; ++r) {
                QCOMPARE(model->index(r, 0).data().toString(), QString::number(r + 1));
                QStringList row;
                for (int c = 0; c < w.columns.size(); ++c) {
                    row << gridText(w.columns[c], records[r]);
                    QCOMPARE(model->index(r, c + 1).data().toString(), row.last());
                }
                shown << row;
            }
            QTest::mouseClick(e->cmdEsporta, Qt::LeftButton);
            QTest::mouseClick(e->cmdEsportaXlsx, Qt::LeftButton);
        });
        QVERIFY(opened);

        const QString file = m_env->path(QString::fromLatin1(w.file));
        const QString book = m_env->path(QString::fromLatin1(w.file).chopped(4) + QStringLiteral(".xlsx"));
        QCOMPARE(testing::readFile(file), expectedFile(w, shown));
        QCOMPARE(m_env->texts(), (QStringList{kAskExport, kAskOpen, kAskExport, kAskOpen}));
        for (const Shown& m : m_env->messages)
            QCOMPARE(int(m.kind), int(msg::Kind::Confirmation));
        QCOMPARE(m_env->opened, (QList<QUrl>{QUrl::fromLocalFile(file), QUrl::fromLocalFile(book)}));
        QCOMPARE(testing::readFile(m_env->path(QString::fromLatin1(w.archive->fileName))), archiveBefore);

        // The workbook holds the same grid, every cell a text.
        QString error;
        const QJsonObject read = testing::openpyxlRead(book, &error);
        if (read.isEmpty())
            QSKIP(qPrintable(error));
        const QString sheet = s(w.sheet).left(31);
        QCOMPARE(read[QLatin1String("sheets")].toArray(), QJsonArray{sheet});
        QCOMPARE(read[QLatin1String("title")].toString(), sheet);
        QCOMPARE(read[QLatin1String("author")].toString(), QStringLiteral("Vornel"));
        QCOMPARE(read[QLatin1String("freeze")].toString(), QStringLiteral("A2"));
        const QJsonArray rows = read[QLatin1String("rows")].toArray();
        QCOMPARE(rows.size(), 3);
        const QJsonObject widths = read[QLatin1String("widths")].toObject();
        for (int c = 0; c < w.columns.size(); ++c) {
            const QString column = QString(QChar(char16_t(u'A' + c))); // at most 25 columns
            // The file keeps the width with its padding: 7 pixels a character.
            QVERIFY(qAbs(widths[column].toDouble() * 7 - w.columns[c].fileWidth) <= 1.0);
            const QJsonArray heading = rows[0].toArray()[c].toArray();
            QCOMPARE(heading[0].toString(), s(w.columns[c].heading));
            QVERIFY(heading[2].toBool());
            for (int r = 0; r < 2; ++r) {
                const QJsonArray row = rows[r + 1].toArray();
                const QString expected = vornel::trimmed(shown[r][c]);
                const QJsonValue value = c < row.size() ? row[c].toArray()[0] : QJsonValue();
                if (expected.isEmpty()) {
                    QVERIFY(value.isNull());
                } else {
                    QCOMPARE(value.toString(), expected);
                    QCOMPARE(row[c].toArray()[1].toString(), QStringLiteral("s"));
                }
            }
        }
        const QString last = QString(QChar(char16_t(u'A' + w.columns.size() - 1)));
        QCOMPARE(read[QLatin1String("filter")].toString(), QStringLiteral("A1:%1%2").arg(last).arg(3));

        // No spreadsheet program: the file's place is said.
        m_env->messages.clear();
        m_env->openSucceeds = false;
        withExportWindow(w, [&](ExportWindow* e) { QTest::mouseClick(e->cmdEsporta, Qt::LeftButton); });
        QCOMPARE(m_env->texts(), (QStringList{kAskExport, kAskOpen, QStringLiteral("Impossibile aprire automaticamente il file:\r\n\r\n%1\r\n\r\nAprirlo con il programma adatto.").arg(QDir::toNativeSeparators(file))}));
        QCOMPARE(int(m_env->messages[2].kind), int(msg::Kind::Information));
    }

    // The window as it is laid out: fixed size without title-bar buttons,
    // the centred panel with the white band, the grid and the status bar,
    // and the four picture buttons from left to right.
    void windowLayout_data() { addWindowRows(); }
    void windowLayout()
    {
        QFETCH(QString, cls);
        const Win& w = win(qPrintable(cls));
        const bool opened = withExportWindow(w, [&](ExportWindow* e) {
            QCOMPARE(e->size(), QSize(862, 560));
            QCOMPARE(e->minimumSize(), e->maximumSize());
            QVERIFY(e->windowFlags() & Qt::CustomizeWindowHint);
            QVERIFY(!(e->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint |
                                          Qt::WindowContextHelpButtonHint)));
            if (QScreen* screen = QGuiApplication::primaryScreen())
                // Centred, give or take the width of the window frame.
                QVERIFY((e->geometry().center() - screen->availableGeometry().center()).manhattanLength() <= 8);
            auto at = [&](const QWidget* widget) { return QRect(widget->mapTo(e, QPoint()), widget->size()); };
            const QRect panel = at(e->findChild<QWidget*>(QStringLiteral("panEsporta")));
            QCOMPARE(panel.size(), QSize(837, 533));
            QVERIFY(qAbs(panel.left() - (862 - panel.right() - 1)) <= 1);
            QVERIFY(qAbs(panel.top() - (560 - panel.bottom() - 1)) <= 1);
            const QRect band = at(e->findChild<QWidget*>(QStringLiteral("panTitolo")));
            const QRect grid = at(e->grdRecords);
            const QRect status = at(e->findChild<QWidget*>(QStringLiteral("panStato")));
            QCOMPARE(band.size(), QSize(821, 65));
            QCOMPARE(grid.size(), QSize(821, 409));
            QCOMPARE(status.size(), QSize(821, 32));
            for (const QRect& r : {band, grid, status})
                QVERIFY(panel.contains(r));
            QVERIFY(band.bottom() < grid.top() && grid.bottom() < status.top());
            const QList<std::pair<QPushButton*, QSize>> buttons{
                {e->cmdEsporta, QSize(49, 50)}, {e->cmdEsportaXlsx, QSize(49, 50)}, {e->cmdGuida, QSize(50, 55)},
                {e->cmdEsci, QSize(40, 50)}};
            int left = at(e->findChild<QWidget*>(QStringLiteral("imgMano"))).right();
            for (const auto& [button, size] : buttons) {
                QCOMPARE(button->size(), size);
                QVERIFY(band.contains(at(button)));
                QVERIFY(at(button).left() > left);
                left = at(button).right();
            }
            QVERIFY(status.contains(at(e->panInfo)));
            QCOMPARE(e->panInfo->font().family(), QStringLiteral("Tahoma"));
            QCOMPARE(e->panInfo->font().pixelSize(), 16);
            e->panInfo->ensurePolished();
            QCOMPARE(e->panInfo->palette().color(QPalette::WindowText), QColor(Qt::white));

            // Enter and Return in the grid press no picture button.
            e->grdRecords->setFocus();
            e->grdRecords->setCurrentIndex(e->grid()->index(0, 1));
            QTest::keyClick(e->grdRecords, Qt::Key_Return);
            QTest::keyClick(e->grdRecords, Qt::Key_Enter);
            QVERIFY(e->isVisible());
            QVERIFY(m_env->messages.isEmpty());
        });
        QVERIFY(opened);
    }

    // The patient cells that join two fields: the grid shows the separator
    // after an empty field, the file trims it.
    void joinedPatientCells()
    {
        const Win& w = win("TfrmExpClienti");
        store(archives::Pazienti, {{{"txtPaziente", "Bianchi Anna"},
                                    {"txtComuneNasc", s("Forlì")},
                                    {"txtComuneRes", "Cesena"},
                                    {"txtProvRes", "FC"}}});
        withExportWindow(w, [&](ExportWindow* e) {
            QCOMPARE(cellText(e, 0, "colComuneNasc"), s("Forlì "));
            QCOMPARE(cellText(e, 0, "colComuneRes"), QStringLiteral("Cesena FC"));
            QCOMPARE(cellText(e, 0, "colTessera"), QStringLiteral(" - Gruppo: "));
            QTest::mouseClick(e->cmdEsporta, Qt::LeftButton);
        });
        const QByteArray file = testing::readFile(m_env->path(QStringLiteral("Pazienti.xls")));
        QVERIFY(file.contains(kCell + "Forl\xEC</td>"));
        QVERIFY(file.contains(kCell + "Cesena FC</td>"));
        QVERIFY(file.contains(kCell + "- Gruppo:</td>"));
    }

    // A stored line break, NUL or other control character becomes a blank
    // and a byte Windows-1252 leaves undefined a "?": the file stays one line.
    void storedControlCharactersKeepTheFileOneLine()
    {
        const Win& w = win("TfrmExpClienti");
        store(archives::Pazienti, {{{"txtPaziente", QString::fromUtf16(u"Rossi\u0081Mario")},
                                    {"txtNote", QString::fromUtf16(u"riga 1\r\nriga 2\tfine\u0000.", 21)}}});
        withExportWindow(w, [&](ExportWindow* e) {
            QCOMPARE(cellText(e, 0, "colNote"), QString::fromUtf16(u"riga 1\r\nriga 2\tfine\u0000.", 21));
            QTest::mouseClick(e->cmdEsporta, Qt::LeftButton);
        });
        const QByteArray file = testing::readFile(m_env->path(QStringLiteral("Pazienti.xls")));
        QVERIFY(file.contains(kCell + "Rossi?Mario</td>"));
        QVERIFY(file.contains(kCell + "riga 1  riga 2 fine .</td>"));
        for (char c = 0; c < 32; ++c)
            QVERIFY(!file.contains(c));
    }

    void emptyArchiveGivesTenEmptyRows()
    {
        const Win& w = win("TfrmExpCertificatiAgo");
        withExportWindow(w, [&](ExportWindow* e) {
            QCOMPARE(e->grdRecords->model()->rowCount(), 10);
            for (int r = 0; r < 10; ++r)
                QCOMPARE(cellText(e, r, "colNum"), QString());
            QTest::mouseClick(e->cmdEsporta, Qt::LeftButton);
        });
        // The window's first Open created the archive, empty.
        QCOMPARE(QFileInfo(m_env->path(QStringLiteral("Certificati_Agonistici.vrn"))).size(), 0);
        QList<QStringList> rows;
        for (int r = 0; r < 10; ++r)
            rows << QStringList(w.columns.size(), QString());
        QCOMPARE(testing::readFile(m_env->path(QStringLiteral("Certificati_Agonistici.xls"))), expectedFile(w, rows));
    }

    // An archive that cannot be opened is passed over in silence: the grid
    // keeps its empty rows and can still be exported.
    void unreadableArchiveLeavesTheEmptyRows()
    {
        QVERIFY(QDir(m_env->folder()).mkpath(QStringLiteral("Pazienti.vrn/cartella")));
        withExportWindow(win("TfrmExpClienti"), [&](ExportWindow* e) {
            QCOMPARE(e->grdRecords->model()->rowCount(), 10);
            QCOMPARE(cellText(e, 0, "colPaziente"), QString());
            QVERIFY(m_env->messages.isEmpty());
            QTest::mouseClick(e->cmdEsporta, Qt::LeftButton);
        });
        QCOMPARE(m_env->texts(), (QStringList{kAskExport, kAskOpen}));
        QCOMPARE(testing::readFile(m_env->path(QStringLiteral("Pazienti.xls"))).count("<tr>"), 11);
        QVERIFY(QFileInfo(m_env->path(QStringLiteral("Pazienti.vrn/cartella"))).isDir());
    }

    void threeRecordsGiveThreeNumberedRows()
    {
        const Win& w = win("TfrmExpCertificati");
        store(archives::Certificati, {{{"txtPaziente", "Primo"}}, {{"txtPaziente", "Secondo"}}, {{"txtPaziente", "Terzo"}}});
        withExportWindow(w, [&](ExportWindow* e) {
            QCOMPARE(e->grdRecords->model()->rowCount(), 3);
            const QStringList names{"Primo", "Secondo", "Terzo"};
            for (int r = 0; r < 3; ++r) {
                QCOMPARE(cellText(e, r, "colNum"), QString::number(r + 1));
                QCOMPARE(cellText(e, r, "colPaziente"), names[r]);
            }
            QTest::mouseClick(e->cmdEsporta, Qt::LeftButton);
        });
        const QByteArray file = testing::readFile(m_env->path(QStringLiteral("Certificati_Non_Agonistici.xls")));
        QCOMPARE(file.count("<tr>"), 4);
        const qsizetype first = file.indexOf(">Primo<"), second = file.indexOf(">Secondo<"), third = file.indexOf(">Terzo<");
        QVERIFY(first > 0 && first < second && second < third);
        QVERIFY(!file.contains(">1</td>") && !file.contains(">3</td>"));
    }

    // Typed text goes into the file and nowhere else; reopening shows the
    // archive's text again.
    void typedCellsAreExportedButNotStored()
    {
        const Win& w = win("TfrmExpCertificati");
        store(archives::Certificati, {{{"txtPaziente", "Rossi Mario"}, {"txtData", "01/02/2026"}}});
        const QString archivePath = m_env->path(QStringLiteral("Certificati.vrn"));
        const QByteArray before = testing::readFile(archivePath);
        withExportWindow(w, [&](ExportWindow* e) {
            // Types into a cell as a user does: F2 opens the cell's editor.
            auto typeInto = [&](const char* column, const QString& text) -> QWidget* {
                const QModelIndex cell = e->grid()->index(0, e->grid()->columnOf(QString::fromLatin1(column)));
                e->grdRecords->setFocus();
                e->grdRecords->setCurrentIndex(cell);
                QTest::keyClick(e->grdRecords->viewport(), Qt::Key_F2);
                QWidget* editor = e->grdRecords->indexWidget(cell);
                if (editor) {
                    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
                    QTest::keyClicks(editor, text);
                }
                return editor;
            };
            QVERIFY(!typeInto("colPaziente", QStringLiteral("Altro")));
            QWidget* editor = typeInto("colResidenza", QStringLiteral("Via <Nuova> & 3"));
            QVERIFY(editor);
            QTest::keyClick(editor, Qt::Key_Return);
            // The last cell is still being typed into when the picture is pressed.
            QVERIFY(typeInto("colData", QStringLiteral(" 03/04/2026 ")));
            QTest::mouseClick(e->cmdEsporta, Qt::LeftButton);
            QCOMPARE(cellText(e, 0, "colData"), QStringLiteral(" 03/04/2026 "));
            QCOMPARE(cellText(e, 0, "colPaziente"), QStringLiteral("Rossi Mario"));
        });
        const QByteArray file = testing::readFile(m_env->path(QStringLiteral("Certificati_Non_Agonistici.xls")));
        QVERIFY(file.contains(">Rossi Mario</td>" + kCell + "</td>" + kCell + "</td>" + kCell +
                              "Via &lt;Nuova&gt; &amp; 3</td>"));
        QVERIFY(file.contains(kCell + "03/04/2026</td>"));
        QCOMPARE(testing::readFile(archivePath), before);

        withExportWindow(w, [&](ExportWindow* e) {
            QCOMPARE(cellText(e, 0, "colData"), QStringLiteral("01/02/2026"));
            QCOMPARE(cellText(e, 0, "colResidenza"), QString());
        });
    }

    void noToTheFirstQuestionWritesNothing()
    {
        m_env->confirmAnswer = false;
        const Win& w = win("TfrmExpClienti");
        store(archives::Pazienti, {{{"txtPaziente", "Rossi Mario"}}});
        const QStringList before = fileNames(m_env->folder());
        withExportWindow(w, [&](ExportWindow* e) {
            QTest::mouseClick(e->cmdEsporta, Qt::LeftButton);
            QTest::mouseClick(e->cmdEsportaXlsx, Qt::LeftButton);
            QVERIFY(e->isVisible());
        });
        QCOMPARE(m_env->texts(), (QStringList{kAskExport, kAskExport}));
        QCOMPARE(fileNames(m_env->folder()), before);
        QVERIFY(m_env->opened.isEmpty());
    }

    void noToTheSecondQuestionOpensNothing()
    {
        int asked = 0;
        msg::setResponder([&](msg::Kind kind, const QString& text) {
            m_env->messages.append({kind, text});
            return ++asked == 1;
        });
        const Win& w = win("TfrmExpCertificatiDis");
        store(archives::Disabili, {{{"txtPaziente", "Verdi Luca"}}});
        withExportWindow(w, [&](ExportWindow* e) { QTest::mouseClick(e->cmdEsporta, Qt::LeftButton); });
        QCOMPARE(m_env->texts(), (QStringList{kAskExport, kAskOpen}));
        QVERIFY(testing::readFile(m_env->path(QStringLiteral("Certificati_Disabili.xls"))).contains(">Verdi Luca<"));
        QVERIFY(m_env->opened.isEmpty());
    }

    // A file that cannot be written gives the message in a plain box, no
    // second question, and leaves what was there before as it was: the .xls
    // and the .xlsx alike, blocked by the system or failed by the file layer.
    void fileThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("blocker");
        QTest::addColumn<bool>("workbook");
        for (bool workbook : {false, true}) {
            const char* format = workbook ? ".xlsx: " : ".xls: ";
            QTest::addRow("%sa folder stands where the file goes", format) << QStringLiteral("folder") << workbook;
#ifdef Q_OS_UNIX
            QTest::addRow("%sthe disk refuses the file halfway", format) << QStringLiteral("limit") << workbook;
#endif
            QTest::addRow("%sthe file layer fails a write", format) << QStringLiteral("write") << workbook;
            QTest::addRow("%sthe file layer fails the replace", format) << QStringLiteral("rename") << workbook;
        }
    }
    void fileThatCannotBeWritten()
    {
        QFETCH(QString, blocker);
        QFETCH(bool, workbook);
        const Win& w = win("TfrmExpCertificatiNon");
        const QString name = workbook ? QStringLiteral("Certificati_Non_Idoneita.xlsx")
                                      : QStringLiteral("Certificati_Non_Idoneita.xls");
        const QString target = m_env->path(name);
        QList<QMap<QString, QString>> many;
        for (int i = 0; i < 400; ++i)
            many << sample(layouts::TSchedaNonIdoneita, 1);
        store(archives::NonIdoneita, many);
        const QByteArray previous = "<html>the previous export</html>";
        if (blocker == QLatin1String("folder"))
            QVERIFY(QDir(m_env->folder()).mkpath(name + QStringLiteral("/aperto")));
        else
            testing::writeFile(target, previous);
        const QStringList before = fileNames(m_env->folder());
        if (blocker == QLatin1String("write"))
            files::faults::failOn(files::Op::Write, name);
        else if (blocker == QLatin1String("rename"))
            files::faults::failOn(files::Op::Rename, name);

        withExportWindow(w, [&](ExportWindow* e) {
#ifdef Q_OS_UNIX
            // Files of this process may not grow past 64 KiB while the export runs.
            rlimit saved{};
            if (blocker == QLatin1String("limit")) {
                std::signal(SIGXFSZ, SIG_IGN);
                getrlimit(RLIMIT_FSIZE, &saved);
                rlimit small = saved;
                small.rlim_cur = 64 << 10;
                setrlimit(RLIMIT_FSIZE, &small);
            }
#endif
            QTest::mouseClick(workbook ? e->cmdEsportaXlsx : e->cmdEsporta, Qt::LeftButton);
#ifdef Q_OS_UNIX
            if (blocker == QLatin1String("limit"))
                setrlimit(RLIMIT_FSIZE, &saved);
#endif
            QVERIFY(e->isVisible());
        });
        files::faults::clear();
        QCOMPARE(m_env->texts(), (QStringList{kAskExport, kCannotExport}));
        QCOMPARE(int(m_env->messages[1].kind), int(msg::Kind::Plain));
        QVERIFY(m_env->opened.isEmpty());
        if (blocker == QLatin1String("folder"))
            QVERIFY(QFileInfo(target + QStringLiteral("/aperto")).isDir());
        else
            QCOMPARE(testing::readFile(target), previous);
        // Nothing half-written is left beside it.
        QCOMPARE(fileNames(m_env->folder()), before);
    }

    void helpShowsTheWindowsTopicWhole_data() { addWindowRows(); }
    void helpShowsTheWindowsTopicWhole()
    {
        QFETCH(QString, cls);
        const Win& w = win(qPrintable(cls));
        QString title, text;
        bool fits = false, ownedByExport = false;
        withExportWindow(w, [&](ExportWindow* e) {
            onModalOf<TfrmGuida>([&](TfrmGuida* g) {
                title = g->lblTitolo->text();
                text = g->txtGuida->toPlainText();
                ownedByExport = g->parentWidget() == e;
                const QLabel* l = g->lblTitolo;
                fits = QFontMetrics(l->font()).horizontalAdvance(title) <= l->contentsRect().width() &&
                       QFontMetrics(l->font()).height() <= l->height();
                QTest::mouseClick(g->btnChiudi, Qt::LeftButton);
            });
            QTest::mouseClick(e->cmdGuida, Qt::LeftButton);
        });
        QCOMPARE(title, s(w.topic));
        QVERIFY(ownedByExport);
        QVERIFY2(fits, qPrintable(title));
        const QStringList paragraphs = text.split(QStringLiteral("\n\n"));
        QCOMPARE(paragraphs.size(), 3);
        QVERIFY(paragraphs[0].contains(QStringLiteral("Esporta archivio")));
    }

    void hintsFollowThePointer()
    {
        const Win& w = win("TfrmExpCertificati");
        withExportWindow(w, [&](ExportWindow* e) {
            QTRY_VERIFY(e->isActiveWindow());
            // The pointer moves over the window as the system reports it, so
            // the widget under it gets the enter and move events.
            auto moveTo = [&](QWidget* target, QPoint at) { QTest::mouseMove(e->windowHandle(), target->mapTo(e, at)); };
            auto over = [&](QWidget* target) { moveTo(target, target->rect().center()); };
            const QList<std::pair<QWidget*, QString>> hints{
                {e->cmdEsporta, QStringLiteral("Esporta l'archivio in formato Microsoft Excel.")},
                {e->cmdEsportaXlsx, QStringLiteral("Esporta le schede in archivio in un file Excel .xlsx (Excel 2007 e "
                                                   "successivi, LibreOffice, fogli di calcolo online).")},
                {e->cmdGuida, QStringLiteral("Visualizza la pagina della guida sensibile al contesto.")},
                {e->cmdEsci, QStringLiteral("Esci da questo ambiente di lavoro.")},
            };
            for (const auto& [button, hint] : hints) {
                QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
                over(button);
                QTRY_COMPARE(e->panInfo->text(), hint);
                QWidget* background = e->findChild<QWidget*>(QStringLiteral("panTitolo"));
                moveTo(background, QPoint(20, 60));
                QTRY_COMPARE(e->panInfo->text(), QString());
            }
            for (QWidget* area : {static_cast<QWidget*>(e->grdRecords->viewport()),
                                  e->grdRecords->horizontalHeader()->viewport(),
                                  e->findChild<QWidget*>(QStringLiteral("panStato")),
                                  e->findChild<QWidget*>(QStringLiteral("panEsporta")), static_cast<QWidget*>(e)}) {
                over(e->cmdEsporta);
                QTRY_VERIFY(!e->panInfo->text().isEmpty());
                moveTo(area, QPoint(4, 4));
                QTRY_COMPARE(e->panInfo->text(), QString());
            }
        });
    }

    // Calc reads every cell of the file as the archive holds it.
    void calcReadsTheArchiveText()
    {
        if (testing::officeProgram().isEmpty())
            QSKIP("LibreOffice is not installed (Debian: libreoffice-calc); the file was not read by a spreadsheet");
        const Win& w = win("TfrmExpClienti");
        const QList<QMap<QString, QString>> records{
            {{"txtPaziente", s("Niccolò D'Aragona")},
             {"txtDataNasc", "12/05/1980"},
             {"txtComuneNasc", s("Forlì")},
             {"txtProvNasc", "FC"},
             {"txtRecapito", "333 1234567"},
             {"txtComuneRes", s("Città di Castello")},
             {"txtProvRes", "PG"},
             {"txtTessera", "80380 000123"},
             {"txtGruppo", "0 Rh+"},
             {"txtNote", "PA < 140 & <b>ok</b>"},
             {"txtPatologie", "Asma \"lieve\", controllata; p.es. 1/2"}},
            {{"txtPaziente", s("Éric Müller")},
             {"txtComuneNasc", "Lugano"},
             {"txtComuneRes", "Bologna"},
             {"txtAllergie", "Polline & graminacee <stagionale>"},
             {"txtEmail", "eric@example.it"}},
        };
        store(archives::Pazienti, records);
        withExportWindow(w, [&](ExportWindow* e) { QTest::mouseClick(e->cmdEsporta, Qt::LeftButton); });

        QString error;
        const QList<QStringList> cells =
            testing::officeSheetCells(m_env->path(QStringLiteral("Pazienti.xls")), QStringLiteral("HTML (StarCalc)"), &error);
        QVERIFY2(!cells.isEmpty(), qPrintable(error));
        QCOMPARE(cells.size(), 3);
        QStringList headings;
        for (const Col& c : w.columns)
            headings << s(c.heading);
        QCOMPARE(cells[0], headings);
        for (int r = 0; r < 2; ++r) {
            QStringList expected;
            for (const Col& c : w.columns)
                expected << vornel::trimmed(gridText(c, records[r]));
            QCOMPARE(cells[r + 1].mid(0, expected.size()), expected);
            QVERIFY(cells[r + 1].size() == expected.size());
        }
        QCOMPARE(cells[2][2], QStringLiteral("Lugano"));
        QCOMPARE(cells[2][14], QStringLiteral("- Gruppo:"));
    }

private:
    std::unique_ptr<TestEnv> m_env;
};

QTEST_MAIN(TstExportWindows)
#include "tst_export_windows.moc"
