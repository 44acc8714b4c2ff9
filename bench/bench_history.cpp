// The history of changes at scale: opening the history window of one patient
// over 100,000 history records of the patient archive (about 450 MB), beside
// a plain read of the same file; and the patient card's Salva that
// overwrites a record (the old record appended to the history and synced
// first) beside a Salva that overwrites without keeping history, median of
// 1,000 each, in the same run.
//
//   bench_history [history records] [work folder]
#include "benchsupport.h"

#include "app/messages.h"
#include "app/startup.h"
#include "patients/tfrmclienti.h"
#include "practice/historywindow.h"
#include "storage/archive.h"
#include "storage/clock.h"
#include "storage/history.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace vornel;

namespace {

constexpr int kPatients = 2000;
constexpr int kTarget = 1234; // the patient whose history is opened

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// 'count' history records of the patient archive, spread over every patient;
// the target patient has one version in every thousand.
void writeHistory(const QString& path, int count)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        std::exit(1);
    Record r(layouts::TSchedaPaziente);
    QByteArray block;
    const QDateTime when(QDate(2025, 1, 1), QTime(8, 0));
    for (int i = 0; i < count; ++i) {
        const int position = i % 1000 == 0 ? kTarget : 1 + (i * 7919) % kPatients;
        r.clear();
        r.setText("txtPaziente", QStringLiteral("PAZIENTE %1 VERSIONE %2").arg(position).arg(i));
        r.setText("txtRecapito", QStringLiteral("051 %1").arg(i));
        r.setText("txtNote", QStringLiteral("Nota della versione %1 ").repeated(8).arg(i));
        block += history::encode(position, when.addSecs(i), QStringLiteral("STUDIO-PC"), r.bytes());
        if (block.size() > (8 << 20)) {
            f.write(block);
            block.clear();
        }
    }
    f.write(block);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepareApplication();
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir tmp(argc > 2 ? QDir(QString::fromLocal8Bit(argv[2])).filePath(QStringLiteral("bench_history_XXXXXX"))
                               : QDir::temp().filePath(QStringLiteral("bench_history_XXXXXX")));
    setProgramFolder(tmp.path());
    msg::setResponder([](msg::Kind, const QString&) { return true; });

    bench::writeArchive(archives::Pazienti, kPatients, [](Record& r, int i) {
        r.setText("txtPaziente", QStringLiteral("PAZIENTE %1").arg(i + 1));
        r.setText("txtRecapito", QStringLiteral("051 %1").arg(i));
        r.setText("txtCodFisc", QStringLiteral("RSSMRA80A01H501U"));
        r.setFlag("chkRicontatta", false);
    });
    const QString hist = programPath(history::fileNameFor(archives::Pazienti));
    writeHistory(hist, count);
    std::printf("History: %d records, %.1f MB (%d patients)\n", count, double(QFileInfo(hist).size()) / 1e6, kPatients);

    TfrmClienti card;

    // Opening the window: read the record and its versions, fill the list and
    // show it. Median of five, each beside a plain read of the whole file.
    std::vector<double> open, plain;
    int lines = 0;
    for (int run = 0; run < 5; ++run) {
        plain.push_back(bench::plainReadMs(hist));
        QElapsedTimer t;
        t.start();
        TfrmStorico window(&card, archives::Pazienti, kTarget);
        if (!window.load())
            return 1;
        window.show();
        QCoreApplication::processEvents();
        open.push_back(bench::ms(t));
        lines = window.lineCount();
        window.close();
    }
    std::printf("Open TfrmStorico (%d versions):  %8.1f ms   plain read of the history: %8.1f ms   budget: 500 ms  %s\n",
                lines, median(open), median(plain), median(open) < 500 ? "ok" : "OVER");

    // Salva on the card over a stored record, 1,000 times each way:
    // unchanged record (nothing to keep: the overwrite alone) and a changed
    // one (the old record appended to the history and synced first).
    auto salva = [&](int position, const QString& name) {
        card.loadRecord([&] {
            Record r(layouts::TSchedaPaziente);
            Archive a(archives::Pazienti);
            a.open();
            a.seek(position - 1);
            a.read(r);
            return r;
        }(), position);
        card.txtPaziente->setText(name);
        QElapsedTimer t;
        t.start();
        card.cmdSalva->click();
        return bench::ms(t);
    };
    std::vector<double> without, with;
    for (int i = 0; i < 1000; ++i) {
        const int position = 1 + i % 500;
        // The same name again: nothing changes, no history is written.
        without.push_back(salva(position, QStringLiteral("PAZIENTE %1").arg(position)));
        // A new name: the record as it was goes to the history first.
        with.push_back(salva(position, QStringLiteral("PAZIENTE %1").arg(position) + (i % 2 ? " A" : " B")));
        salva(position, QStringLiteral("PAZIENTE %1").arg(position)); // back as it was (not timed)
    }
    const double w = median(with), wo = median(without);
    std::printf("Salva overwriting, median of 1000:  with history %.3f ms   without %.3f ms   ratio %.2f  (budget 2.00)  %s\n",
                w, wo, w / wo, w <= 2 * wo ? "ok" : "OVER");
    return 0;
}
