#pragma once
// The window's own small widgets: the frame lines and filled rectangles, which
// only paint, and the controls, which show the keyboard focus as a frame that
// stands out against the fill behind them, whatever the desktop's colours.

#include <QCheckBox>
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace qor
{

// A straight line of a given pen width. The widget covers the line's bounding
// box widened by the pen, so the stroke is centred on the given coordinates.
class FrameLine final : public QWidget
{
    Q_OBJECT
  public:
    FrameLine(QPoint from, QPoint to, int width, QColor colour, QWidget *parent);
    QColor colour() const { return colour_; }
    int penWidth() const { return width_; }

  protected:
    void paintEvent(QPaintEvent *) override;

  private:
    QPoint from_, to_; // in the parent's coordinates
    int width_;
    QColor colour_;
};

// A filled rectangle, optionally with rounded corners and an outline drawn
// in the fill colour inside its bounds.
class FilledShape final : public QWidget
{
    Q_OBJECT
  public:
    FilledShape(QColor fill, bool rounded, int outline, QWidget *parent);
    QColor colour() const { return fill_; }
    bool isRounded() const { return rounded_; }

  protected:
    void paintEvent(QPaintEvent *) override;

  private:
    QColor fill_;
    bool rounded_;
    int outline_;
};

// The colour a control's focus frame must stand out against: the fixed fill
// it stands on. Unset, the window's background (or a button's face) is taken.
inline constexpr const char *backdropProperty = "backdrop";

// A user's click anywhere in the box toggles it between unticked and ticked
// only; a greyed state can still be set through setCheckState(), and a click
// on it ticks the box.
class TickBox final : public QCheckBox
{
    Q_OBJECT
  public:
    using QCheckBox::QCheckBox;

  protected:
    void nextCheckState() override;
    bool hitButton(const QPoint &pos) const override;
    void paintEvent(QPaintEvent *) override;
};

// A push button that Enter and Return press as well as Space, as a focused
// button does on Windows; plain QPushButtons outside a dialog ignore Enter.
class PressButton final : public QPushButton
{
    Q_OBJECT
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *) override;
};

// A single-line box that never holds a line break, however text arrives:
// typed, pasted, inserted or set by the program. CR and LF are dropped, as
// browsers do in their single-line fields, so a pasted "12\r\n" stays 12.
class LineBox : public QLineEdit
{
    Q_OBJECT
  public:
    explicit LineBox(QWidget *parent);

    static QString withoutBreaks(QString text);

  protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

// Two pixels each side, inside the frame, that QLineEdit keeps clear of
// text and no style or margin removes.
inline constexpr int lineEditInnerMargin = 2;

// A count box: a line box whose frame's padding goes to the digits, so that
// three of them show whole in the layout's narrow box at any scale.
class CountBox final : public LineBox
{
    Q_OBJECT
  public:
    explicit CountBox(QWidget *parent);
    // Where the text stands, in the box's own coordinates.
    QRect textRect() const;

  protected:
    void paintEvent(QPaintEvent *event) override;
};

// The status line: shows its text whole, wrapped as the layout's status band
// wraps it (at spaces, and within a word wider than the line), one line per
// lineSpacing(). The band makes it as tall as heightForWidth() says.
class StatusLine final : public QWidget
{
    Q_OBJECT
  public:
    explicit StatusLine(QWidget *parent);
    QString text() const { return text_; }
    void setText(const QString &text);
    // How many lines the text takes at a contents width of `width`.
    int linesAt(int width) const;
    // The lines as they are shown, for the eye and for tests.
    QStringList shownLines() const;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    // The focus frame's width in pixels.
    static constexpr int focusRing = 2;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override; // Ctrl+C copies the whole text

  private:
    QString text_; // plain text: paths and file contents are never markup
};

} // namespace qor
