#include "documents/layout_summary.h"

namespace vornel::layouts {

using namespace report;

namespace {
constexpr Style kBar{"Verdana", 9, true, HAlign::Centre, VAlign::Top, colors::kSlateGray, true, colors::kWhite};
constexpr Style kClosingBar{"Verdana", 8, true, HAlign::Centre, VAlign::Top, colors::kSlateGray, true, colors::kWhite};
constexpr Style kList{"Courier New", 8, false, HAlign::Left, VAlign::Top, colors::kNone, false, colors::kBlack,
                      kSummaryLinePitch};

constexpr Item kItems[] = {
    band(Kind::ReportTitle, "ReportTitle", 30.23624),
    memo("txtTitolo", 7.55906, 3.77953, 1031.81169, 18.89765, kBar, "Riepilogo"),
    band(Kind::MasterData, "MasterData", 105.82684),
    memo("txtRiepilogo", 11.33859, 0, 1031.81169, 102.04731, kList, ""),
    band(Kind::Footer, "Footer", 30.23624),
    memo("txtPagina", 11.33859, 7.55906, 1028.03216, 18.89765, kClosingBar, "Stampa eseguita in data [DATE]"),
};
} // namespace

const LayoutDef& summary()
{
    static const LayoutDef layout{"Riepilogo dati", Orientation::Landscape, QMarginsF(10, 10, 10, 10), kItems};
    return layout;
}

} // namespace vornel::layouts
