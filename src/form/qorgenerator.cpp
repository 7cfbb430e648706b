#include "qorgenerator.h"

#include "access.h"
#include "controls.h"
#include "filesink.h"
#include "fit.h"
#include "generate/startvalues.h"
#include "layout/texts.h"
#include "qtlayout.h"
#include "scheme.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QWindow>

namespace qor
{

namespace
{

// Buttons, check boxes among them, fill with the Button role, labels with
// Window; set whichever the widget uses.
void paint(QWidget *w, QColor background, QColor text)
{
    QPalette pal = w->palette();
    pal.setColor(w->backgroundRole(), background);
    pal.setColor(w->foregroundRole(), text);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

} // namespace

QorGenerator::QorGenerator(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("qorgenerator"));
    setWindowTitle(qs(layout::windowCaption));
    // The layout was drawn for a narrow 8 pt dialog font; desktop defaults
    // are wider and would cut the longest captions ("6G30 Barrel Grenade
    // Launcher" under its count box), so the window brings its own.
    setFont(fontFor(layout::Font::Default, font()));
    installAccessibility();
    fills_ = fillPalette(palette(), style()->standardPalette());

    // Creation order is stacking order: decoration at the bottom, lines over
    // labels, then check boxes, the text boxes over them, and the button.
    createShapes();
    createLabels();
    createLines();
    createCheckBoxes();
    createTextBoxes();
    createButton();
    scroller_ = putOnCanvas(this, toPixels(layout::clientArea).size());
    setFocusBackdrops();
    describeForScreenReaders();
    chainTabOrder();
    fitToScreen(this, scroller_);

