// The export windows at scale: 100,000 patients (about 443 MB of archive)
// and 100,000 certificates of each kind. For each window it measures the
// time to open it with its grid filled (budget: one second, beside a plain
// read of the same archive), the memory of the grid's cells against the
// size of the file it writes (budget: three times), and the speed of
// writing the file (budget: 100 MB/s, beside a plain write of as many
// bytes). Beside the .xls it writes the same grid as a native workbook
// (.xlsx, budget: 5 s for 100,000 patients and a process memory growth
// under 100 MB while it is written). Not run by CI: build the target and
// run it by hand, e.g.
//   QT_QPA_PLATFORM=offscreen build/bench/bench_export [records]
#include "app/startup.h"
#include "storage/archive.h"
#include "storage/programfolder.h"
#include "storage/records.h"
#include "export/core/xlsexport.h"
#include "export/core/xlsxexport.h"
#include "export/exportflow.h"
#include "export/exportwindows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <functional>
#include <thread>
#include <memory>
#include <vector>

#include "benchsupport.h"

using namespace vornel;

namespace {

void patient(Record& r, int i)
{
    r.setText("txtPaziente", QStringLiteral("Rossi Mario %1").arg(i));
    r.setText("txtDataNasc", QStringLiteral("12/05/1980"));
    r.setText("txtComuneNasc", QStringLiteral("Forl\u00ec"));
    r.setText("txtProvNasc", QStringLiteral("FC"));
    r.setText("txtSesso", QStringLiteral("M"));
    r.setText("txtRecapito", QStringLiteral("333 1234567"));
    r.setText("txtIndirizzoRes", QStringLiteral("Via Garibaldi 12"));
    r.setText("txtComuneRes", QStringLiteral("Cesena"));
    r.setText("txtProvRes", QStringLiteral("FC"));
    r.setText("txtProfessione", QStringLiteral("Insegnante"));
    r.setText("txtASL", QStringLiteral("AUSL Romagna"));
    r.setText("txtTelCel", QStringLiteral("347 7654321"));
    r.setText("txtEmail", QStringLiteral("mario.rossi@example.it"));
    r.setText("txtCodFisc", QStringLiteral("RSSMRA80E12D704X"));
    r.setText("txtTessera", QStringLiteral("80380 000123"));
    r.setText("txtGruppo", QStringLiteral("0 Rh+"));
    r.setText("txtVaccinazioni", QStringLiteral("Carta d'identit\u00e0 CA12345BX"));
    r.setText("txtPatologie", QStringLiteral("Asma lieve da sforzo, controllata con terapia al bisogno."));
    r.setText("txtAllergie", QStringLiteral("Graminacee & pollini <stagionali>"));
    r.setText("txtFarmaci", QStringLiteral("Salbutamolo al bisogno"));
    r.setText("txtNote", QStringLiteral("Controllo annuale; portare referto ECG."));
    r.setFlag("chkRicontatta", i % 7 == 0);
}

void certificate(Record& r, int i)
{
    const bool athlete = r.layout().indexOf(std::string_view("txtDocumento")) >= 0;
    r.setText("txtStudioDent", QStringLiteral("Studio Medico Sportivo Salus"));
    r.setText("txtIndirizzoDent", QStringLiteral("Viale Roma 10"));
    r.setText("txtCittaDent", QStringLiteral("Forl\u00ec"));
    r.setText("txtMedico", QStringLiteral("Dott. Bianchi Luca"));
    r.setText("txtCodice", QStringLiteral("FC-1234"));
    r.setText("txtPaziente", QStringLiteral("Verdi Giulia %1").arg(i));
    r.setText("txtLuogoNasc", QStringLiteral("Ravenna"));
    r.setText("txtDataNasc", QStringLiteral("03/09/2008"));
    r.setText("txtResidenza", QStringLiteral("Via Mazzini 5, Cesena (FC)"));
    if (athlete) {
        r.setText("txtDocumento", QStringLiteral("Carta d'identit\u00e0 CA98765ZX"));
        r.setText("txtSportRichiesto", QStringLiteral("Pallavolo"));
        r.setText("txtSportApprovato", QStringLiteral("Pallavolo"));
        if (r.layout().indexOf(std::string_view("txtDataScade")) >= 0)
            r.setText("txtDataScade", QStringLiteral("14/03/2027"));
    } else {
        r.setText("txtDataECG", QStringLiteral("10/03/2026"));
    }
    r.setText("txtLuogo", QStringLiteral("Forl\u00ec"));
    r.setText("txtData", QStringLiteral("14/03/2026"));
    r.setFlag("chkCompletato", i % 3 == 0);
}

double plainWriteMs(const QString& path, qint64 bytes)
{
    const QByteArray block(1 << 20, 'x');
    QElapsedTimer t;
    t.start();
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    for (qint64 done = 0; done < bytes; done += block.size())
        f.write(block.constData(), qMin<qint64>(block.size(), bytes - done));
    f.close();
    return t.nsecsElapsed() / 1e6;
}

// The highest resident memory of the process while 'work' runs, less the
// memory before it, sampled every few milliseconds.
qint64 peakGrowth(const std::function<void()>& work)
{
    const qint64 before = bench::residentBytes();
    std::atomic<bool> done{false};
    std::atomic<qint64> peak{before};
    std::thread sampler([&] {
        while (!done) {
            const qint64 now = bench::residentBytes();
            if (now > peak)
                peak = now;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    work();
    done = true;
    sampler.join();
    return qMax<qint64>(qMax<qint64>(peak, bench::residentBytes()) - before, 0);
}

template <class Window>
void measure(const char* name)
{
    const QString archive = programPath(QString::fromLatin1(Window(nullptr).grid()->def().archive->fileName));
    bench::plainReadMs(archive); // warm the page cache
    const double readMs = bench::plainReadMs(archive);

    const qint64 rssBefore = bench::residentBytes();
    QElapsedTimer t;
    t.start();
    auto window = std::make_unique<Window>(nullptr);
    window->show();
    QCoreApplication::processEvents();
    const double openMs = t.nsecsElapsed() / 1e6;
    const qint64 rssGrid = bench::residentBytes() - rssBefore;

    const QString path = window->exportPath();
    t.restart();
    const bool ok = xls::writeFile(path, window->grid()->sheet());
    const double writeMs = t.nsecsElapsed() / 1e6;
    const qint64 fileBytes = QFileInfo(path).size();
    const double plainMs = plainWriteMs(path + QStringLiteral(".plain"), fileBytes);
    QFile::remove(path + QStringLiteral(".plain"));
    const double mb = fileBytes / 1e6;

    std::printf("%s: %lld records, archive %.1f MB, file %.1f MB%s\n", name,
                static_cast<long long>(window->grid()->filledRows()), QFileInfo(archive).size() / 1e6, mb,
                ok ? "" : " (WRITE FAILED)");
    std::printf("  open with grid filled: %8.1f ms   (budget 1000 ms; plain read of the archive %.1f ms)\n", openMs,
                readMs);
    std::printf("  grid cells memory:     %8.1f MB = %.2f x file (budget 3 x); process grew %.1f MB = %.2f x file\n",
                window->grid()->memoryBytes() / 1e6, double(window->grid()->memoryBytes()) / fileBytes,
                rssGrid / 1e6, double(rssGrid) / fileBytes);
    std::printf("  write file:            %8.1f ms = %6.1f MB/s (budget 100 MB/s; plain write %.1f MB/s)\n", writeMs,
                mb / (writeMs / 1000), mb / (plainMs / 1000));

    // The same grid as a native workbook, beside the .xls just written.
    const QString xlsxPath = exporting::xlsxPath(path);
    bool xlsxOk = false;
    t.restart();
    // Processor time too: on a busy machine the elapsed time says little.
    const std::clock_t cpu = std::clock();
    const qint64 grew = peakGrowth([&] { xlsxOk = xlsx::writeFile(xlsxPath, window->grid()->sheet()); });
    const double xlsxMs = t.nsecsElapsed() / 1e6;
    const double xlsxCpuMs = double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
    std::printf("  write .xlsx:           %8.1f ms = %.2f x the .xls (budget 5000 ms; processor time %.1f ms),"
                " %.1f MB%s; process grew %.1f MB while writing (budget 100 MB)\n",
                xlsxMs, xlsxMs / writeMs, xlsxCpuMs, QFileInfo(xlsxPath).size() / 1e6,
                xlsxOk ? "" : " (WRITE FAILED)", grew / 1e6);
    QFile::remove(xlsxPath);
    QFile::remove(path);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    prepareApplication();
    const int records = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    setProgramFolder(dir.path());
    bench::writeArchive(archives::Pazienti, records, patient);
    bench::writeArchive(archives::Certificati, records, certificate);
    bench::writeArchive(archives::Agonistici, records, certificate);
    bench::writeArchive(archives::Disabili, records, certificate);
    bench::writeArchive(archives::NonIdoneita, records, certificate);

    measure<TfrmExpClienti>("TfrmExpClienti");
    measure<TfrmExpCertificati>("TfrmExpCertificati");
    measure<TfrmExpCertificatiAgo>("TfrmExpCertificatiAgo");
    measure<TfrmExpCertificatiDis>("TfrmExpCertificatiDis");
    measure<TfrmExpCertificatiNon>("TfrmExpCertificatiNon");
    return 0;
}
