#include "support/testenv.h"

#include "app/filedialogs.h"
#include "app/registry.h"
#include "app/shell.h"
#include "storage/clock.h"
#include "storage/filelayer.h"
#include "storage/programfolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <climits>

TestEnv::TestEnv()
{
    vornel::setProgramFolder(m_dir.path());
    vornel::msg::setResponder([this](vornel::msg::Kind kind, const QString& text) {
        messages.append({kind, text});
        return kind == vornel::msg::Kind::Confirmation ? confirmAnswer : true;
    });
    TMisc::setOpener([this](const QUrl& url) {
        opened.append(url);
        return openSucceeds;
    });
    vornel::dialogs::setOpenFileResponder(
        [this](const QString&, const QString&, const QString&) { return openFileAnswer; });
    vornel::dialogs::setSaveFileResponder([this](const QString&, const QString& proposed, const QString&) {
        saveProposals << proposed;
        return saveAnswer ? saveAnswer(proposed) : proposed;
    });
    vornel::setEndProgramHandler([this] { ++endRequests; });
    vornel::clock::setFixedNow(QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53)));
    vornel::files::faults::clear();
}

TestEnv::~TestEnv()
{
    testing::closeModals();
    vornel::files::faults::clear();
    vornel::msg::setResponder({});
    TMisc::setOpener({});
    vornel::dialogs::setOpenFileResponder({});
    vornel::dialogs::setSaveFileResponder({});
    vornel::setEndProgramHandler({});
    vornel::clock::setFixedNow(QDateTime());
    vornel::setProgramFolder(QString());
}

QString TestEnv::path(const QString& name) const
{
    return QDir(m_dir.path()).filePath(name);
}

QStringList TestEnv::texts() const
{
    QStringList t;
    for (const Shown& s : messages)
        t << s.text;
    return t;
}

namespace testing {

void onNextModalMatching(const std::function<bool(QWidget*)>& matches, const std::function<void(QWidget*)>& action)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, matches, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && matches(modal)) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

bool showsItsStart(QLineEdit* edit)
{
    edit->grab(); // painting scrolls the text to show the caret
    const QRect caret = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    return edit->cursorPosition() == 0 && caret.center().x() < qMin(16, edit->width() / 4);
}

void onNextModal(const std::function<void(QWidget*)>& action)
{
    onNextModalMatching([](QWidget*) { return true; }, action);
}

void closeModals()
{
    for (int i = 0; i < 10; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        modal->close();
        QCoreApplication::processEvents();
    }
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

void pressEnter(QWidget* w)
{
    QTest::keyClick(w, Qt::Key_Return);
}

void moveMouseTo(QWidget* w, const QPoint& at)
{
    // Through the window, as the window system delivers the pointer: the
    // widget under it gets the move, enter and leave events follow, and a
    // move a control ignores reaches its parents.
    QWidget* window = w->window();
    QWindow* handle = window->windowHandle();
    Q_ASSERT(handle);
    QTest::mouseMove(handle, w->mapTo(window, at));
    QCoreApplication::processEvents();
}

void moveMouseOver(QWidget* w)
{
    // From the window's corner onto w, then once more within w.
    moveMouseTo(w->window(), QPoint(0, 0));
    const QPoint centre = w->rect().center();
    moveMouseTo(w, centre);
    moveMouseTo(w, centre + QPoint(1, 1));
}

QPoint bareSpot(QWidget* area)
{
    const QPoint centre = area->rect().center();
    QPoint best(-1, -1);
    int bestDistance = INT_MAX;
    for (int y = 1; y < area->height() - 1; y += 3) {
        for (int x = 1; x < area->width() - 1; x += 3) {
            if (area->childAt(x, y))
                continue;
            const int d = (QPoint(x, y) - centre).manhattanLength();
            if (d < bestDistance) {
                bestDistance = d;
                best = QPoint(x, y);
            }
        }
    }
    return best;
}

} // namespace testing
