#pragma once
#include <QString>

class QLineEdit;
class QWidget;

// Reading and writing the text of a data control found by name (an edit, the
// edit of a combo box, a label), and the typing limit of an edit.
namespace vornel::fields {

// Sets the most characters the user may type into the edit.
void setTypingLimit(QLineEdit* edit, int maxLength);

// Shows the whole text even when it is longer than the typing limit: a
// stored field may hold more than the user can type, and cutting it on
// display would cut it on the next save. The user can then shorten it but
// not lengthen it until it is back within the limit.
void setText(QLineEdit* edit, const QString& text);

// The text of an edit, combo box or label; empty for any other control.
QString text(const QWidget* control);
// Writes the text into an edit, combo box (its text only) or label.
// Returns false when the control is none of these.
bool setText(QWidget* control, const QString& text);

} // namespace vornel::fields
