#pragma once
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

// An Italian progress dialog for work that may take a while on a large
// archive: it appears only once the work has run for half a second, and
// follows it in the one UI thread. No Annulla: the work always ends.
class SlowWork {
public:
    SlowWork(QWidget* parent, const QString& label, qint64 total);
    ~SlowWork();
    SlowWork(const SlowWork&) = delete;
    SlowWork& operator=(const SlowWork&) = delete;

    // 'done' steps out of the total.
    void step(qint64 done);

private:
    std::unique_ptr<QProgressDialog> m_dialog;
    qint64 m_total;
    int m_shown = -1;
};
