// The search and list windows over large archives, in the real windows:
// 100,000 patients (about 443 MB) and 100,000 certificates of each kind.
// Prints each figure beside its reference measured in the same run (the
// plain sequential read of the same file) or its budget. Not run by CI:
//   cmake --build build --target bench_lists && build/bench/bench_lists [records]
#include "app/messages.h"
#include "app/registry.h"
#include "app/startup.h"
#include "certificates/certificatecards.h"
#include "patients/core/patientlines.h"
#include "patients/patientsearch.h"
#include "patients/tfrmclienti.h"
#include "storage/archive.h"
#include "storage/programfolder.h"
#include "lists/certificatesearch.h"
#include "lists/core/listorder.h"
#include "app/reportui.h"
#include "lists/summaryprint.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "benchsupport.h"

using namespace vornel;

namespace {

const char* const kSurnames[] = {"Rossi", "Bianchi", "Verdi", "Neri", "Gallo", "Conti", "Ricci", "Marino",
                                 "Greco", "Bruno", "Colombo", "Romano", "Esposito", "Ferrari", "Fontana", "Moretti"};
const char* const kNames[] = {"Mario", "Anna", "Luca", "Giulia", "Marco", "Sara", "Paolo", "Elena", "Andrea", "Chiara"};

QString personName(int i)
{
    return QStringLiteral("%1 %2 %3")
        .arg(QLatin1String(kSurnames[(i * 7) % 16]), QLatin1String(kNames[(i * 3) % 10]))
        .arg((i * 7919) % 100003);
}

void fillPatient(Record& r, int i)
{
    r.setText("txtPaziente", personName(i));
    r.setText("txtDataNasc", QStringLiteral("12/05/1980"));
    r.setText("txtComuneNasc", QStringLiteral("Forl\u00ec"));
    r.setText("txtProvNasc", QStringLiteral("FC"));
    r.setText("txtRecapito", QStringLiteral("333 1234567"));
    r.setText("txtIndirizzoRes", QStringLiteral("Via Garibaldi 12"));
    r.setText("txtComuneRes", QStringLiteral("Cesena"));
    r.setText("txtCapRes", QStringLiteral("47521"));
    r.setText("txtCodFisc", QStringLiteral("RSSMRA80E12D704X"));
    r.setText("txtTessera", QString::number(80380000 + i));
    r.setText("txtPatologie", QStringLiteral("Asma lieve da sforzo, controllata con terapia al bisogno."));
    r.setText("txtNote", QStringLiteral("Controllo annuale; gruppo %1.").arg(i % 10));
    r.setText("txtQuestioni", QStringLiteral("Portare referto ECG."));
    r.setFlag("chkRicontatta", i % 7 == 0);
}

void fillCertificate(Record& r, int i)
{
    const RecordLayout& l = r.layout();
    r.setText("txtStudioDent", QStringLiteral("Studio Medico Sportivo"));
    r.setText("txtMedico", QStringLiteral("Dott. Neri"));
    r.setText("txtPaziente", personName(i));
    r.setText("txtLuogoNasc", QStringLiteral("Forl\u00ec FC"));
    r.setText("txtDataNasc", QStringLiteral("12/05/1980"));
    r.setText("txtResidenza", QStringLiteral("Via Garibaldi 12 - CAP 47521 - Cesena FC"));
    r.setText("txtData", QStringLiteral("%1/05/2024").arg(1 + i % 28, 2, 10, QLatin1Char('0')));
    if (l.indexOf(std::string_view("txtSportRichiesto")) >= 0)
        r.setText("txtSportRichiesto", QStringLiteral("Calcio"));
    if (l.indexOf(std::string_view("txtDataScade")) >= 0)
        r.setText("txtDataScade", QStringLiteral("14/05/2025"));
    r.setFlag("chkCompletato", i % 3 == 0);
}

double resident()
{
    return double(bench::residentBytes()) / (1024.0 * 1024.0);
}

// Presses Cerca in a search window and waits for the list to be drawn.
double cerca(SearchWindow& w)
{
    QElapsedTimer t;
    t.start();
    w.btnCerca->click();
    QApplication::processEvents();
    return bench::ms(t);
}

void row(const char* what, double value, const char* unit, double reference, const char* refWhat)
{
    std::printf("%-58s %9.1f %s   %s %9.1f %s\n", what, value, unit, refWhat, reference, unit);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int records = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    setProgramFolder(dir.path());

    std::printf("writing %d patients and %d certificates of each kind...\n", records, records);
    bench::writeArchive(archives::Pazienti, records, fillPatient);
    for (const ArchiveDef* def : {&archives::Certificati, &archives::Agonistici, &archives::Disabili, &archives::NonIdoneita})
        bench::writeArchive(*def, records, fillCertificate);
    const QString patients = programPath(QStringLiteral("Pazienti.vrn"));
    bench::plainReadMs(patients); // warm the page cache

    msg::setResponder([](msg::Kind, const QString& text) {
        std::printf("message: %s\n", qPrintable(text));
        return true;
    });
    printing::setPrintSeam([](const report::Document&, QWidget*) { return true; });
    startUp();
    QApplication::processEvents();
    const double idle = resident();
    auto* card = instance<TfrmClienti>();
    goTo(card, nullptr);
    QApplication::processEvents();

    std::printf("file: %.1f MB of patients\n\n", double(QFile(patients).size()) / 1e6);

    // The core search of the patient search (scan, filter, lines, sort),
    // runs interleaved with plain reads of the same file; best of five each.
    double plain = 1e18;
    double best[2] = {1e18, 1e18};
    qsizetype count[2] = {0, 0};
    const char* const filters[2] = {"", "rossi"};
    for (int run = 0; run < 5; ++run) {
        plain = std::min(plain, bench::plainReadMs(patients));
        for (int k = 0; k < 2; ++k) {
            QElapsedTimer t;
            t.start();
            Archive a(archives::Pazienti);
            a.open();
            lists::Selection selection(layouts::TSchedaPaziente);
            selection.addFilter("txtPaziente", QString::fromLatin1(filters[k]));
            QStringList lines =
                lists::selectLines(a, lists::LineBuilder(layouts::TSchedaPaziente, lists::kPazienteLine), selection);
            sortFold(lines);
            count[k] = lines.size();
            best[k] = std::min(best[k], bench::ms(t));
        }
    }
    for (int k = 0; k < 2; ++k) {
        const QByteArray what = QStringLiteral("core search of patients, %1 (%2 lines)")
                                    .arg(k ? QStringLiteral("one filter") : QStringLiteral("no filter"))
                                    .arg(count[k])
                                    .toLatin1();
        row(what.constData(), best[k], "ms", plain, "plain read");
        std::printf("%-58s %9.2f      (at most 2)\n", "   ratio to the plain read", best[k] / plain);
    }
    std::printf("\n");

    // Cerca in the real windows.
    auto search = [&](SearchWindow& w, const char* label, const char* filter) {
        w.show();
        QApplication::processEvents();
        if (*filter)
            w.filter(QStringLiteral("txtPaziente"))->setText(QString::fromLatin1(filter));
        const double t = cerca(w);
        const QByteArray what = QStringLiteral("Cerca in %1, %2 (%3 lines)")
                                    .arg(QLatin1String(label),
                                         *filter ? QStringLiteral("one filter") : QStringLiteral("no filter"))
                                    .arg(w.lineCount())
                                    .toLatin1();
        row(what.constData(), t, "ms", 1000, "budget");
    };
    {
        TfrmTrovaClienti w(card);
        w.lblMemory->setText(QStringLiteral("clienti"));
        search(w, "TfrmTrovaClienti", "");
        const double shown = resident();

        // Trova over every line: a text only the last line holds, then one no
        // line holds (each press walks the whole list).
        const QStringList lines = w.lines();
        w.txtTrova->setText(lines.last().left(26).trimmed());
        double worst = 0, total = 0;
        const int presses = 10;
        for (int i = 0; i < presses; ++i) {
            if (i == presses / 2)
                w.txtTrova->setText(QStringLiteral("nessuno ha questo testo"));
            QElapsedTimer t;
            t.start();
            w.btnTrova->click();
            QApplication::processEvents();
            worst = std::max(worst, bench::ms(t));
            total += bench::ms(t);
        }
        row("Trova over every line, slowest of 10 presses", worst, "ms", 50, "budget");
        row("Trova over every line, mean of 10 presses", total / presses, "ms", 50, "budget");

        // The hand-over rescans the archive.
        w.selectRow(int(lines.size() / 2));
        QElapsedTimer t;
        t.start();
        w.lstRecordsDblClick();
        QApplication::processEvents();
        row("double-click hand-over to the patient card", bench::ms(t), "ms", 300, "budget");
        std::printf("%-58s %9.1f MB   budget %9.1f MB  (idle %.1f MB)\n", "memory above the idle program, lines shown",
                    shown - idle, 150.0, idle);
    }
    {
        TfrmTrovaClienti w(card);
        search(w, "TfrmTrovaClienti", "rossi");
    }
    {
        TfrmRicontatta w(card);
        QElapsedTimer t;
        t.start();
        w.show();
        QApplication::processEvents();
        const QByteArray what = QStringLiteral("TfrmRicontatta opened (%1 lines)").arg(w.lineCount()).toLatin1();
        row(what.constData(), bench::ms(t), "ms", 1000, "budget");
    }
    struct Kind {
        const char* label;
        CertificateCard* card;
    };
    const Kind kinds[] = {{"TfrmTrovaCertificati", instance<TfrmCertificati>()},
                          {"TfrmTrovaCertificatiNon", instance<TfrmCertificati_NonIdoneita>()},
                          {"TfrmTrovaCertificatiAgo", instance<TfrmCertificati_Agonistici>()},
                          {"TfrmTrovaCertificatiDis", instance<TfrmCertificati_Disabili>()}};
    for (const Kind& k : kinds) {
        for (const char* filter : {"", "rossi"}) {
            std::unique_ptr<SearchWindow> w;
            if (k.card == instance<TfrmCertificati>())
                w = std::make_unique<TfrmTrovaCertificati>(k.card);
            else if (k.card == instance<TfrmCertificati_NonIdoneita>())
                w = std::make_unique<TfrmTrovaCertificatiNon>(k.card);
            else if (k.card == instance<TfrmCertificati_Agonistici>())
                w = std::make_unique<TfrmTrovaCertificatiAgo>(k.card);
            else
                w = std::make_unique<TfrmTrovaCertificatiDis>(k.card);
            search(*w, k.label, filter);
        }
    }
    {
        QElapsedTimer t;
        t.start(); // the list is built when the window is created
        TfrmSelezionateAgo w(instance<TfrmCertificati_Agonistici>());
        w.show();
        QApplication::processEvents();
        const QByteArray what = QStringLiteral("TfrmSelezionateAgo opened (%1 lines)").arg(w.lineCount()).toLatin1();
        row(what.constData(), bench::ms(t), "ms", 1000, "budget");
    }
    std::printf("\n");

    // Stampa of 10 000 lines (one patient in ten), prepared for the printer.
    {
        TfrmTrovaClienti w(card);
        w.show();
        w.filter(QStringLiteral("txtNote"))->setText(QStringLiteral("gruppo 3."));
        cerca(w);
        QElapsedTimer t;
        t.start();
        w.btnStampa->click();
        const QByteArray what = QStringLiteral("Stampa of %1 lines, prepared").arg(w.lineCount()).toLatin1();
        row(what.constData(), bench::ms(t), "ms", 2000, "budget");
    }
    // Preparing grows in step with the list: twice the lines, twice the time.
    for (int n : {5000, 10000, 20000, 40000}) {
        QStringList lines;
        for (int i = 0; i < n; ++i)
            lines << QStringLiteral("%1  Tel. 333 1234567      CF: RSSMRA80E12D704X  Tessera n. %2")
                         .arg(personName(i), -26)
                         .arg(80380000 + i);
        QElapsedTimer t;
        t.start();
        printSummary(card, QStringLiteral("Riepilogo pazienti"), lines);
        const QByteArray what = QStringLiteral("summary of %1 lines, prepared").arg(n).toLatin1();
        row(what.constData(), bench::ms(t), "ms", 2000.0 * n / 10000, "linear budget");
    }
    shutDown();
    return 0;
}
