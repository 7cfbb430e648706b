#include "controls.h"

#include <QKeyEvent>
#include <QPainter>
#include <QValidator>

#include <algorithm>
#include <limits>

namespace qor
{

namespace
{

// Decoration: never takes the mouse or the focus, so clicks reach whatever
// lies beneath and Tab never stops on it.
void makeDecoration(QWidget *w)
{
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
    w->setFocusPolicy(Qt::NoFocus);
}

} // namespace

FrameLine::FrameLine(QPoint from, QPoint to, int width, QColor colour, QWidget *parent)
    : QWidget(parent), from_(from), to_(to), width_(width), colour_(colour)
{
    makeDecoration(this);
    const QRect span = QRect(from, to).normalized();
    setGeometry(span.adjusted(-width, -width, width, width));
}

void FrameLine::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(QPen(colour_, width_, Qt::SolidLine, Qt::SquareCap));
    const QPoint origin = geometry().topLeft();
    p.drawLine(from_ - origin, to_ - origin);
}

FilledShape::FilledShape(QColor fill, bool rounded, int outline, QWidget *parent)
    : QWidget(parent), fill_(fill), rounded_(rounded), outline_(outline)
{
    makeDecoration(this);
}

void FilledShape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRectF area = rect();
    if (rounded_) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(fill_);
        const qreal radius = std::min(area.width(), area.height()) / 4;
        p.drawRoundedRect(area, radius, radius);
        return;
    }
    p.fillRect(area, fill_);
    if (outline_ > 0) {
        const qreal half = outline_ / 2.0;
        p.setPen(QPen(fill_, outline_));
        p.drawRect(area.adjusted(half, half, -half, -half));
    }
}

void PressButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void TickBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

namespace
{

// QLineEdit keeps line breaks from setText(), insert() and paste() alike; a
// validator sees every one of those paths and may rewrite the text.
class NoBreaks final : public QValidator
{
  public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override
    {
        // A CR LF pair becomes one blank, so the cursor may move left.
        pos = static_cast<int>(LineBox::withoutBreaks(input.left(pos)).size());
        input = LineBox::withoutBreaks(input);
        return Acceptable;
    }
};

} // namespace

LineBox::LineBox(QWidget *parent) : QLineEdit(parent)
{
    setValidator(new NoBreaks(this));
    // QLineEdit silently cuts text at 32,767 characters; keep all of it.
    setMaxLength(std::numeric_limits<int>::max());
}

QString LineBox::withoutBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (const QChar c : {QChar(u'\r'), QChar(u'\n'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator)})
        text.replace(c, QLatin1Char(' '));
    return text;
}

} // namespace qor
