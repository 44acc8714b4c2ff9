#pragma once
#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QString>

#include <initializer_list>

class QAbstractButton;
class QLineEdit;

// The program's look: gradients, pictures, links, picture buttons, the focus
// highlight of fields and the status hints of the cards.
namespace vornel::look {

inline const QColor kSteelBlue{0x42, 0x7A, 0xA8};
inline const QColor kDarkBlue{0x00, 0x00, 0x8B};
inline const QColor kOrange{0xFF, 0xA5, 0x00};
inline const QColor kSkyBlue{0x87, 0xCE, 0xEB};
inline const QColor kAliceBlue{0xF0, 0xF8, 0xFF};

// Paints a vertical gradient (top to bottom) behind the widget's children,
// in place of any gradient or band set on it before.
void setGradient(QWidget* widget, const QColor& top, const QColor& bottom);
// A white (or coloured) band with an optional thin border, in place of any
// gradient or band set on it before.
void setBand(QWidget* widget, const QColor& fill, const QColor& border = QColor());

// The program's SVG artwork rendered at the given size (device pixel ratio aware).
QPixmap picture(const QString& name, const QSize& size);

// A fixed window: single-line border, no minimise, maximise or close box.
void makeFixed(QWidget* window, int clientWidth, int clientHeight);
// Centres a top-level window on the screen, or on its owner.
void centreOnScreen(QWidget* window);
void centreOnOwner(QWidget* window, QWidget* owner);

// Sets a control's object name and returns it, for terse construction.
template <class T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QFont font(const QString& family, int pointSize, bool bold = false);

// Enter (either key) on the focused button presses it, as Space does; in a
// plain window or with autoDefault off Qt's buttons ignore Enter.
void pressOnEnter(std::initializer_list<QAbstractButton*> buttons);

// Focus look of a data field: yellow with the focus, the resting fill
// otherwise, a sky-blue border.
void setFieldLook(QLineEdit* edit, const QColor& resting = Qt::white);

} // namespace vornel::look

// A picture that reacts to a click (hand cursor).
class ClickablePicture : public QLabel {
    Q_OBJECT
public:
    ClickablePicture(const QString& artName, const QSize& size, QWidget* parent);
signals:
    void pressed();
    void released();
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// An underlined link text: dark blue, orange while the mouse button is held
// on it or on its icon.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& text, QWidget* parent);
    // The icon beside the link presses the link too.
    void bindIcon(ClickablePicture* icon);
    void setPressedLook(bool pressed);
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// A button with a picture face and an optional caption, hand cursor.
class PictureButton : public QPushButton {
    Q_OBJECT
public:
    PictureButton(const QString& artName, const QString& caption, const QSize& size, QWidget* parent,
                  const QSize& iconSize = QSize());
};

// Writes each control's hint into a status text while the pointer is over
// it; pointer over a background area clears the status text.
class HintTracker : public QObject {
    Q_OBJECT
public:
    HintTracker(QLabel* status, QObject* parent);
    void setHint(QWidget* control, const QString& hint);
    void clearOn(QWidget* area);
    QString hintOf(QWidget* control) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_status;
};