    form_ = std::make_unique<WidgetForm>(controls_, [this](const QString &t) { showModalMessage(t); });
    cmd_->setFocus();
}

QorGenerator::~QorGenerator() = default;

void QorGenerator::setMessagePresenter(MessagePresenter presenter)
{
    form_->setPresenter(std::move(presenter));
}

void QorGenerator::showModalMessage(const QString &text)
{
    // The title is passed here rather than set as the application's display
    // name, which Qt would append to the window caption on X11 and Windows.
    QMessageBox box(QMessageBox::NoIcon, qs(layout::applicationTitle), text, QMessageBox::Ok, this);
    box.exec();
}

void QorGenerator::cmd_Click()
{
    FileSink file(fileName);
    qor::cmd_Click(*form_, file, fields_);
}

void QorGenerator::createShapes()
{
    for (const layout::ShapeRow &s : layout::shapes) {
        auto *shape = new FilledShape(colourOf(s.fill, fills_), s.rounded, s.outlinePx, this);
        shape->setObjectName(qs(s.name));
        shape->setGeometry(toPixels(s.box));
    }
}

void QorGenerator::createLabels()
{
    for (const layout::LabelRow &s : layout::labels) {
        auto *label = new QLabel(qs(s.caption), this);
        label->setObjectName(qs(s.name));
        label->setGeometry(toPixels(s.box));
        if (s.font != layout::Font::Default)
            label->setFont(fontFor(s.font, font()));
        label->setAlignment(s.align == layout::Align::Centre ? Qt::AlignHCenter | Qt::AlignTop
                                                             : Qt::AlignLeft | Qt::AlignTop);
        label->setFocusPolicy(Qt::NoFocus);
        switch (s.how) {
        case layout::LabelFill::Own:
            paint(label, colourOf(s.background, fills_), colourOf(s.text, fills_));
            break;
        case layout::LabelFill::Transparent: {
            QPalette pal = label->palette();
            pal.setColor(QPalette::WindowText, colourOf(s.text, fills_));
            label->setPalette(pal);
            break;
        }
        case layout::LabelFill::Window: // the desktop's colours, followed live
            break;
        }
    }
}

void QorGenerator::createLines()
{
    for (const layout::LineRow &s : layout::lines) {
        const QPoint from(layout::toPixels(s.x1), layout::toPixels(s.y1));
        const QPoint to(layout::toPixels(s.x2), layout::toPixels(s.y2));
        auto *line = new FrameLine(from, to, s.widthPx, colourOf(layout::lineColour, palette()), this);
        line->setObjectName(qs(s.name));
    }
}

void QorGenerator::createCheckBoxes()
{
    for (int slot = 0; slot < checkBoxCount; ++slot) {
        const Item &item = catalogue[static_cast<std::size_t>(slot)];
        auto *box = new TickBox(qs(item.caption), this);
        box->setObjectName(QStringLiteral("wep_%1").arg(slot));
        box->setGeometry(toPixels(layout::items.check[static_cast<std::size_t>(slot)]));
        box->setProperty(tagProperty, qs(item.itemClass));
        box->setAccessibleName(qs(layout::accessibleName(wep(slot))));
        setTickValue(*box, startTick);
        const layout::GroupStyle style = layout::groupStyle(item.group);
        paint(box, colourOf(style.fill, fills_), colourOf(style.text, fills_));
        controls_.wep[static_cast<std::size_t>(slot)] = box;
    }
    static_assert(layout::briefing.size() == briefingOptions.size());
    for (std::size_t n = 0; n < layout::briefing.size(); ++n) {
        const layout::BriefingRow &s = layout::briefing[n];
        auto *box = new TickBox(qs(s.caption), this);
        box->setObjectName(qs(s.name));
        box->setGeometry(toPixels(layout::briefingBox(s)));
        box->setFont(fontFor(layout::Font::Briefing, font()));
        box->setProperty(tagProperty, qs(briefingOptions[n].key));
        box->setAccessibleName(qs(layout::accessibleName(chki(static_cast<int>(n) + 1))));
        setTickValue(*box, briefingOptions[n].start);
        controls_.chki[n] = box;
    }
}

void QorGenerator::createTextBoxes()
{
    const QString startText = qs(startCount);
    for (int slot = 0; slot < slotCount; ++slot) {
        const Item &item = catalogue[static_cast<std::size_t>(slot)];
        auto *box = new LineBox(this);
        box->setObjectName(QStringLiteral("cant_%1").arg(slot));
        box->setGeometry(toPixels(layout::items.count[static_cast<std::size_t>(slot)]));
        box->setProperty(tagProperty, qs(item.magazineClass));
        box->setAccessibleName(qs(layout::accessibleName(cant(slot))));
        // Twenty pixels are narrow: give the digits the room the frame's
        // padding would take, so two of them always show.
        box->setTextMargins(-1, 0, -1, 0);
        box->setText(startText);
        controls_.cant[static_cast<std::size_t>(slot)] = box;
    }

    auto scriptBox = [this](const char *name, layout::Twips where, ControlId id) {
        auto *box = new LineBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(toPixels(where));
        box->setAccessibleName(qs(layout::accessibleName(id)));
        return box;
    };
    controls_.txti1 = scriptBox("txti1", layout::txti1Box, txti1);
    controls_.txti2 = scriptBox("txti2", layout::txti2Box, txti2);

    // Source of the quote character that encloses the script names; never
    // seen, focused or edited.
    auto *quote = new LineBox(this);
    quote->setObjectName(QStringLiteral("txtt"));
    quote->setGeometry(toPixels(layout::txttBox));
    quote->setAccessibleName(qs(layout::accessibleName(txtt)));
    quote->setText(qs(quoteCharacter));
    quote->setEnabled(false);
    quote->setFocusPolicy(Qt::NoFocus);
    quote->hide();
    controls_.txtt = quote;
}

void QorGenerator::createButton()
{
    cmd_ = new PressButton(qs(layout::cmdCaption), this);
    cmd_->setObjectName(QStringLiteral("cmd"));
    cmd_->setGeometry(toPixels(layout::cmdBox));
    cmd_->setFont(fontFor(layout::Font::Button, font()));
    cmd_->setAccessibleName(qs(layout::cmdName));
    connect(cmd_, &QPushButton::clicked, this, &QorGenerator::cmd_Click);
}

// Labels and the hidden quote box never take the focus, so they have no stop.
void QorGenerator::chainTabOrder()
{
    auto widgetAt = [this](layout::TabStop stop) -> QWidget * {
        const auto k = static_cast<std::size_t>(stop.index);
        switch (stop.control) {
        case layout::Focusable::cmd:
            return cmd_;
        case layout::Focusable::wep:
            return controls_.wep[k];
        case layout::Focusable::cant:
            return controls_.cant[k];
        case layout::Focusable::txti1:
            return controls_.txti1;
        case layout::Focusable::txti2:
            return controls_.txti2;
        case layout::Focusable::chki:
            return controls_.chki[k - 1];
        }
        return nullptr;
    };
    for (std::size_t k = 1; k < layout::tabStops.size(); ++k)
        setTabOrder(widgetAt(layout::tabStops[k - 1]), widgetAt(layout::tabStops[k]));
}

void QorGenerator::showEvent(QShowEvent *event)
{
    // Now the desktop's frame around the window is known, and the window
    // has a screen to follow: moved onto a smaller one, it fits that one.
    fitToScreen(this, scroller_);
    if (!followsScreen_) {
        followsScreen_ = true;
        connect(windowHandle(), &QWindow::screenChanged, this, [this] { fitToScreen(this, scroller_); });
    }
    QWidget::showEvent(event);
}

// A count box's focus frame must stand out against its group's fill; the
// other controls stand on the window's background, or fill themselves.
void QorGenerator::setFocusBackdrops()
{
    for (int slot = 0; slot < slotCount; ++slot) {
        const Group group = catalogue[static_cast<std::size_t>(slot)].group;
        controls_.cant[static_cast<std::size_t>(slot)]->setProperty(backdropProperty,
                                                                    colourOf(layout::fillOf(group), fills_));
    }
}

void QorGenerator::describeForScreenReaders()
{
    for (int slot = 0; slot < slotCount; ++slot)
        controls_.cant[static_cast<std::size_t>(slot)]->setAccessibleDescription(qs(layout::countDescription(slot)));
    findChild<QLabel *>(QStringLiteral("Label1"))->setBuddy(controls_.txti1);
    findChild<QLabel *>(QStringLiteral("Label2"))->setBuddy(controls_.txti2);
    // The scroll area and its parts; the bars show only on a small screen.
    scroller_->setAccessibleName(QStringLiteral("Window contents"));
    scroller_->viewport()->setAccessibleName(QStringLiteral("Visible part"));
    scroller_->widget()->setAccessibleName(QStringLiteral("Mission settings"));
    for (QScrollBar *bar : {scroller_->verticalScrollBar(), scroller_->horizontalScrollBar()}) {
        const QString name = bar->orientation() == Qt::Vertical ? QStringLiteral("Vertical scroll bar")
                                                                : QStringLiteral("Horizontal scroll bar");
        bar->setAccessibleName(name);
        bar->parentWidget()->setAccessibleName(name);
    }
}

} // namespace qor
