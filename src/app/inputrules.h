#pragma once
#include <QString>

#include <functional>

class QFocusEvent;
class QKeyEvent;
class QLineEdit;

// Typing rules shared by the fields that accept digits only (VAT numbers) or
// letters and digits only (tax codes).
namespace vornel::input {

// Editing, caret and focus keys and the clipboard shortcuts pass; otherwise
// only an ASCII digit (or, with lettersToo, an ASCII letter) does.
bool keyPasses(const QKeyEvent* e, bool lettersToo = false);
// Keeps only the characters keyPasses lets through.
QString onlyAllowed(const QString& s, bool lettersToo = false);
// Replaces the edit's text by rule(text), keeping the caret where the user
// was (moved back by what the rule removed).
void rewrite(QLineEdit* edit, const std::function<QString(const QString&)>& rule);
// Text that arrives by pasting passes the same filter as typed keys.
void filterEdits(QLineEdit* edit, bool lettersToo = false);
// A field the user leaves (Tab, Enter, a click elsewhere) shows its text from
// the first character again; a menu or another window taking the focus for
// a moment leaves the caret where it is.
void showStartOnLeaving(QLineEdit* edit, const QFocusEvent* leaving);

} // namespace vornel::input
