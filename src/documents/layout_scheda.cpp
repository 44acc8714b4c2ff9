#include "documents/layout_scheda.h"

#include <array>

namespace vornel::layouts {

using namespace report;

namespace {
constexpr int kRows = 24;
constexpr double kRowTop = 90.70872;
constexpr double kRowPitch = 37.7953; // one centimetre

constexpr Style kTitle{"Arial", 16, false, HAlign::Centre, VAlign::Centre, colors::kDarkOrange, false, colors::kWhite};
constexpr Style kFieldTitle{"Arial", 9, false, HAlign::Left, VAlign::Centre, colors::kTeal, false, colors::kWhite};
constexpr Style kFieldValue{"Arial", 10, false, HAlign::Left, VAlign::Centre, colors::kNone, false, colors::kBlack};
constexpr Style kClosing{"Arial", 10, false, HAlign::Centre, VAlign::Centre, colors::kDarkOrange, false, colors::kWhite};

constexpr const char* kTitleNames[kRows] = {
    "titCampo01", "titCampo02", "titCampo03", "titCampo04", "titCampo05", "titCampo06", "titCampo07", "titCampo08",
    "titCampo09", "titCampo10", "titCampo11", "titCampo12", "titCampo13", "titCampo14", "titCampo15", "titCampo16",
    "titCampo17", "titCampo18", "titCampo19", "titCampo20", "titCampo21", "titCampo22", "titCampo23", "titCampo24"};
constexpr const char* kValueNames[kRows] = {
    "txtCampo01", "txtCampo02", "txtCampo03", "txtCampo04", "txtCampo05", "txtCampo06", "txtCampo07", "txtCampo08",
    "txtCampo09", "txtCampo10", "txtCampo11", "txtCampo12", "txtCampo13", "txtCampo14", "txtCampo15", "txtCampo16",
    "txtCampo17", "txtCampo18", "txtCampo19", "txtCampo20", "txtCampo21", "txtCampo22", "txtCampo23", "txtCampo24"};
constexpr const char* kDesignTexts[kRows] = {
    "Campo 1",  "Campo 2",  "Campo 3",  "Campo 4",  "Campo 5",  "Campo 6",  "Campo 7",  "Campo 8",
    "Campo 9",  "Campo 10", "Campo 11", "Campo 12", "Campo 13", "Campo 14", "Campo 15", "Campo 16",
    "Campo 17", "Campo 18", "Campo 19", "Campo 20", "Campo 21", "Campo 22", "Campo 23", "Campo 24"};

constexpr auto kItems = [] {
    std::array<Item, 5 + 2 * kRows> items{};
    int i = 0;
    items[i++] = picture("imgLogo", 11.33859, 11.33859, 64.25201, 49.13389, ":/art/logo_print.svg");
    items[i++] = memo("txtTitolo", 86.92919, 11.33859, 623.62245, 34.01577, kTitle, "Titolo Scheda");
    items[i++] = line("linSepara01", 86.92919, 60.47248, 623.62245);
    for (int n = 0; n < kRows; ++n) {
        const double top = kRowTop + n * kRowPitch;
        items[i++] = memo(kTitleNames[n], 11.33859, top, 196.53556, 22.67718, kFieldTitle, kDesignTexts[n]);
        items[i++] = memo(kValueNames[n], 226.7718, top, 483.77984, 22.67718, kFieldValue, kDesignTexts[n]);
    }
    items[i++] = line("linSepara02", 11.33859, 1001.57545, 699.21305);
    items[i++] = memo("txtCalce", 11.33859, 1016.69357, 699.21305, 22.67718, kClosing, "Termine scheda");
    return items;
}();
} // namespace

const LayoutDef& scheda()
{
    static const LayoutDef layout{"Scheda informativa", Orientation::Portrait, QMarginsF(10, 10, 10, 10), kItems};
    return layout;
}

QString schedaTitleMemo(int row)
{
    return QString::fromLatin1(kTitleNames[row - 1]);
}

QString schedaValueMemo(int row)
{
    return QString::fromLatin1(kValueNames[row - 1]);
}

} // namespace vornel::layouts
