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

// Whether two texts name the same person or sport: compared trimmed, with
// every inner run of blanks as one blank, under the program's A-Z folding.
bool sameName(QStringView a, QStringView b);
// Whether two birth dates are one: as dates when both can be read
// ("1/1/1990", "01/01/1990" and "01.01.1990" are one), else as names.
bool sameDate(QStringView a, QStringView b);

// Of the certificates of one athlete for one sport (same name, birth date
// and sport requested), keeps the one issued last. Taken in the order they
// are stored (the competitive archive, then the disabled athletes' one,
// each by position), a certificate is later than the one before it when it
// was issued on the same day or after, or when either date of issue cannot
// be read: then the one stored later counts.
// The order of the survivors is the order of the input.
std::vector<Certificate> latestOnly(const std::vector<Certificate>& all);

// The telephone of each patient, found by name and date of birth (compared
// as sameName and sameDate do). Patient records of one name and date that
// give different numbers give none, since the list cannot tell which one
// to call; records that give the same number give that number.
class PhoneBook {
public:
    // The number a patient record gives: "Tel. preferenziale", else
    // "Tel. cellulare", else "Tel. casa" (trimmed; blank when all are).
    static QString chooseNumber(QStringView preferred, QStringView mobile, QStringView home);
    // Adds the number one patient record gives; a blank one adds nothing.
    void add(QStringView name, QStringView birth, QStringView phone);
    // Blank when no patient record of that name and date of birth gives a
    // number, or when they give different numbers.
    QString phone(QStringView name, QStringView birth) const;

private:
    struct Entry {
        QString phone;
        bool ambiguous = false;
    };
    QHash<QString, Entry> m_entries; // by the compared form of name and birth
};

struct Query {
    QDate today;
    int days = 30;               // days ahead of today, today included
    bool includeExpired = false; // also those expired in the last 12 months
};

struct Entry {
    Certificate cert;
    QDate expiry;  // invalid when the stored text is not a date
    int daysLeft = 0; // negative when expired; 0 when the dates are not usable
    bool incoherent = false; // expiry before the date of issue
    QString phone;
    bool readable() const { return expiry.isValid(); }
    // Whether the days left mean anything: a readable expiry, not before issue.
    bool counted() const { return readable() && !incoherent; }
};

// The certificates the list shows: those expiring from today to today plus
// 'days' (and, when asked, those expired from 12 months before today to
// yesterday), sorted by expiry date then name, followed by every certificate
// whose dates cannot be trusted (an expiry date that cannot be read, or one
// before the date of issue) whatever its expiry, sorted by name. Only the
// latest certificate of each athlete and sport counts.
std::vector<Entry> select(const std::vector<Certificate>& all, const Query& query, const PhoneBook& phones);

// How many certificates (latest per athlete and sport, readable dates, not
// expiring before issue) expire from today to today plus 'days'.
int countExpiring(const std::vector<Certificate>& all, const QDate& today, int days);

// Caption marking a certificate whose expiry date cannot be read.
QString unreadableMark();
// Caption marking a certificate that expires before its date of issue.
QString incoherentMark();

// The fixed-width list line of one entry:
//   expiry in 10, "  ", "Giorni: " and the days right-aligned in 5 (or the
//   unreadable or incoherent mark) in 18, "  ", name in 30, "  Nascita: ", birth in 10,
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
