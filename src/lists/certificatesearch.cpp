#include "lists/certificatesearch.h"

#include "app/cardwindow.h"
#include "app/registry.h"
#include "lists/core/certificatelines.h"

#include <memory>

using namespace vornel;

namespace {

// Hands a record to the card of the class named, found in the registry.
template <const char* CardClass>
void loadIntoCard(const Record& record, qint64 position)
{
    if (CardWindow* card = findCard(CardClass))
        card->loadRecord(record, position);
}

constexpr char kCertificatiCard[] = "TfrmCertificati";
constexpr char kNonIdoneitaCard[] = "TfrmCertificati_NonIdoneita";
constexpr char kAgonisticiCard[] = "TfrmCertificati_Agonistici";
constexpr char kDisabiliCard[] = "TfrmCertificati_Disabili";

constexpr const char* kInstructions =
    "Digitare una o più parole consecutive contenute nelle schede da cercare nei campi prescelti e premere il "
    "pulsante Cerca.\nLasciare vuoti tutti gli altri campi.\nSi possono usare uno o più campi insieme in ogni ricerca.";
constexpr const char* kBanner = "RISULTATI DI RICERCA";
constexpr const char* kSearchHint = "Fare doppio clic sulla voce in elenco per richiamare la scheda";

#define VORNEL_COMMON_FILTERS                                                                                 \
    {"txtPaziente", "Paziente:", "txtPaziente", false},                                                       \
        {"txtLuogoNasc", "Luogo di nascita:", "txtLuogoNasc", false},                                         \
        {"txtDataNasc", "Data di nascita:", "txtDataNasc", false},                                            \
        {"txtResidenza", "Indirizzo di residenza:", "txtResidenza", false},                                   \
        {"txtData", "Data emissione certificato (gg/mm/aaaa):", "txtData", false}
constexpr records::Filter kPhysicianFilters[] = {
    VORNEL_COMMON_FILTERS, {"txtMedico", "Medico certificatore:", "txtMedico", false}};
constexpr records::Filter kSportFilters[] = {
    VORNEL_COMMON_FILTERS,
    {"txtSportRichiesto", "Sport per cui è stata richiesta la visita:", "txtSportRichiesto", false}};
#undef VORNEL_COMMON_FILTERS

constexpr records::Target kCertificatiTarget[] = {{"certificati", &loadIntoCard<kCertificatiCard>}};
constexpr records::Target kNonTarget[] = {{"certificati_nonidoneita", &loadIntoCard<kNonIdoneitaCard>}};
constexpr records::Target kAgoTarget[] = {{"certificati_agonistici", &loadIntoCard<kAgonisticiCard>}};
constexpr records::Target kDisTarget[] = {{"certificati_disabili", &loadIntoCard<kDisabiliCard>}};

const records::Search kSearchCertificati{
    " Trova certificati medici non agonistici in archivio", kInstructions, kBanner, kSearchHint,
    &archives::Certificati, lists::kCertificatoLine, kPhysicianFilters, false,
    "Riepilogo certificati medici non agonistici", kCertificatiTarget};
const records::Search kSearchNon{
    " Trova certificati medici di non idoneità agonistica in archivio", kInstructions, kBanner, kSearchHint,
    &archives::NonIdoneita, lists::kNonIdoneitaLine, kSportFilters, false,
    "Riepilogo certificati medici di non idoneità agonistica", kNonTarget};
const records::Search kSearchAgo{
    " Trova certificati medici agonistici in archivio", kInstructions, kBanner, kSearchHint,
    &archives::Agonistici, lists::kAgonisticaLine, kSportFilters, false,
    "Riepilogo certificati medici agonistici", kAgoTarget};
const records::Search kSearchDis{
    " Trova certificati medici agonistici per disabili in archivio", kInstructions, kBanner, kSearchHint,
    &archives::Disabili, lists::kAgonisticaLine, kSportFilters, false,
    "Riepilogo certificati medici agonistici per disabili", kDisTarget};

constexpr const char* kListCaption = " Elenco certificati medici da completare";
constexpr const char* kListBanner = "\u2714  CERTIFICATI MEDICI DA COMPLETARE";
constexpr const char* kListHint = "Fare doppio clic su una voce in elenco per richiamare la scheda";
constexpr const char* kListTitle = "Elenco certificati medici da completare";
constexpr unsigned kSteelBlue = 0x4682B4; // the background of the lists to complete, down to white

const records::FlaggedList kListCertificati{kListCaption, kListBanner, kListHint, &archives::Certificati,
                                            lists::kCertificatoLine, "chkCompletato", "No", false, kListTitle,
                                            &loadIntoCard<kCertificatiCard>, kSteelBlue};
const records::FlaggedList kListNon{kListCaption, kListBanner, kListHint, &archives::NonIdoneita,
                                    lists::kNonIdoneitaLine, "chkCompletato", "No", false, kListTitle,
                                    &loadIntoCard<kNonIdoneitaCard>, kSteelBlue};
const records::FlaggedList kListAgo{kListCaption, kListBanner, kListHint, &archives::Agonistici,
                                    lists::kAgonisticaLine, "chkCompletato", "No", false, kListTitle,
                                    &loadIntoCard<kAgonisticiCard>, kSteelBlue};
const records::FlaggedList kListDis{kListCaption, kListBanner, kListHint, &archives::Disabili,
                                    lists::kAgonisticaLine, "chkCompletato", "No", false, kListTitle,
                                    &loadIntoCard<kDisabiliCard>, kSteelBlue};

// The windows of each card kind.
struct Windows {
    const ArchiveDef* archive;
    std::unique_ptr<SearchWindow> (*search)(QWidget*);
    std::unique_ptr<FlaggedListWindow> (*toComplete)(QWidget*);
};
template <class W, class Base>
std::unique_ptr<Base> make(QWidget* parent)
{
    return std::make_unique<W>(parent);
}
const Windows kWindows[] = {
    {&archives::Certificati, &make<TfrmTrovaCertificati, SearchWindow>, &make<TfrmSelezionate, FlaggedListWindow>},
    {&archives::NonIdoneita, &make<TfrmTrovaCertificatiNon, SearchWindow>, &make<TfrmSelezionateNon, FlaggedListWindow>},
    {&archives::Agonistici, &make<TfrmTrovaCertificatiAgo, SearchWindow>, &make<TfrmSelezionateAgo, FlaggedListWindow>},
    {&archives::Disabili, &make<TfrmTrovaCertificatiDis, SearchWindow>, &make<TfrmSelezionateDis, FlaggedListWindow>},
};
const Windows* windowsOf(const ArchiveDef& archive)
{
    for (const Windows& w : kWindows)
        if (w.archive == &archive)
            return &w;
    return nullptr;
}

} // namespace

