#pragma once
#include <QWidget>

#include <functional>

class CardWindow;

// The single instances of the persistent windows, found by class.
namespace vornel {

void registerWindow(QWidget* window);
QWidget* findWindow(const char* className);
template <class T>
T* instance()
{
    return static_cast<T*>(findWindow(T::staticMetaObject.className()));
}
// The persistent card of that class (nullptr when there is none, or the
// window is no card).
CardWindow* findCard(const char* className);
// Destroys every persistent window (end of the run, or of a test).
void destroyWindows();

// Shows a persistent window (maximised when it is designed so) and hides
// the one the user came from.
void goTo(QWidget* target, QWidget* from);

// Ends the run: stops the event loop; windows go with the application.
void endProgram();
// Tests record instead of quitting; an empty handler gives back the real quit.
void setEndProgramHandler(std::function<void()> handler);

} // namespace vornel
