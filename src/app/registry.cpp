#include "app/registry.h"

#include "app/cardwindow.h"

#include <QApplication>
#include <QHash>
#include <QPointer>

namespace vornel {

namespace {
struct Windows {
    QList<QPointer<QWidget>> order; // creation order, for destruction in reverse
    QHash<QByteArray, QPointer<QWidget>> byClass;
};
Windows& windows()
{
    static Windows w;
    return w;
}
std::function<void()>& endHandler()
{
    static std::function<void()> h;
    return h;
}
} // namespace

void registerWindow(QWidget* window)
{
    windows().order.append(window);
    windows().byClass.insert(QByteArray(window->metaObject()->className()), window);
}

QWidget* findWindow(const char* className)
{
    return windows().byClass.value(QByteArray(className)).data();
}

CardWindow* findCard(const char* className)
{
    return qobject_cast<CardWindow*>(findWindow(className));
}

void destroyWindows()
{
    auto& w = windows();
    for (qsizetype i = w.order.size() - 1; i >= 0; --i)
        delete w.order[i].data();
    w.order.clear();
    w.byClass.clear();
}

void goTo(QWidget* target, QWidget* from)
{
    if (target->property("vornelMaximized").toBool())
        target->showMaximized();
    else
        target->show();
    target->raise();
    target->activateWindow();
    if (from && from != target)
        from->hide();
}

void endProgram()
{
    if (endHandler()) {
        endHandler()();
        return;
    }
    QCoreApplication::quit();
}

void setEndProgramHandler(std::function<void()> handler)
{
    endHandler() = std::move(handler);
}

} // namespace vornel
