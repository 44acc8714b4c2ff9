#include "app/look.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QScreen>
#include <QSvgRenderer>

namespace vornel::look {

namespace {
// Paints a gradient or band on the watched widget before its own painting.
class Painter : public QObject {
public:
    Painter(QWidget* w, QColor top, QColor bottom, QColor border)
        : QObject(w), m_top(top), m_bottom(bottom), m_border(border)
    {
    }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) {
            auto* w = static_cast<QWidget*>(o);
            QPainter p(w);
            QLinearGradient g(0, 0, 0, w->height());
            g.setColorAt(0, m_top);
            g.setColorAt(1, m_bottom);
            p.fillRect(w->rect(), g);
            if (m_border.isValid()) {
                p.setPen(m_border);
                p.drawRect(w->rect().adjusted(0, 0, -1, -1));
            }
        }
        return false;
    }

    void set(QColor top, QColor bottom, QColor border)
    {
        m_top = top;
        m_bottom = bottom;
        m_border = border;
    }

private:
    QColor m_top, m_bottom, m_border;
};

// One background per widget: a window that sets its own over the one of
// the class it is built on replaces it (the filter installed last would
// otherwise paint first and the older one over it).
void setBackground(QWidget* widget, const QColor& top, const QColor& bottom, const QColor& border)
{
    for (QObject* child : widget->children())
        if (auto* painter = dynamic_cast<Painter*>(child)) {
            painter->set(top, bottom, border);
            widget->update();
            return;
        }
    widget->installEventFilter(new Painter(widget, top, bottom, border));
}
} // namespace

void setGradient(QWidget* widget, const QColor& top, const QColor& bottom)
{
    setBackground(widget, top, bottom, QColor());
}

void setBand(QWidget* widget, const QColor& fill, const QColor& border)
{
    setBackground(widget, fill, fill, border);
}

QPixmap picture(const QString& name, const QSize& size)
{
    const qreal dpr = qApp ? qApp->devicePixelRatio() : 1.0;
    const QString key = QStringLiteral("art:%1:%2x%3@%4").arg(name).arg(size.width()).arg(size.height()).arg(dpr);
    QPixmap pm;
    if (QPixmapCache::find(key, &pm))
        return pm;
    QSvgRenderer renderer(QStringLiteral(":/art/%1.svg").arg(name));
    pm = QPixmap(size * dpr);
    pm.fill(Qt::transparent);
    if (renderer.isValid()) {
        // Keep the artwork's proportions, centred in the requested size.
        QSizeF art = renderer.defaultSize();
        art.scale(QSizeF(size * dpr), Qt::KeepAspectRatio);
        const QRectF target(QPointF((size.width() * dpr - art.width()) / 2, (size.height() * dpr - art.height()) / 2), art);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p, target);
    }
    pm.setDevicePixelRatio(dpr);
    QPixmapCache::insert(key, pm);
    return pm;
}

void makeFixed(QWidget* window, int clientWidth, int clientHeight)
{
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window->setFixedSize(clientWidth, clientHeight);
}

void centreOnScreen(QWidget* window)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect avail = screen->availableGeometry();
    window->move(avail.center() - QPoint(window->width() / 2, window->height() / 2));
}

void centreOnOwner(QWidget* window, QWidget* owner)
{
    if (!owner || !owner->isVisible()) {
        centreOnScreen(window);
        return;
    }
    const QRect g = owner->frameGeometry();
    window->move(g.center() - QPoint(window->width() / 2, window->height() / 2));
}

QFont font(const QString& family, int pointSize, bool bold)
{
    QFont f(family);
    // Sizes are given in points of a 96 dpi screen, as designed.
    f.setPixelSize(qRound(pointSize * 96.0 / 72.0));
    f.setBold(bold);
    return f;
}

void setFieldLook(QLineEdit* edit, const QColor& resting)
{
    edit->setStyleSheet(QStringLiteral("QLineEdit { background: %1; border: 1px solid %2; }"
                                       "QLineEdit:focus { background: #FFFF00; }")
                            .arg(resting.name(), kSkyBlue.name()));
}

} // namespace vornel::look

ClickablePicture::ClickablePicture(const QString& artName, const QSize& size, QWidget* parent)
    : QLabel(parent)
{
    setFixedSize(size);
    // A text strip (no artwork) shows the text it is given instead.
    if (!artName.isEmpty())
        setPixmap(vornel::look::picture(artName, size));
    setCursor(Qt::PointingHandCursor);
}

