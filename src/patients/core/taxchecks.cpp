#include "patients/core/taxchecks.h"

#include "storage/text.h"

#include <array>

namespace vornel::taxchecks {

namespace {

// Odd-position values of 0-9 (and, the same, of A-J), then of K-Z.
constexpr std::array<int, 10> kOddDigits{1, 0, 5, 7, 9, 13, 15, 17, 19, 21};
constexpr std::array<int, 16> kOddLetters{2, 4, 18, 20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};

struct Office {
    int code;
    const char16_t* name;
};

constexpr Office kOffices[] = {
    {1, u"Torino"}, {2, u"Vercelli"}, {3, u"Novara"}, {4, u"Cuneo"}, {5, u"Asti"},
    {6, u"Alessandria"}, {7, u"Aosta"}, {8, u"Imperia"}, {9, u"Savona"}, {10, u"Genova 1"},
    {11, u"La Spezia"}, {12, u"Varese"}, {13, u"Como"}, {14, u"Sondrio"}, {15, u"Milano 1"},
    {16, u"Bergamo"}, {17, u"Brescia 1"}, {18, u"Pavia"}, {19, u"Cremona"}, {20, u"Mantova"},
    {21, u"Bolzano"}, {22, u"Trento"}, {23, u"Verona"}, {24, u"Vicenza"}, {25, u"Belluno"},
    {26, u"Treviso"}, {27, u"Venezia"}, {28, u"Padova"}, {29, u"Rovigo"}, {30, u"Udine"},
    {31, u"Gorizia"}, {32, u"Trieste"}, {33, u"Piacenza"}, {34, u"Parma"}, {35, u"Reggio Emilia"},
    {36, u"Modena"}, {37, u"Bologna 1"}, {38, u"Ferrara"}, {39, u"Ravenna"}, {40, u"Forl\u00ec"},
    {41, u"Pesaro"}, {42, u"Ancona"}, {43, u"Macerata"}, {44, u"Ascoli Piceno"}, {45, u"Massa Carrara"},
    {46, u"Lucca"}, {47, u"Pistoia"}, {48, u"Firenze 1"}, {49, u"Livorno"}, {50, u"Pisa"},
    {51, u"Arezzo"}, {52, u"Siena"}, {53, u"Grosseto"}, {54, u"Perugia"}, {55, u"Terni"},
    {56, u"Viterbo"}, {57, u"Rieti"}, {58, u"Roma 1"}, {59, u"Latina"}, {60, u"Frosinone"},
    {61, u"Caserta"}, {62, u"Benevento"}, {63, u"Napoli 1"}, {64, u"Avellino"}, {65, u"Salerno"},
    {66, u"Aquila"}, {67, u"Teramo"}, {68, u"Pescara"}, {69, u"Chieti"}, {70, u"Campobasso"},
    {71, u"Foggia"}, {72, u"Bari"}, {73, u"Taranto"}, {74, u"Brindisi"}, {75, u"Lecce"},
    {76, u"Potenza"}, {77, u"Matera"}, {78, u"Cosenza"}, {79, u"Catanzaro"}, {80, u"Reggio Calabria"},
    {81, u"Trapani"}, {82, u"Palermo"}, {83, u"Messina"}, {84, u"Agrigento"}, {85, u"Caltanissetta"},
    {86, u"Enna"}, {87, u"Catania"}, {88, u"Ragusa"}, {89, u"Siracusa"}, {90, u"Sassari"},
    {91, u"Nuoro"}, {92, u"Cagliari"}, {93, u"Pordenone"}, {94, u"Isernia"}, {95, u"Oristano"},
    {96, u"Monza (Milano 2)"}, {97, u"Prato (Firenze 2)"}, {98, u"Brescia 2"}, {99, u"Chiavari (Genova 2)"},
    {100, u"Roma 2"}, {101, u"Bologna 2"}, {102, u"Napoli 2"}, {120, u"Bologna 2"}, {121, u"Napoli 2"},
};
static_assert(std::size(kOffices) == 104, "the VAT office table has 104 entries");

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

} // namespace

std::optional<int> oddValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return kOddDigits[u - u'0'];
    if (u > u'9' && u < u'A')
        return 0;
    if (u >= u'A' && u <= u'J')
        return kOddDigits[u - u'A'];
    if (u >= u'K' && u <= u'Z')
        return kOddLetters[u - u'K'];
    return std::nullopt;
}

