#include "lists/summaryprint.h"

#include "app/messages.h"
#include "documents/layout_summary.h"
#include "storage/clock.h"
#include "app/reportui.h"


namespace vornel {

void printSummary(QWidget* parent, const QString& title, const QStringList& lines)
{
    // Each print starts from the designed layout.
    report::Document doc = report::Document::fromLayout(layouts::summary());
    try {
        doc.memo(QStringLiteral("txtTitolo")).setText(title);
        const QDateTime now = clock::now();
        doc.memo(QStringLiteral("txtPagina"))
            .setText(QStringLiteral("Stampa eseguita in data ") + clock::shortDate(now.date())
                     + QStringLiteral(" alle ore ") + clock::timeText(now.time()));
        report::Memo& list = doc.memo(QStringLiteral("txtRiepilogo"));
        list.clearLines();
        for (const QString& line : lines)
            list.addLine(line);
        report::Band& band = doc.masterData(QStringLiteral("MasterData"));
        list.setHeight(double(list.lines().size()) * layouts::kSummaryLinePitch);
        band.setHeight(list.height() + 10);
        doc.prepare();
        printing::print(parent, doc);
    } catch (const report::ReportError& e) {
        // No guard of its own: the failure is shown with its own text.
        msg::error(parent, e.message());
    }
}

} // namespace vornel