void ClickablePicture::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        emit pressed();
}

void ClickablePicture::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    emit released();
    if (rect().contains(e->position().toPoint()))
        emit clicked();
}

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    QFont f = vornel::look::font(QStringLiteral("Tahoma"), 14);
    f.setUnderline(true);
    setFont(f);
    setCursor(Qt::PointingHandCursor);
    setPressedLook(false);
}

void LinkLabel::setPressedLook(bool pressed)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, pressed ? vornel::look::kOrange : vornel::look::kDarkBlue);
    setPalette(pal);
}

void LinkLabel::bindIcon(ClickablePicture* icon)
{
    connect(icon, &ClickablePicture::pressed, this, [this] { setPressedLook(true); });
    connect(icon, &ClickablePicture::released, this, [this] { setPressedLook(false); });
    connect(icon, &ClickablePicture::clicked, this, &LinkLabel::clicked);
}

void LinkLabel::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        setPressedLook(true);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    setPressedLook(false);
    if (rect().contains(e->position().toPoint()))
        emit clicked();
    setPressedLook(false);
}

PictureButton::PictureButton(const QString& artName, const QString& caption, const QSize& size,
                             QWidget* parent, const QSize& iconSize)
    : QPushButton(caption, parent)
{
    setFixedSize(size);
    const QSize is = iconSize.isValid() ? iconSize : (caption.isEmpty() ? size - QSize(4, 4) : QSize(24, 24));
    if (!artName.isEmpty()) {
        setIcon(QIcon(vornel::look::picture(artName, is)));
        setIconSize(is);
    }
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(caption.isEmpty()
                      ? QStringLiteral("QPushButton { border: none; background: transparent; }"
                                       "QPushButton:hover { background: rgba(66,122,168,40); border-radius: 4px; }"
                                       "QPushButton:pressed { background: rgba(66,122,168,90); }")
                      : QStringLiteral("QPushButton { border: 1px solid #7A9CC0; border-radius: 5px; color: #1F3F6B;"
                                       " font-weight: bold; background: qlineargradient(x1:0,y1:0,x2:0,y2:1,"
                                       " stop:0 #FFFFFF, stop:1 #D6E4F2); padding: 0 6px; }"
                                       "QPushButton:hover { background: qlineargradient(x1:0,y1:0,x2:0,y2:1,"
                                       " stop:0 #FFFFFF, stop:1 #BCD3EA); }"
                                       "QPushButton:pressed { background: #A9C4E0; }"));
}

namespace {
class EnterPresses : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || (key != Qt::Key_Return && key != Qt::Key_Enter) || !button->isEnabled())
            return false;
        static_cast<QKeyEvent*>(event)->accept();
        button->click();
        return true;
    }
};
} // namespace

void vornel::look::pressOnEnter(std::initializer_list<QAbstractButton*> buttons)
{
    for (QAbstractButton* b : buttons)
        b->installEventFilter(new EnterPresses(b));
}

HintTracker::HintTracker(QLabel* status, QObject* parent) : QObject(parent), m_status(status) {}

void HintTracker::setHint(QWidget* control, const QString& hint)
{
    control->setProperty("vornelHint", hint);
    control->installEventFilter(this);
}

void HintTracker::clearOn(QWidget* area)
{
    area->setProperty("vornelClearsHint", true);
    area->setMouseTracking(true);
    area->installEventFilter(this);
}

QString HintTracker::hintOf(QWidget* control) const
{
    return control->property("vornelHint").toString();
}

bool HintTracker::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        const QVariant hint = watched->property("vornelHint");
        if (hint.isValid())
            m_status->setText(hint.toString());
        // A background clears only when the pointer moves over it, not when
        // a window appears under a resting pointer. A move over a control
        // that ignores it (a button tracking the mouse for its hover look)
        // reaches the background too: what counts is what lies under the
        // pointer.
        else if (event->type() == QEvent::MouseMove && watched->property("vornelClearsHint").toBool()) {
            auto* area = static_cast<QWidget*>(watched);
            const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            for (QWidget* w = area->childAt(at); w && w != area; w = w->parentWidget()) {
                const QVariant inner = w->property("vornelHint");
                if (inner.isValid()) {
                    m_status->setText(inner.toString());
                    return false;
                }
            }
            m_status->clear();
        }
    }
    return false;
}
