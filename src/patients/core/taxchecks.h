#pragma once
#include <QString>
#include <QStringView>

#include <optional>

// Checks of the Italian tax code (codice fiscale) and VAT number (partita
// IVA) by their check characters, and the VAT office table.
namespace vornel::taxchecks {

// Value of a tax-code character in an odd (1st, 3rd ... 15th) or even (2nd
// ... 14th) position; nullopt for a character outside the tables (the tables
// run from '0' to 'Z'; the seven signs between '9' and 'A' count 0).
std::optional<int> oddValue(QChar c);
std::optional<int> evenValue(QChar c);

// The check character of a tax code from its first 15 characters (upper
// case); nullopt when one of them has no value in the tables.
std::optional<QChar> codFiscCheckChar(QStringView first15);

// Luhn check digit of the first ten digits of a VAT number; nullopt when one
// of them is not a digit.
std::optional<int> partitaIvaCheckDigit(QStringView first10);
// Eleven digits with the right check digit.
bool partitaIvaValid(QStringView number);

// The VAT office named by a three-digit code ("015" -> "Milano 1"); empty
// for a code not in the table.
QString vatOffice(QStringView code);
// Number of offices in the table.
int vatOfficeCount();

// What a check shows the user.
struct Outcome {
    enum Kind { LengthWarning, Valid, Wrong };
    Kind kind;
    QString message;
    bool isWarning() const { return kind != Valid; }
};

// The tax code check of the check window: the text is taken in upper case
// (letters a-z only), not trimmed.
Outcome checkCodFisc(const QString& text);
// The VAT number check of the check window.
Outcome checkPartitaIva(const QString& text);

} // namespace vornel::taxchecks
