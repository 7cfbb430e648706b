#include "ui/qt/access.h"

#include "ui/qt/controls.h"
#include "ui/qt/fit.h"
#include "ui/qt/qorgenerator.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTextEdit>
#include <QWidget>

#include <algorithm>

namespace qor
{

namespace
{

// The canvas lists only what a user can see and use: no frame lines, filled
// rectangles or the hidden quote holder.
class CanvasAccessible final : public QAccessibleWidget
{
  public:
    explicit CanvasAccessible(QWidget *canvas) : QAccessibleWidget(canvas, QAccessible::Form) {}

    int childCount() const override { return static_cast<int>(shown().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> list = shown();
        return index >= 0 && index < list.size() ? QAccessible::queryAccessibleInterface(list[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? static_cast<int>(shown().indexOf(qobject_cast<QWidget *>(child->object()))) : -1;
    }

  private:
    QList<QWidget *> shown() const
    {
        QList<QWidget *> list;
        for (QObject *o : widget()->children()) {
            auto *w = qobject_cast<QWidget *>(o);
            if (w && !w->isHidden() && !qobject_cast<FrameLine *>(w) && !qobject_cast<FilledShape *>(w))
                list << w;
        }
        return list;
    }
};

// A text box or the status line read as one run of plain text. Qt 6.4's line
// edit reports text-attribute runs of no length, after which screen readers
// drop the last character ("12" read "1"). The status line is a status bar
// whose name is its text, so what is shown and what is heard never differ.
// A box takes text from assistive technology too (voice control, AT-SPI's
// SetTextContents), as typed text would arrive: without line breaks, and not
// in a box the user could not type into.
class TextAccessible final : public QAccessibleWidget,
                             public QAccessibleTextInterface,
                             public QAccessibleEditableTextInterface
{
  public:
    TextAccessible(QWidget *widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface && edit())
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    void setText(QAccessible::Text t, const QString &text) override
    {
        if (t == QAccessible::Value)
            replaceText(0, characterCount(), text);
        else
            QAccessibleWidget::setText(t, text);
    }
    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString &text) override
    {
        QLineEdit *e = edit();
        if (!e || e->isReadOnly() || !e->isEnabled())
            return;
        const QString now = e->text();
        start = std::clamp(start, 0, static_cast<int>(now.size()));
        end = std::clamp(end, start, static_cast<int>(now.size()));
        const QString added = LineBox::withoutBreaks(text);
        e->setText(now.left(start) + added + now.mid(end));
        e->setCursorPosition(start + static_cast<int>(added.size()));
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value || (t == QAccessible::Name && !edit() && !whole().isEmpty()))
            return whole();
        return QAccessibleWidget::text(t);
    }
    // The status bar's news is heard as it shows; the bar itself lists no
    // child, or reading the bar would say its text twice.
    int childCount() const override { return edit() ? QAccessibleWidget::childCount() : 0; }
    QAccessibleInterface *child(int index) const override { return edit() ? QAccessibleWidget::child(index) : nullptr; }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return edit() ? QAccessibleWidget::indexOfChild(child) : -1;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = edit() && !edit()->isReadOnly();
        s.readOnly = !s.editable;
        return s;
    }

