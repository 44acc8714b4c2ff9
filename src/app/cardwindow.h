#pragma once
#include <QWidget>

namespace vornel {
class Record;
}

// A persistent card window (the patient card and the four certificate
// cards): shown maximised from the main menu; closing it, by its close box
// or by its exit button, shows the main menu again.
class CardWindow : public QWidget {
    Q_OBJECT
public:
    CardWindow(const QString& caption, QWidget* parent = nullptr);

    // The card's close handler: saves what the card remembers, then goes
    // back to the main menu. When the save fails, says so and asks whether to
    // close anyway; returns false (and stays open) on No.
    bool FormClose();

    // Shows a stored record with its 1-based position. Lists and searches
    // hand the record they found to a card through this, finding the card in
    // the registry by its class name.
    virtual void loadRecord(const vornel::Record& record, qint64 position) = 0;

protected:
    // What the card remembers on closing; throws on a refused write.
    virtual void saveOnClose() {}
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_closing = false;
};
