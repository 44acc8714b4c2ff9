#include "app/inputrules.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

namespace vornel::input {

namespace {
bool allowed(QChar c, bool lettersToo)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (lettersToo && ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z')));
}
} // namespace

bool keyPasses(const QKeyEvent* e, bool lettersToo)
{
    switch (e->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        break;
    }
    if (e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return true;
    const QString t = e->text();
    return t.size() == 1 && allowed(t[0], lettersToo);
}

QString onlyAllowed(const QString& s, bool lettersToo)
{
    QString out;
    for (QChar c : s)
        if (allowed(c, lettersToo))
            out += c;
    return out;
}

void rewrite(QLineEdit* edit, const std::function<QString(const QString&)>& rule)
{
    const QString before = edit->text();
    const QString after = rule(before);
    if (after == before)
        return;
    const int caret = edit->cursorPosition() - int(before.size() - after.size());
    edit->setText(after);
    edit->setCursorPosition(qBound(0, caret, int(after.size())));
}

void showStartOnLeaving(QLineEdit* edit, const QFocusEvent* leaving)
{
    if (!edit || leaving->reason() == Qt::PopupFocusReason || leaving->reason() == Qt::ActiveWindowFocusReason)
        return;
    edit->setCursorPosition(0);
}

namespace {
// Pasted or dropped text is filtered before it goes in, so the field's
// length cuts the filtered text ("IT01234567890" pastes as "01234567890"),
// not the raw one.
class PasteFilter : public QObject {
public:
    PasteFilter(QLineEdit* edit, bool lettersToo) : QObject(edit), m_edit(edit), m_letters(lettersToo) {}

    void pasteFiltered(const QString& text)
    {
        if (m_edit->isReadOnly())
            return;
        m_edit->insert(onlyAllowed(text, m_letters));
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress: {
            auto* k = static_cast<QKeyEvent*>(event);
            if (k->matches(QKeySequence::Paste)) {
                pasteFiltered(QGuiApplication::clipboard()->text());
                return true;
            }
            break;
        }
        case QEvent::ContextMenu: {
            auto* c = static_cast<QContextMenuEvent*>(event);
            QMenu* menu = m_edit->createStandardContextMenu();
            if (QAction* paste = pasteAction(menu)) {
                QObject::disconnect(paste, &QAction::triggered, nullptr, nullptr);
                QObject::connect(paste, &QAction::triggered, this,
                                 [this] { pasteFiltered(QGuiApplication::clipboard()->text()); });
            }
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(c->globalPos());
            return true;
        }
        case QEvent::Drop: {
            auto* d = static_cast<QDropEvent*>(event);
            if (!d->mimeData()->hasText() || m_edit->isReadOnly())
                break;
            m_edit->setCursorPosition(m_edit->cursorPositionAt(d->position().toPoint()));
            pasteFiltered(d->mimeData()->text());
            d->acceptProposedAction();
            return true;
        }
        default:
            break;
        }
        return false;
    }

private:
    // The standard menu's paste entry: the one showing the paste shortcut
    // (its caption is translated), else the sixth entry, where Qt puts it
    // (undo, redo, separator, cut, copy, paste) in an editable field.
    static QAction* pasteAction(QMenu* menu)
    {
        const QString shortcut = QLatin1Char('\t') + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
        const QList<QAction*> actions = menu->actions();
        for (QAction* a : actions)
            if (a->text().endsWith(shortcut))
                return a;
        return actions.size() > 5 && !actions[5]->isSeparator() ? actions[5] : nullptr;
    }

    QLineEdit* m_edit;
    bool m_letters;
};
} // namespace

void filterEdits(QLineEdit* edit, bool lettersToo)
{
    edit->installEventFilter(new PasteFilter(edit, lettersToo));
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, lettersToo] {
        rewrite(edit, [lettersToo](const QString& s) { return onlyAllowed(s, lettersToo); });
    });
}

} // namespace vornel::input