std::optional<int> evenValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u > u'9' && u < u'A')
        return 0;
    if (u >= u'A' && u <= u'Z')
        return u - u'A';
    return std::nullopt;
}

std::optional<QChar> codFiscCheckChar(QStringView first15)
{
    if (first15.size() < 15)
        return std::nullopt;
    int sum = 0;
    for (int i = 0; i < 15; ++i) {
        // Position i + 1: odd positions are the even indexes.
        const auto v = (i % 2 == 0) ? oddValue(first15[i]) : evenValue(first15[i]);
        if (!v)
            return std::nullopt;
        sum += *v;
    }
    return QChar(char16_t(u'A' + sum % 26));
}

std::optional<int> partitaIvaCheckDigit(QStringView first10)
{
    if (first10.size() < 10)
        return std::nullopt;
    int total = 0;
    for (int i = 0; i < 10; ++i) {
        if (!isDigit(first10[i]))
            return std::nullopt;
        const int d = first10[i].unicode() - u'0';
        if (i % 2 == 0) {
            total += d; // positions 1, 3, 5, 7, 9
        } else {
            const int twice = 2 * d; // positions 2, 4, 6, 8, 10
            total += twice / 10 + twice % 10;
        }
    }
    return (10 - total % 10) % 10;
}

bool partitaIvaValid(QStringView number)
{
    if (number.size() != 11 || !isDigit(number[10]))
        return false;
    const auto check = partitaIvaCheckDigit(number.first(10));
    return check && *check == number[10].unicode() - u'0';
}

QString vatOffice(QStringView code)
{
    if (code.size() != 3 || !isDigit(code[0]) || !isDigit(code[1]) || !isDigit(code[2]))
        return {};
    const int n = (code[0].unicode() - u'0') * 100 + (code[1].unicode() - u'0') * 10 + (code[2].unicode() - u'0');
    for (const auto& office : kOffices)
        if (office.code == n)
            return QString::fromUtf16(office.name);
    return {};
}

int vatOfficeCount()
{
    return int(std::size(kOffices));
}

Outcome checkCodFisc(const QString& text)
{
    const QString code = upperAscii(text);
    if (code.size() != 16)
        return {Outcome::LengthWarning,
                QStringLiteral("Attenzione: il codice fiscale deve essere composto da 16 caratteri alfanumerici.")};
    // A character outside the tables gives no check character: never valid.
    const auto expected = codFiscCheckChar(QStringView(code).first(15));
    if (expected && *expected == code[15])
        return {Outcome::Valid, QStringLiteral("Il codice fiscale digitato \u00e8 VALIDO.")};
    return {Outcome::Wrong, QStringLiteral("Attenzione: il codice fiscale digitato \u00e8 ERRATO.")};
}

Outcome checkPartitaIva(const QString& text)
{
    const QString number = upperAscii(text);
    if (number.size() != 11)
        return {Outcome::LengthWarning,
                QStringLiteral("Attenzione: la partita IVA deve essere composta da 11 caratteri numerici.")};
    if (!partitaIvaValid(number))
        return {Outcome::Wrong,
                QStringLiteral("Attenzione: il numero di partita IVA digitato risulta ERRATO!\r\n\r\n"
                               "Non \u00e8 quindi possibile fornire informazioni relative all'Ufficio IVA "
                               "che lo ha rilasciato.")};
    return {Outcome::Valid,
            QStringLiteral("Il numero di partita IVA digitato risulta VALIDO.\r\n\r\n"
                           "E' stato rilasciato dall'Ufficio IVA del Comune di ")
                + vatOffice(QStringView(number).sliced(7, 3)) + QLatin1Char('.')};
}

} // namespace vornel::taxchecks
