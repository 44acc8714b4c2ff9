#pragma once
#include "lists/listwindow.h"

#include <QStringList>
#include <span>

class QWidget;

namespace vornel::sport {

// Where a chosen discipline goes: the marker the opening card writes into
// lblMemory, the card (its single window) and the field that receives it.
struct Target {
    const char* marker;
    QWidget* (*card)();
    const char* field;
};

// One of the two discipline tables.
struct Table {
    const char* caption;
    const char* banner;
    const char* printTitle;
    const QStringList& (*rows)();
    std::span<const Target> targets;
    QString* findMemory; // the last search text, kept for the whole run
};

extern const Table kGeneral;
extern const Table kDisabled;

} // namespace vornel::sport

// A sport discipline table: the fixed rows, sorted; a double-click writes
// the chosen row into the card field named by the marker and closes.
class SportTableWindow : public ListWindow {
    Q_OBJECT
public:
    SportTableWindow(const vornel::sport::Table& table, QWidget* parent);

public slots:
    void lstRecordsDblClick() override;

protected:
    void FormShow() override;
    void FormClose() override;
    QString printTitle() const override;

private:
    const vornel::sport::Table& m_table;
};

// Opened by the competitive and the non-fitness certificate cards.
class TfrmImpSport : public SportTableWindow {
    Q_OBJECT
public:
    explicit TfrmImpSport(QWidget* parent) : SportTableWindow(vornel::sport::kGeneral, parent) {}
};

// Opened by the competitive certificate card for disabled athletes.
class TfrmImpSportDis : public SportTableWindow {
    Q_OBJECT
public:
    explicit TfrmImpSportDis(QWidget* parent) : SportTableWindow(vornel::sport::kDisabled, parent) {}
};