    void selection(int n, int *start, int *end) const override
    {
        *start = *end = 0;
        if (n == 0 && selectionCount()) {
            *start = edit()->selectionStart();
            *end = *start + static_cast<int>(edit()->selectedText().size());
        }
    }
    int selectionCount() const override { return edit() && edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override
    {
        if (edit())
            edit()->deselect();
    }
    void setSelection(int, int start, int end) override
    {
        if (edit())
            edit()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return edit() ? edit()->cursorPosition() : 0; }
    void setCursorPosition(int position) override
    {
        if (edit())
            edit()->setCursorPosition(position);
    }
    QString text(int start, int end) const override { return whole().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(whole().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

  private:
    QLineEdit *edit() const { return qobject_cast<QLineEdit *>(widget()); }
    QString whole() const
    {
        if (const QLineEdit *e = edit())
            return e->displayText();
        const auto *status = qobject_cast<StatusLine *>(widget());
        return status ? status->text() : QString();
    }
};

// Shown details take the focus, so that the reader reads them out.
class FocusWhenShown final : public QObject
{
  public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            static_cast<QWidget *>(watched)->setFocus(Qt::OtherFocusReason);
        return false;
    }
};

// The window's own node is a window: as a plain widget it would be a
// "client", which desktops show as a filler.
// Qt asks with the object's own class name first, so these take precedence
// over the interfaces of the base classes.
QAccessibleInterface *windowFactory(const QString &, QObject *object)
{
    if (auto *window = qobject_cast<QorGenerator *>(object))
        return new QAccessibleWidget(window, QAccessible::Window);
    if (auto *canvas = qobject_cast<Canvas *>(object))
        return new CanvasAccessible(canvas);
    if (auto *box = qobject_cast<LineBox *>(object))
        return new TextAccessible(box, QAccessible::EditableText);
    if (auto *status = qobject_cast<StatusLine *>(object))
        return new TextAccessible(status, QAccessible::StatusBar);
    if (auto *news = qobject_cast<QWidget *>(object); news && news->objectName() == QLatin1String("statusNews"))
        return new QAccessibleWidget(news, QAccessible::Notification);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(windowFactory);
        return true;
    }();
    (void)installed;
}

namespace
{
Announce announced = &QAccessible::updateAccessibility;
} // namespace

void setAnnounce(Announce announce)
{
    announced = announce ? announce : &QAccessible::updateAccessibility;
}

namespace
{

// The status line's news: a notification inside the status bar that shows
// anew with each text. Orca speaks a notification as it shows, where a
// status bar's own changes are heard only when it has the focus; inside a
// status bar it is read whole, seen or not. It has no size: the status line
// shows the text.
QWidget *newsOf(StatusLine *status)
{
    auto *news = status->findChild<QWidget *>(QStringLiteral("statusNews"), Qt::FindDirectChildrenOnly);
    if (!news) {
        news = new QWidget(status);
        news->setObjectName(QStringLiteral("statusNews"));
        news->setGeometry(0, 0, 0, 0);
        auto *text = new QLabel(news);
        text->setObjectName(QStringLiteral("statusNewsText"));
        text->setGeometry(0, 0, 0, 0);
        news->show();
    }
    return news;
}

} // namespace

void announceStatus(StatusLine *status, const QString &spoken, bool again)
{
    // An unchanged status (a question cancelled) is not said again.
    const QString before = status->property("announced").toString();
    if (status->text() == before && !again)
        return;
    status->setProperty("announced", status->text());
    status->setProperty("spoken", spoken);
    QAccessibleEvent name(status, QAccessible::NameChanged);
    announced(&name);
    QAccessibleTextUpdateEvent text(status, 0, before, status->text());
    announced(&text);
    QWidget *news = newsOf(status);
    news->setAccessibleName(spoken);
    news->findChild<QLabel *>()->setText(spoken);
    QAccessibleEvent shown(news, QAccessible::ObjectShow);
    announced(&shown);
}

namespace
{

struct Quiet {
    QWidget *form = nullptr;
    bool selectionsOnly = false;
    int depth = 0;
    int held = 0;
    QAccessible::UpdateHandler previous = nullptr;
} quiet;

bool heldBack(QAccessibleEvent *event)
{
    switch (event->type()) {
    case QAccessible::TextCaretMoved:
    case QAccessible::TextSelectionChanged:
        break;
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
    case QAccessible::ValueChanged:
    case QAccessible::StateChanged:
    case QAccessible::NameChanged:
        if (quiet.selectionsOnly)
            return false;
        break;
    default:
        return false;
    }
    auto *w = qobject_cast<QWidget *>(event->object());
    return w && quiet.form && (w == quiet.form || quiet.form->isAncestorOf(w));
}

void quietUpdate(QAccessibleEvent *event)
{
    if (heldBack(event)) {
        ++quiet.held;
        return;
    }
    // Passed on as if this handler were not there.
    QAccessible::installUpdateHandler(quiet.previous);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(quietUpdate);
}

} // namespace

QuietForm::QuietForm(QWidget *form, bool selectionsOnly)
{
    if (quiet.depth++ == 0) {
        quiet.form = form;
        quiet.selectionsOnly = selectionsOnly;
        quiet.held = 0;
        quiet.previous = QAccessible::installUpdateHandler(quietUpdate);
    }
}

QuietForm::~QuietForm()
{
    if (--quiet.depth != 0)
        return;
    QAccessible::installUpdateHandler(quiet.previous);
    if (quiet.held > 0 && !quiet.selectionsOnly) {
        QAccessibleEvent changed(quiet.form, QAccessible::VisibleDataChanged);
        announced(&changed);
    }
    quiet.form = nullptr;
}

void readableDetails(QMessageBox &box)
{
    auto *details = box.findChild<QTextEdit *>();
    if (!details)
        return;
    details->setAccessibleName(QMessageBox::tr("Details"));
    details->setFocusPolicy(Qt::StrongFocus);
    details->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    details->installEventFilter(new FocusWhenShown(details));
}

} // namespace qor
