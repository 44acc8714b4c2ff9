// Generates a 100,000-record patient archive and compares a full scan (read
// and convert every field of every record) with a plain sequential read of
// the same file. Not run by CI: build the target and run it by hand.
#include "storage/archive.h"
#include "storage/programfolder.h"
#include "storage/records.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

using namespace vornel;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    setProgramFolder(dir.path());
    const RecordLayout& layout = layouts::TSchedaPaziente;
    const QString path = programPath(QString::fromLatin1(archives::Pazienti.fileName));

    {
        // Realistic field lengths: names, addresses, a few notes.
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        Record r(layout);
        QByteArray block;
        for (int i = 0; i < records; ++i) {
            r.clear();
            r.setText("txtPaziente", QStringLiteral("Rossi Mario %1").arg(i));
            r.setText("txtDataNasc", QStringLiteral("12/05/1980"));
            r.setText("txtComuneNasc", QStringLiteral("Forl\u00ec"));
            r.setText("txtProvNasc", QStringLiteral("FC"));
            r.setText("txtSesso", QStringLiteral("M"));
            r.setText("txtRecapito", QStringLiteral("333 1234567"));
            r.setText("txtIndirizzoRes", QStringLiteral("Via Garibaldi 12"));
            r.setText("txtComuneRes", QStringLiteral("Cesena"));
            r.setText("txtCapRes", QStringLiteral("47521"));
            r.setText("txtCodFisc", QStringLiteral("RSSMRA80E12D704X"));
            r.setText("txtEmail", QStringLiteral("mario.rossi@example.it"));
            r.setText("txtPatologie", QStringLiteral("Asma lieve da sforzo, controllata con terapia al bisogno."));
            r.setText("txtNote", QStringLiteral("Controllo annuale; portare referto ECG."));
            r.setFlag("chkRicontatta", i % 7 == 0);
            block += r.bytes();
            if (block.size() > (8 << 20)) {
                f.write(block);
                block.clear();
            }
        }
        f.write(block);
    }

    // Warm the page cache so both runs read from memory.
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        while (!f.read(1 << 20).isEmpty()) {
        }
    }

    const qint64 bytes = qint64(records) * layout.size();
    double plainMs = 1e18, scanMs = 1e18;
    qint64 checksum = 0;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        std::vector<char> buf(1 << 20);
        qint64 got = 0, n;
        while ((n = f.read(buf.data(), qint64(buf.size()))) > 0) {
            got += n;
            checksum += buf[0];
        }
        plainMs = qMin(plainMs, t.nsecsElapsed() / 1e6);

        t.restart();
        Archive a(archives::Pazienti);
        a.open();
        RecordText text;
        a.scan([&](const char* rec, qint64) {
            text.decode(layout, rec);
            for (int field = 0; field < layout.fieldCount(); ++field)
                checksum += text.field(field).size();
        });
        a.close();
        scanMs = qMin(scanMs, t.nsecsElapsed() / 1e6);
    }
    const double mb = bytes / 1048576.0;
    std::printf("records: %d, file: %.1f MiB\n", records, mb);
    std::printf("plain sequential read: %8.1f ms  %8.1f MiB/s\n", plainMs, mb / (plainMs / 1000));
    std::printf("full scan + convert:   %8.1f ms  %8.1f MiB/s\n", scanMs, mb / (scanMs / 1000));
    std::printf("scan throughput / plain read throughput: %.2f (checksum %lld)\n", plainMs / scanMs,
                static_cast<long long>(checksum));
    return 0;
}
