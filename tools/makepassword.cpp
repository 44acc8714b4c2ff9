// Writes the initial password file of a new installation: the scrambled form
// of the initial password named in the help (stored, as every password, in capitals).
#include "app/core/crypt.h"
#include "app/core/helptopics.h"
#include "storage/text.h"
#include "storage/inifile.h"

#include <QFile>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makepassword <file>\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    QFile::remove(path);
    try {
        vornel::IniFile(path).write(QStringLiteral("Accesso"), QStringLiteral("Valore"),
                                    Crypt::Encrypt(vornel::upperAscii(vornel::help::initialPassword())));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
