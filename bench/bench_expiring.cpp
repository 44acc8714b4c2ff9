// The competitive certificates about to expire, over 100,000 certificates in
// each competitive archive and 100,000 patients. Prints each figure beside
// its budget, with a plain sequential read of the same files as reference.
// Not run by CI:
//   cmake --build build --target bench_expiring && build/bench/bench_expiring [records]
#include "app/mainmenu.h"
#include "app/messages.h"
#include "app/registry.h"
#include "app/startup.h"
#include "storage/archive.h"
#include "storage/clock.h"
#include "storage/programfolder.h"
#include "practice/core/expiring.h"
#include "practice/expiringwindow.h"
#include "practice/strumenti.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

#include "benchsupport.h"

using namespace vornel;

namespace {

const char* const kSurnames[] = {"Rossi", "Bianchi", "Verdi", "Neri", "Gallo", "Conti", "Ricci", "Marino"};
const char* const kSports[] = {"CALCIO", "NUOTO", "PALLAVOLO", "ATLETICA LEGGERA", "CICLISMO"};

QString personName(int i)
{
    return QStringLiteral("%1 Atleta %2").arg(QLatin1String(kSurnames[i % 8])).arg(i);
}

QString birth(int i)
{
    return QStringLiteral("%1/%2/19%3")
        .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
        .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
        .arg(60 + i % 40);
}

// Certificates issued over the last two years, valid one year; every fifth
// athlete renewed (two certificates), a few with an unreadable expiry.
void fillCertificate(Record& r, int i)
{
    const int athlete = i - i / 5;
    const QDate issued = QDate(2025, 1, 1).addDays(i % 700);
    r.setText("txtStudioDent", QStringLiteral("Studio Medico Sportivo"));
    r.setText("txtMedico", QStringLiteral("Dott. Neri"));
    r.setText("txtPaziente", personName(athlete));
    r.setText("txtDataNasc", birth(athlete));
    r.setText("txtLuogoNasc", QStringLiteral("Forl\u00ec FC"));
    r.setText("txtResidenza", QStringLiteral("Via Garibaldi 12 - CAP 47521 - Cesena FC"));
    r.setText("txtSportRichiesto", QString::fromLatin1(kSports[athlete % 5]));
    r.setText("txtSportApprovato", QString::fromLatin1(kSports[athlete % 5]));
    r.setText("txtNumMesi", QStringLiteral("12"));
    r.setText("txtData", clock::shortDate(issued));
    r.setText("txtDataScade", i % 997 == 0 ? QStringLiteral("non so") : clock::shortDate(issued.addYears(1)));
    r.setFlag("chkCompletato", true);
}

void fillPatient(Record& r, int i)
{
    r.setText("txtPaziente", personName(i));
    r.setText("txtDataNasc", birth(i));
    r.setText("txtRecapito", QStringLiteral("333 %1").arg(1000000 + i));
    r.setText("txtComuneRes", QStringLiteral("Cesena"));
    r.setFlag("chkRicontatta", false);
}

double plainRead(const QStringList& names)
{
    QStringList paths;
    for (const QString& n : names)
        paths << programPath(n);
    return bench::plainReadMs(paths);
}

// The time from asking a dialog to open until it is on screen, filled;
// 'inspect' sees the dialog before it is closed.
template <class Open>
double timeToShow(Open open, const std::function<void(QWidget*)>& inspect = {})
{
    double shown = 0;
    QElapsedTimer t;
    QTimer::singleShot(0, [&] {
        t.start();
        QTimer::singleShot(0, [&] {
            // The window is up once the event loop turns again.
            shown = bench::ms(t);
            if (QWidget* w = QApplication::activeModalWidget()) {
                if (inspect)
                    inspect(w);
                w->close();
            }
        });
        open();
    });
    QTimer::singleShot(0, [] {});
    while (shown == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return shown;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int records = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    setProgramFolder(dir.path());
    msg::setResponder([](msg::Kind, const QString&) { return true; });
    clock::setFixedNow(QDateTime(QDate(2026, 6, 1), QTime(9, 0)));

    bench::writeArchive(archives::Agonistici, records, fillCertificate);
    bench::writeArchive(archives::Disabili, records, fillCertificate);
    bench::writeArchive(archives::Pazienti, records, fillPatient);
    std::printf("%d certificates in each competitive archive, %d patients\n", records, records);

    startUp();
    const QStringList all{QString::fromLatin1(archives::Agonistici.fileName),
                          QString::fromLatin1(archives::Disabili.fileName),
                          QString::fromLatin1(archives::Pazienti.fileName)};
    const QStringList certs = all.mid(0, 2);
    for (int run = 0; run < 3; ++run) {
        const double readAll = plainRead(all);
        const double readCerts = plainRead(certs);

        QElapsedTimer t;
        t.start();
        const auto read = expiring::readCertificates();
        const double reading = bench::ms(t);
        const int n = expiring::countExpiring(read, clock::today(), 30);
        const double count = bench::ms(t);
        std::printf("run %d: reading %.0f ms, counting %.0f ms\n", run + 1, reading, count - reading);

        int lines = 0;
        const double list = timeToShow(
            [&] {
                TfrmScadenze window(instance<TfrmAvvio>());
                window.exec();
            },
            [&](QWidget* w) {
                if (auto* shownList = qobject_cast<TfrmScadenze*>(w))
                    lines = shownList->lineCount();
            });
        const double tools = timeToShow([&] {
            TfrmStrumenti window(instance<TfrmAvvio>());
            window.exec();
        });
        std::printf("run %d: list of %d lines shown in %.0f ms (budget 1000 ms; plain read of the three files %.0f ms)\n",
                    run + 1, lines, list, readAll);
        std::printf("run %d: tools window with its label shown in %.0f ms, count alone %.0f ms (%d expiring; "
                    "budget 300 ms; plain read of the two archives %.0f ms)\n",
                    run + 1, tools, count, n, readCerts);
    }
    shutDown();
    return 0;
}
