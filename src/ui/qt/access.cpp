#include "ui/qt/access.h"

#include "ui/qt/controls.h"
#include "ui/qt/fit.h"
#include "ui/qt/qorgenerator.h"

#include <QAccessibleWidget>
#include <QWidget>

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

} // namespace qor
