#pragma once
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringList>

class QStringListModel;
class ListRowDelegate;

// The list dialogs of 862 x 560 (sport tables, patient search, recontact
// list, certificate searches, lists of certificates to complete): a banner,
// two lines of instructions, the quick find row, the list of fixed-width
// lines, a hint line, "Chiudi" and "Stampa", and the hidden marker label.
// The list page lives in panContainer so a window may put a filter page
// beside it. Lines are held in a model, never one widget per line.
// No button is the default: Enter presses only a focused button, moves
// from txtTrova to btnTrova, and does nothing in the list.
class ListWindow : public QDialog {
    Q_OBJECT
public:
    ListWindow(const QString& caption, QWidget* parent);

    QWidget* panContainer;
    QLabel* lblBanner;
    QLabel* lblIstruzioni;
    QLineEdit* txtTrova;
    QPushButton* btnTrova;
    QListView* lstRecords;
    QLabel* lblRigo03;
    QLabel* lblTrovate;
    QPushButton* btnChiudi;
    QPushButton* btnStampa;
    QLabel* lblMemory;

    // The lines, in the order shown.
    QStringList lines() const;
    int lineCount() const;
    // Replaces every line in one batch (sorted when the list keeps its lines sorted).
    void setLines(QStringList lines);
    void clearLines();
    // -1 when no line is selected.
    int selectedRow() const;
    QString selectedLine() const;
    void selectRow(int row);

    // Lines kept in ascending order, ignoring the case of A-Z.
    void setSorted(bool sorted) { m_sorted = sorted; }
    // The width of a line in pixels: the horizontal scroll range.
    void setRowWidth(int width);
    // Lines at least 1600 pixels wide, and as wide as the longest line
    // needs, so the horizontal scroll bar reaches the end of every line.
    void fitRowWidth();
    // The quick-find text remembered between searches: by default this
    // window's own; a window may share one that outlives it.
    void useFindMemory(QString* memory) { m_memory = memory ? memory : &m_ownMemory; }
    void forgetFind() { m_memory->clear(); }
    QString findMemory() const { return *m_memory; }

public slots:
    void btnTrovaClick();
    void btnChiudiClick();
    virtual void btnStampaClick();
    virtual void lstRecordsDblClick() {}

protected:
    // A caption button in the look of the list windows; Enter presses it
    // only when it has the focus.
    static QPushButton* makeButton(const QString& caption, const char* name, const QRect& geometry, QWidget* parent);
    void setBanner(const QString& text);
    void setInstructions(const QString& text);
    void setListFont(int pointSize);
    // Called when the window is shown and when it closes.
    virtual void FormShow() {}
    virtual void FormClose() {}
    // Stampa prints the lines, in list order, under this title.
    virtual QString printTitle() const;

    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStringListModel* m_model;
    ListRowDelegate* m_delegate;
    bool m_sorted = false;
    QString m_ownMemory;
    QString* m_memory = &m_ownMemory;
};
