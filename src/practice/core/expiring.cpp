#include "practice/core/expiring.h"

#include "storage/archive.h"
#include "storage/records.h"
#include "storage/text.h"

#include <algorithm>
#include <memory>

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

// A hash of texts compared trimmed under the program's A-Z folding: equal
// keys give equal hashes, and different keys almost never do (those that
// do are told apart by comparing the texts).
quint64 foldHash(std::initializer_list<QStringView> parts)
{
    quint64 h = 1469598103934665603ULL; // FNV-1a
    for (QStringView part : parts) {
        for (QChar c : trimmedView(part)) {
            h ^= foldChar(c).unicode();
            h *= 1099511628211ULL;
        }
        h ^= 0x1F; // between the parts
        h *= 1099511628211ULL;
    }
    return h;
}

bool sameFolded(QStringView a, QStringView b)
{
    return equalsFold(trimmedView(a), trimmedView(b));
}

bool sameAthleteAndSport(const Certificate& a, const Certificate& b)
{
    return sameFolded(a.name, b.name) && sameFolded(a.birth, b.birth) && sameFolded(a.sport, b.sport);
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

std::vector<Certificate> latestOnly(const std::vector<Certificate>& all)
{
    const std::size_t n = all.size();
    std::vector<QDate> issued(n);
    std::vector<std::pair<quint64, std::size_t>> keyed(n);
    for (std::size_t i = 0; i < n; ++i) {
        issued[i] = parseDate(all[i].issued);
        keyed[i] = {foldHash({all[i].name, all[i].birth, all[i].sport}), i};
    }
    std::sort(keyed.begin(), keyed.end());
    // Later is better: a readable date of issue first, then the date, then
    // the position (and the disabled athletes' archive after the other one).
    auto later = [&](std::size_t a, std::size_t b) {
        const QDate &da = issued[a], &db = issued[b];
        if (da.isValid() != db.isValid())
            return da.isValid();
        if (da != db)
            return da > db;
        if (all[a].position != all[b].position)
            return all[a].position > all[b].position;
        return all[a].kind > all[b].kind;
    };
    std::vector<bool> keep(n, false);
    std::vector<std::size_t> run, grouped;
    for (std::size_t r = 0; r < n;) {
        std::size_t end = r + 1;
        while (end < n && keyed[end].first == keyed[r].first)
            ++end;
        // One hash, nearly always one athlete and sport: split it by the
        // texts themselves all the same.
        run.clear();
        for (std::size_t k = r; k < end; ++k)
            run.push_back(keyed[k].second);
        while (!run.empty()) {
            std::size_t best = run.front();
            grouped.clear();
            for (std::size_t k = 1; k < run.size(); ++k) {
                if (sameAthleteAndSport(all[run[k]], all[run.front()])) {
                    if (later(run[k], best))
                        best = run[k];
                } else {
                    grouped.push_back(run[k]);
                }
            }
            keep[best] = true;
            run.swap(grouped);
        }
        r = end;
    }
    std::vector<Certificate> out;
    for (std::size_t i = 0; i < n; ++i)
        if (keep[i])
            out.push_back(all[i]);
    return out;
}

void PhoneBook::add(QStringView name, QStringView birth, QStringView phone)
{
    QList<Entry>& same = m_entries[foldHash({name, birth})];
    for (Entry& e : same)
        if (sameFolded(e.name, name) && sameFolded(e.birth, birth)) {
            ++e.count;
            return;
        }
    same.append({name.toString(), birth.toString(), trimmed(phone), 1});
}

QString PhoneBook::phone(QStringView name, QStringView birth) const
{
    const auto it = m_entries.constFind(foldHash({name, birth}));
    if (it == m_entries.cend())
        return {};
    for (const Entry& e : *it)
        if (sameFolded(e.name, name) && sameFolded(e.birth, birth))
            return e.count == 1 ? e.phone : QString();
    return {};
}

std::vector<Entry> select(const std::vector<Certificate>& all, const Query& query, const PhoneBook& phones)
{
    const QDate last = query.today.addDays(query.days);
    const QDate first = query.includeExpired ? query.today.addMonths(-12) : query.today;
    std::vector<Entry> shown, unreadable;
    for (const Certificate& c : latestOnly(all)) {
        Entry e;
        e.expiry = parseDate(c.expires);
        if (e.expiry.isValid()) {
            if (e.expiry < first || e.expiry > last)
                continue;
            e.daysLeft = int(query.today.daysTo(e.expiry));
        }
        e.cert = c;
        e.phone = phones.phone(c.name, c.birth);
        (e.expiry.isValid() ? shown : unreadable).push_back(std::move(e));
    }
    auto byName = [](const Entry& a, const Entry& b) { return compareFold(a.cert.name, b.cert.name) < 0; };
    std::stable_sort(shown.begin(), shown.end(), [&](const Entry& a, const Entry& b) {
        return a.expiry != b.expiry ? a.expiry < b.expiry : byName(a, b);
    });
    std::stable_sort(unreadable.begin(), unreadable.end(), byName);
    shown.insert(shown.end(), std::make_move_iterator(unreadable.begin()), std::make_move_iterator(unreadable.end()));
    return shown;
}

int countExpiring(const std::vector<Certificate>& all, const QDate& today, int days)
{
    const QDate last = today.addDays(days);
    int n = 0;
    for (const Certificate& c : latestOnly(all)) {
        const QDate d = parseDate(c.expires);
        if (d.isValid() && d >= today && d <= last)
            ++n;
    }
    return n;
}

QString lineText(const Entry& e)
{
    const QString days = e.readable() ? QStringLiteral("Giorni: %1").arg(e.daysLeft, 5) : unreadableMark();
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
            e.readable() ? QString::number(e.daysLeft) : unreadableMark(),
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
    for (const auto& [def, kind] : {std::pair{&archives::Agonistici, Kind::Agonistico},
                                    std::pair{&archives::Disabili, Kind::Disabili}}) {
        Archive archive(*def);
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
              fPhone = layout.indexOf("txtRecapito");
    PhoneBook book;
    Archive archive(archives::Pazienti);
    archive.open();
    archive.scan([&](const char* rec, qint64) {
        book.add(fieldText(layout, rec, fName), fieldText(layout, rec, fBirth), fieldText(layout, rec, fPhone));
    });
    archive.close();
    return book;
}

} // namespace vornel::expiring
