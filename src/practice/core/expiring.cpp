#include "practice/core/expiring.h"

#include "storage/archive.h"
#include "storage/records.h"
#include "storage/text.h"

#include <algorithm>
#include <memory>
#include <numeric>
#include <utility>

namespace vornel::expiring {

namespace {

// Reads 1 to 'maxDigits' digits at 'i'; -1 when there are none.
int readNumber(QStringView s, qsizetype& i, int maxDigits)
{
    int value = 0, digits = 0;
    while (i < s.size() && digits < maxDigits && s[i] >= u'0' && s[i] <= u'9') {
        value = value * 10 + (s[i].unicode() - u'0');
        ++i;
        ++digits;
    }
    return digits == 0 ? -1 : value;
}

bool isSeparator(QChar c)
{
    return c == u'/' || c == u'.' || c == u'-';
}

// Separators and marks that cannot occur in a compared name, whose control
// characters have all become blanks.
constexpr char16_t kPartEnd = 0x1F;
constexpr char16_t kDateMark = 0x01;

// The compared form of a name: trimmed, every inner run of blanks (spaces
// and control characters) one blank, A-Z folded.
void appendName(QString& out, QStringView text)
{
    bool blank = false;
    for (QChar c : trimmedView(text)) {
        if (c.unicode() <= 32) {
            blank = true;
            continue;
        }
        if (blank) {
            out += u' ';
            blank = false;
        }
        out += foldChar(c);
    }
}

// The compared form of a date: its day when it can be read, else its text
// as a name.
void appendDate(QString& out, QStringView text)
{
    const QDate d = parseDate(text);
    if (!d.isValid()) {
        appendName(out, text);
        return;
    }
    out += QChar(kDateMark);
    out += QString::number(d.toJulianDay());
}

QString personKey(QStringView name, QStringView birth)
{
    QString key;
    key.reserve(name.size() + 12);
    appendName(key, name);
    key += QChar(kPartEnd);
    appendDate(key, birth);
    return key;
}

QString athleteAndSportKey(const Certificate& c)
{
    QString key = personKey(c.name, c.birth);
    key += QChar(kPartEnd);
    appendName(key, c.sport);
    return key;
}

// Two telephone texts give the same number when they hold the same digits
// (and "+"), however they are spaced or separated.
QString numberKey(QStringView phone)
{
    QString key;
    for (QChar c : phone)
        if (c.isDigit() || c == u'+')
            key += c;
    if (key.isEmpty())
        appendName(key, phone); // no digits at all: as it is written
    return key;
}

QString column(QStringView text, int width)
{
    const QString t = trimmed(text);
    return t.size() >= width ? t.left(width) : t.leftJustified(width, u' ');
}

} // namespace

QDate parseDate(QStringView text)
{
    const QStringView s = trimmedView(text);
    qsizetype i = 0;
    const int day = readNumber(s, i, 2);
    if (day < 0 || i >= s.size() || !isSeparator(s[i]))
        return {};
    const QChar sep = s[i++];
    const int month = readNumber(s, i, 2);
    if (month < 0 || i >= s.size() || s[i] != sep)
        return {};
    ++i;
    const qsizetype yearStart = i;
    int year = readNumber(s, i, 4);
    const qsizetype yearDigits = i - yearStart;
    if (year < 0 || i != s.size() || (yearDigits != 2 && yearDigits != 4))
        return {};
    if (yearDigits == 2)
        year += 2000;
    const QDate d(year, month, day);
    return d.isValid() ? d : QDate();
}

QString unreadableMark()
{
    return QStringLiteral("data non leggibile");
}

QString kindText(Kind kind)
{
    return kind == Kind::Agonistico ? QStringLiteral("Agonistico") : QStringLiteral("Disabili");
}

QString incoherentMark()
{
    return QStringLiteral("date incoerenti");
}

bool sameName(QStringView a, QStringView b)
{
    QString x, y;
    appendName(x, a);
    appendName(y, b);
    return x == y;
}

bool sameDate(QStringView a, QStringView b)
{
    QString x, y;
    appendDate(x, a);
    appendDate(y, b);
    return x == y;
}

std::vector<Certificate> latestOnly(const std::vector<Certificate>& all)
{
    const std::size_t n = all.size();
    // The order of storing: the competitive archive first, then the disabled
    // athletes' one (the order they are read in), each by position.
    std::vector<std::size_t> stored(n);
    std::iota(stored.begin(), stored.end(), std::size_t(0));
    std::stable_sort(stored.begin(), stored.end(), [&](std::size_t a, std::size_t b) {
        if (all[a].kind != all[b].kind)
            return all[a].kind < all[b].kind;
        return all[a].position < all[b].position;
    });
    std::vector<QDate> issued(n);
    QHash<QString, std::size_t> latest; // the latest so far of each athlete and sport
    latest.reserve(qsizetype(n));
    for (std::size_t i : stored) {
        issued[i] = parseDate(all[i].issued);
        const QString key = athleteAndSportKey(all[i]);
        const auto it = latest.find(key);
        if (it == latest.end()) {
            latest.insert(key, i);
            continue;
        }
        // Issued on the same day or after: the later one. A date of issue that
        // cannot be read on either: the one stored later.
        const QDate& before = issued[*it];
        if (!issued[i].isValid() || !before.isValid() || issued[i] >= before)
            *it = i;
    }
    std::vector<bool> keep(n, false);
    for (std::size_t i : std::as_const(latest))
        keep[i] = true;
    std::vector<Certificate> out;
    out.reserve(std::size_t(latest.size()));
    for (std::size_t i = 0; i < n; ++i)
        if (keep[i])
            out.push_back(all[i]);
    return out;
}

QString PhoneBook::chooseNumber(QStringView preferred, QStringView mobile, QStringView home)
{
    for (QStringView number : {preferred, mobile, home})
        if (!trimmedView(number).isEmpty())
            return trimmed(number);
    return {};
}

void PhoneBook::add(QStringView name, QStringView birth, QStringView phone)
{
    const QStringView number = trimmedView(phone);
    if (number.isEmpty())
        return;
    const QString key = personKey(name, birth);
    const auto it = m_entries.find(key);
    if (it == m_entries.end())
        m_entries.insert(key, {number.toString(), false});
    else if (numberKey(it->phone) != numberKey(number))
        it->ambiguous = true;
}

QString PhoneBook::phone(QStringView name, QStringView birth) const
{
    const auto it = m_entries.constFind(personKey(name, birth));
    if (it == m_entries.cend() || it->ambiguous)
        return {};
    return it->phone;
}

std::vector<Entry> select(const std::vector<Certificate>& all, const Query& query, const PhoneBook& phones)
{
    const QDate last = query.today.addDays(query.days);
    const QDate first = query.includeExpired ? query.today.addMonths(-12) : query.today;
    std::vector<Entry> shown, unchecked;
    for (const Certificate& c : latestOnly(all)) {
        Entry e;
        e.expiry = parseDate(c.expires);
        if (e.expiry.isValid()) {
            const QDate issued = parseDate(c.issued);
            e.incoherent = issued.isValid() && e.expiry < issued;
            if (!e.incoherent) {
                if (e.expiry < first || e.expiry > last)
                    continue;
                e.daysLeft = int(query.today.daysTo(e.expiry));
            }
        }
        e.cert = c;
        e.phone = phones.phone(c.name, c.birth);
        (e.counted() ? shown : unchecked).push_back(std::move(e));
    }
    auto byName = [](const Entry& a, const Entry& b) { return compareFold(a.cert.name, b.cert.name) < 0; };
    std::stable_sort(shown.begin(), shown.end(), [&](const Entry& a, const Entry& b) {
        return a.expiry != b.expiry ? a.expiry < b.expiry : byName(a, b);
    });
    std::stable_sort(unchecked.begin(), unchecked.end(), byName);
    shown.insert(shown.end(), std::make_move_iterator(unchecked.begin()), std::make_move_iterator(unchecked.end()));
    return shown;
}

int countExpiring(const std::vector<Certificate>& all, const QDate& today, int days)
{
    const QDate last = today.addDays(days);
    int n = 0;
    for (const Certificate& c : latestOnly(all)) {
        const QDate d = parseDate(c.expires);
        if (!d.isValid() || d < today || d > last)
            continue;
        const QDate issued = parseDate(c.issued);
        if (!issued.isValid() || d >= issued)
            ++n;
    }
    return n;
}

namespace {
// What stands in place of the days when they mean nothing.
QString mark(const Entry& e)
{
    return e.readable() ? incoherentMark() : unreadableMark();
}
} // namespace

QString lineText(const Entry& e)
{
    const QString days = e.counted() ? QStringLiteral("Giorni: %1").arg(e.daysLeft, 5) : mark(e);
    QString line;
    line.reserve(160);
    line += column(e.readable() ? e.expiry.toString(QStringLiteral("dd/MM/yyyy")) : e.cert.expires, 10);
    line += u"  ";
    line += column(days, 18);
    line += u"  ";
    line += column(e.cert.name, 30);
    line += u"  Nascita: ";
    line += column(e.cert.birth, 10);
    line += u"  Sport: ";
    line += column(e.cert.sport, 30);
    line += u"  ";
    line += column(kindText(e.cert.kind), 10);
    line += u"  Tel.: ";
    line += e.phone;
    return line;
}

QStringList exportHeadings()
{
    return {QStringLiteral("Scadenza"), QStringLiteral("Giorni"), QStringLiteral("Paziente"),
            QStringLiteral("Data di nascita"), QStringLiteral("Sport"), QStringLiteral("Tipo"),
            QStringLiteral("Telefono")};
}

QStringList exportCells(const Entry& e)
{
    return {e.readable() ? e.expiry.toString(QStringLiteral("dd/MM/yyyy")) : e.cert.expires,
            e.counted() ? QString::number(e.daysLeft) : mark(e),
            e.cert.name,
            e.cert.birth,
            e.cert.sport,
            kindText(e.cert.kind),
            e.phone};
}

xls::Sheet exportSheet(const std::vector<Entry>& entries)
{
    xls::Sheet sheet;
    sheet.name = QStringLiteral("Certificati In Scadenza");
    const int widths[] = {100, 60, 250, 100, 250, 100, 150};
    const QStringList headings = exportHeadings();
    for (int c = 0; c < headings.size(); ++c)
        sheet.columns.append({headings[c], widths[c]});
    sheet.rows = qint64(entries.size());
    // The cells of the row asked last, kept alive for the view handed out.
    auto row = std::make_shared<std::pair<qint64, QStringList>>(-1, QStringList());
    sheet.cell = [&entries, row](qint64 r, int c) {
        if (row->first != r)
            *row = {r, exportCells(entries[std::size_t(r)])};
        return xls::Cell::fromText(row->second[c]);
    };
    return sheet;
}

QString summarySentence(int count, int days)
{
    if (count == 0)
        return QStringLiteral("Nessun certificato agonistico in scadenza nei prossimi %1 giorni.").arg(days);
    if (count == 1)
        return QStringLiteral("1 certificato agonistico scade nei prossimi %1 giorni.").arg(days);
    return QStringLiteral("%1 certificati agonistici scadono nei prossimi %2 giorni.").arg(count).arg(days);
}

std::vector<Certificate> readCertificates()
{
    const RecordLayout& layout = layouts::TSchedaAgonistica;
    const int fName = layout.indexOf("txtPaziente"), fBirth = layout.indexOf("txtDataNasc"),
              fSport = layout.indexOf("txtSportRichiesto"), fIssued = layout.indexOf("txtData"),
              fExpires = layout.indexOf("txtDataScade");
    std::vector<Certificate> out;
    // The competitive archive first: the order of storing across both.
    const std::pair<const ArchiveDef*, Kind> sources[] = {{&archives::Agonistici, Kind::Agonistico},
                                                          {&archives::Disabili, Kind::Disabili}};
    for (const auto& source : sources) {
        const Kind kind = source.second;
        Archive archive(*source.first);
        archive.open();
        out.reserve(out.size() + std::size_t(archive.count()));
        archive.scan([&](const char* rec, qint64 index) {
            Certificate c;
            c.kind = kind;
            c.position = index + 1;
            c.name = fieldText(layout, rec, fName);
            c.birth = fieldText(layout, rec, fBirth);
            c.sport = fieldText(layout, rec, fSport);
            c.issued = fieldText(layout, rec, fIssued);
            c.expires = fieldText(layout, rec, fExpires);
            out.push_back(std::move(c));
        });
        archive.close();
    }
    return out;
}

PhoneBook readPhoneBook()
{
    const RecordLayout& layout = layouts::TSchedaPaziente;
    const int fName = layout.indexOf("txtPaziente"), fBirth = layout.indexOf("txtDataNasc"),
              fPreferred = layout.indexOf("txtRecapito"), fMobile = layout.indexOf("txtTelCel"),
              fHome = layout.indexOf("txtTelCasa");
    PhoneBook book;
    Archive archive(archives::Pazienti);
    archive.open();
    archive.scan([&](const char* rec, qint64) {
        book.add(fieldText(layout, rec, fName), fieldText(layout, rec, fBirth),
                 PhoneBook::chooseNumber(fieldText(layout, rec, fPreferred), fieldText(layout, rec, fMobile),
                                         fieldText(layout, rec, fHome)));
    });
    archive.close();
    return book;
}

} // namespace vornel::expiring
