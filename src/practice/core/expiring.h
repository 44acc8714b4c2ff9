#pragma once
#include "export/core/xlsexport.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// Competitive certificates about to expire: reading the free-text expiry
// dates, keeping only the latest certificate of each athlete and sport,
// choosing the ones inside the range asked for, the telephone to call and
// the fixed-width list line.
namespace vornel::expiring {

// Reads a date typed as day, month, year separated by "/", "." or "-"; a
// two-digit year is 20yy. Blanks around the text are ignored. Anything that
// is not a real calendar date gives an invalid QDate.
QDate parseDate(QStringView text);

enum class Kind { Agonistico, Disabili };
QString kindText(Kind kind);

// One stored competitive certificate, as far as the list needs it. Texts
// are the trimmed stored values.
struct Certificate {
    Kind kind = Kind::Agonistico;
    qint64 position = 0; // 1-based position in its archive
    QString name;        // txtPaziente
    QString birth;       // txtDataNasc
    QString sport;       // txtSportRichiesto
    QString issued;      // txtData
    QString expires;     // txtDataScade
};

// Of the certificates of one athlete for one sport (name, birth date and
// sport requested equal under the program's A-Z folding), keeps the one
// issued last: the latest readable date of issue, then the latest position
// (a date of issue that cannot be read counts as older than any other).
// The order of the survivors is the order of the input.
std::vector<Certificate> latestOnly(const std::vector<Certificate>& all);

// The telephone of each patient, found by name and date of birth under the
// program's A-Z folding; a name and date shared by two or more patients has
// no telephone, since the list cannot tell which one to call.
class PhoneBook {
public:
    void add(QStringView name, QStringView birth, QStringView phone);
    // Blank when no patient or more than one has that name and date of birth.
    QString phone(QStringView name, QStringView birth) const;

private:
    struct Entry {
        QString name, birth, phone;
        int count = 0;
    };
    // By the folded hash of name and birth; a list per hash for the rare
    // different people who share one.
    QHash<quint64, QList<Entry>> m_entries;
};

struct Query {
    QDate today;
    int days = 30;               // days ahead of today, today included
    bool includeExpired = false; // also those expired in the last 12 months
};

struct Entry {
    Certificate cert;
    QDate expiry;  // invalid when the stored text is not a date
    int daysLeft = 0; // negative when expired; 0 when the date is not readable
    QString phone;
    bool readable() const { return expiry.isValid(); }
};

// The certificates the list shows: those expiring from today to today plus
// 'days' (and, when asked, those expired from 12 months before today to
// yesterday), sorted by expiry date then name, followed by every certificate
// whose expiry date cannot be read, sorted by name. Only the latest
// certificate of each athlete and sport counts.
std::vector<Entry> select(const std::vector<Certificate>& all, const Query& query, const PhoneBook& phones);

// How many certificates (latest per athlete and sport, readable date) expire
// from today to today plus 'days'.
int countExpiring(const std::vector<Certificate>& all, const QDate& today, int days);

// Caption marking a certificate whose expiry date cannot be read.
QString unreadableMark();

// The fixed-width list line of one entry:
//   expiry in 10, "  ", "Giorni: " and the days right-aligned in 5 (or the
//   unreadable mark) in 18, "  ", name in 30, "  Nascita: ", birth in 10,
//   "  Sport: ", sport in 30, "  ", kind in 10, "  Tel.: ", telephone.
QString lineText(const Entry& entry);

// The cells of the spreadsheet export, in the order of exportHeadings().
QStringList exportHeadings();
QStringList exportCells(const Entry& entry);
// The worksheet of the export, over 'entries' (which must outlive it).
xls::Sheet exportSheet(const std::vector<Entry>& entries);

// The sentence of the tools window about the certificates expiring in the
// next 'days' days.
QString summarySentence(int count, int days = 30);

// Reads both competitive archives of the program folder (a missing one is
// created empty) into certificates. Throws ArchiveError on failure.
std::vector<Certificate> readCertificates();
// Reads the telephones of the patient archive of the program folder.
PhoneBook readPhoneBook();

} // namespace vornel::expiring