TfrmTrovaCertificati::TfrmTrovaCertificati(QWidget* parent) : SearchWindow(kSearchCertificati, parent) {}
TfrmTrovaCertificatiNon::TfrmTrovaCertificatiNon(QWidget* parent) : SearchWindow(kSearchNon, parent) {}
TfrmTrovaCertificatiAgo::TfrmTrovaCertificatiAgo(QWidget* parent) : SearchWindow(kSearchAgo, parent) {}
TfrmTrovaCertificatiDis::TfrmTrovaCertificatiDis(QWidget* parent) : SearchWindow(kSearchDis, parent) {}
TfrmSelezionate::TfrmSelezionate(QWidget* parent) : FlaggedListWindow(kListCertificati, parent) {}
TfrmSelezionateNon::TfrmSelezionateNon(QWidget* parent) : FlaggedListWindow(kListNon, parent) {}
TfrmSelezionateAgo::TfrmSelezionateAgo(QWidget* parent) : FlaggedListWindow(kListAgo, parent) {}
TfrmSelezionateDis::TfrmSelezionateDis(QWidget* parent) : FlaggedListWindow(kListDis, parent) {}

namespace vornel::lists {

void openCertificateSearch(QWidget* card, const ArchiveDef& archive, const char* marker)
{
    if (const Windows* w = windowsOf(archive)) {
        const std::unique_ptr<SearchWindow> window = w->search(card);
        window->lblMemory->setText(QString::fromUtf8(marker));
        window->exec();
    }
}

void openCertificatesToComplete(QWidget* card, const ArchiveDef& archive)
{
    if (const Windows* w = windowsOf(archive)) {
        const std::unique_ptr<FlaggedListWindow> window = w->toComplete(card);
        window->exec();
    }
}

} // namespace vornel::lists
