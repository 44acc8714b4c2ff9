#include "app/inputrules.h"

#include <QKeyEvent>
#include <QLineEdit>

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

void filterEdits(QLineEdit* edit, bool lettersToo)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, lettersToo] {
        rewrite(edit, [lettersToo](const QString& s) { return onlyAllowed(s, lettersToo); });
    });
}

} // namespace vornel::input
