#include "patients/fieldtext.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace vornel::fields {

namespace {
const char* const kLimit = "vornelTypingLimit";

int typingLimit(const QLineEdit* edit)
{
    const QVariant v = edit->property(kLimit);
    return v.isValid() ? v.toInt() : edit->maxLength();
}
} // namespace

void setTypingLimit(QLineEdit* edit, int maxLength)
{
    const bool firstTime = !edit->property(kLimit).isValid();
    edit->setProperty(kLimit, maxLength);
    edit->setMaxLength(qMax(maxLength, int(edit->text().size())));
    if (firstTime) {
        // While a loaded text is longer than the limit, the limit follows the
        // text down as the user shortens it, and returns once it fits.
        QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& t) {
            const int limit = typingLimit(edit);
            if (edit->maxLength() > limit)
                edit->setMaxLength(qMax(limit, int(t.size())));
        });
    }
}

void setText(QLineEdit* edit, const QString& text)
{
    if (text.size() > edit->maxLength())
        edit->setMaxLength(int(text.size()));
    edit->setText(text);
    edit->setCursorPosition(0); // a long text shows its beginning
}

QString text(const QWidget* control)
{
    if (auto* e = qobject_cast<const QLineEdit*>(control))
        return e->text();
    if (auto* c = qobject_cast<const QComboBox*>(control))
        return c->currentText();
    if (auto* l = qobject_cast<const QLabel*>(control))
        return l->text();
    return {};
}

bool setText(QWidget* control, const QString& text)
{
    if (auto* e = qobject_cast<QLineEdit*>(control)) {
        setText(e, text);
        return true;
    }
    if (auto* c = qobject_cast<QComboBox*>(control)) {
        if (c->isEditable()) {
            if (QLineEdit* e = c->lineEdit(); e && text.size() > e->maxLength())
                e->setMaxLength(int(text.size()));
            c->setEditText(text);
            if (QLineEdit* e = c->lineEdit())
                e->setCursorPosition(0);
        } else {
            c->setCurrentIndex(c->findText(text));
        }
        return true;
    }
    if (auto* l = qobject_cast<QLabel*>(control)) {
        l->setText(text);
        return true;
    }
    return false;
}

} // namespace vornel::fields
