#pragma once
#include "export/core/exportgrid.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

class HintTracker;

// The grid of an export window: a table view over the export cells. A
// cell being typed into is handed to the cells before the file is written.
class ExportGridView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;
    void commitTyping();
};

// The five export windows (certificates of the four kinds, patients): the
// archive read into a grid, then written as a spreadsheet file in the
// program folder. Each named window passes its descriptor.
class ExportWindow : public QDialog {
    Q_OBJECT
public:
    ExportWindow(const vornel::exporting::ExportDef& def, QWidget* parent);

    QPushButton* cmdEsporta;
    QPushButton* cmdEsportaXlsx;
    QPushButton* cmdGuida;
    QPushButton* cmdEsci;
    ExportGridView* grdRecords;
    QLabel* panInfo;

    vornel::exporting::ExportGrid* grid() const { return m_grid; }
    // The full path of the file this window writes.
    QString exportPath() const;

public slots:
    void FormShow();
    void cmdEsportaClick();
    void cmdEsportaXlsxClick();
    void cmdGuidaClick();
    void cmdEsciClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    const vornel::exporting::ExportDef& m_def;
    vornel::exporting::ExportGrid* m_grid;
    HintTracker* m_hints;
    bool m_filled = false;
};
