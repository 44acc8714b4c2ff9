#pragma once
#include "storage/records.h"
#include "lists/core/recordlines.h"
#include "lists/listwindow.h"

#include <QHash>
#include <QList>

#include <span>

// The windows that list the records of an archive, one fixed-width line per
// record, and hand the record the user double-clicks to a card: the
// searches (a filter page, then the result page) and the lists of records
// flagged one way (the result page only). Each named window passes a
// constant descriptor.
namespace vornel::records {

// A card that receives a chosen record, with its 1-based position.
using Load = void (*)(const Record& record, qint64 position);

// The card a marker names.
struct Target {
    const char* marker; // compared with lblMemory, trimmed
    Load load;
};

// A filter field of a search and the record field it is compared with.
struct Filter {
    const char* name;  // control name (txtPaziente...)
    const char* label;
    const char* field; // record field
    bool fullWidth;    // a row of its own
};

struct Search {
    const char* caption;
    const char* instructions; // filter page
    const char* banner;       // result page
    const char* hint;         // lblRigo03
    const ArchiveDef* archive;
    lists::LineLayout line;
    std::span<const Filter> filters; // screen order, which is the Enter ring
    bool sorted;
    const char* printTitle;
    std::span<const Target> targets;
};

struct FlaggedList {
    const char* caption;
    const char* banner;
    const char* hint;
    const ArchiveDef* archive;
    lists::LineLayout line;
    const char* flagField; // listed when this field, trimmed, reads flagValue
    const char* flagValue;
    bool buildOnShow; // else built when the window is created
    const char* printTitle;
    Load load;
    unsigned gradientTop = 0; // 0xRRGGBB of the background's top; 0: the lists' own blue
};

} // namespace vornel::records

// A search: the filter page panAvvio with its filters, Cerca and Chiudi;
// Cerca lists the matching records on the result page.
class SearchWindow : public ListWindow {
    Q_OBJECT
public:
    SearchWindow(const vornel::records::Search& search, QWidget* parent);

    QWidget* panAvvio;
    QPushButton* btnAnnulla;
    QPushButton* btnCerca;
    QLabel* lblAttendere;
    QLabel* lblConta;

    // The filter field of that name (nullptr when there is none).
    QLineEdit* filter(const QString& name) const;
    // The filters in screen order.
    const QList<QLineEdit*>& filters() const { return m_filters; }

public slots:
    void btnCercaMouseDown();
    void btnCercaClick();
    void btnAnnullaClick();
    void lstRecordsDblClick() override;

protected:
    void FormShow() override;
    void FormClose() override;
    QString printTitle() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFilterPage();

    const vornel::records::Search& m_search;
    QList<QLineEdit*> m_filters;
    QHash<QLineEdit*, QWidget*> m_highlights;
};

// A list of the records whose flag reads one value, sorted; a double-click
// loads the record into its card.
class FlaggedListWindow : public ListWindow {
    Q_OBJECT
public:
    FlaggedListWindow(const vornel::records::FlaggedList& list, QWidget* parent);

public slots:
    void lstRecordsDblClick() override;

protected:
    void FormShow() override;
    void FormClose() override;
    QString printTitle() const override;

private:
    void buildList();

    const vornel::records::FlaggedList& m_list;
};
