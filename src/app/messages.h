#pragma once
#include <QString>

#include <functional>

class QWidget;

// Every message box of the program goes through here, so tests can record
// what would have been shown and answer it.
namespace vornel::msg {

enum class Kind {
    Warning,      // typed box, OK + Annulla, answer ignored
    Error,        // typed box, OK + Annulla, answer ignored
    Information,  // typed box, OK + Annulla, answer ignored
    Confirmation, // Sì + No; only No stops the action
    Plain,        // one OK button
};

// Receives every box instead of the screen; its answer matters only for
// confirmations (true = Sì). An empty responder gives back the real boxes.
using Responder = std::function<bool(Kind kind, const QString& text)>;
void setResponder(Responder responder);

void warning(QWidget* parent, const QString& text);
void error(QWidget* parent, const QString& text);
void information(QWidget* parent, const QString& text);
bool confirm(QWidget* parent, const QString& text);
void plain(QWidget* parent, const QString& text);

// After the settings file refused the office data of a window that is
// closing: asks whether to close it anyway without saving them (true on Sì),
// so that a folder that refuses every write never traps the user.
bool closeWithoutOfficeData(QWidget* parent);

// The one guard around a user action on an archive: an archive failure
// abandons the action and shows the archive error message. An archive whose
// append lock another copy holds asks whether to try again (Sì runs the
// whole action again). Returns false when the action failed.
QString archiveLockedMessage(const QString& lockPath);
bool guarded(QWidget* parent, const std::function<void()>& action);

} // namespace vornel::msg
