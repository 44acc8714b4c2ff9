#pragma once
#include "app/messages.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>

class QLineEdit;

#include <functional>

// A test's world: a fresh program folder, and the seams recording what the
// user would have seen (message boxes, shell opens, the end of the program).
struct Shown {
    vornel::msg::Kind kind;
    QString text;
};

class TestEnv {
public:
    TestEnv();
    ~TestEnv();

    QString folder() const { return m_dir.path(); }
    QString path(const QString& name) const;

    QList<Shown> messages;
    QList<QUrl> opened;
    bool openSucceeds = true; // false: no program on this computer opens it
    QString openFileAnswer; // what the file-open dialog answers
    // The file-save dialog: every proposed path, in order, and the answer
    // (by default the proposal itself; an empty text cancels).
    QStringList saveProposals;
    std::function<QString(const QString& proposed)> saveAnswer;
    int endRequests = 0;
    // The answer to confirmations (true = Sì).
    bool confirmAnswer = true;

    // Texts of the messages shown so far, in order.
    QStringList texts() const;
    QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }

private:
    QTemporaryDir m_dir;
};

namespace testing {
// Runs 'action' on the next modal dialog once it is shown; returns at once.
void onNextModal(const std::function<void(QWidget*)>& action);
// Runs 'action' on the first modal window on top that 'matches'.
void onNextModalMatching(const std::function<bool(QWidget*)>& matches, const std::function<void(QWidget*)>& action);
// Runs 'action' once a modal window of class T is on top; returns at once.
template <class T>
void whenModal(const std::function<void(T*)>& action)
{
    onNextModalMatching([](QWidget* w) { return qobject_cast<T*>(w) != nullptr; },
                        [action](QWidget* w) { action(static_cast<T*>(w)); });
}
// Closes every modal window that is left open.
void closeModals();
// Whether the edit, as it is painted now, shows its text from the first
// character: the caret at the start and nothing scrolled out at the left.
bool showsItsStart(QLineEdit* edit);
// Reads a whole file.
QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);
// Types text into the focused widget / presses Enter on a widget.
void pressEnter(QWidget* w);
// Moves the real mouse (through the window, as the pointer does): onto the
// middle of w from the window's corner, or to a point of w.
void moveMouseOver(QWidget* w);
void moveMouseTo(QWidget* w, const QPoint& at);
// A point of the area where none of its children lies, as close to its
// middle as there is one; (-1, -1) when the children cover it all.
QPoint bareSpot(QWidget* area);
} // namespace testing
