#include "qorgenerator.h"

#include "access.h"
#include "controls.h"
#include "filesink.h"
#include "fit.h"
#include "generate/messagetext.h"
#include "generate/startvalues.h"
#include "layout.h"
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

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Arial is rarely installed outside Windows; Liberation Sans has its metrics,
// so captions fit the boxes drawn for Arial.
QFont fontFor(layout::Font kind, const QFont &base)
{
    const layout::FontFace face = layout::faceOf(kind);
    QFont f = base;
    f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setPointSizeF(face.points);
    f.setBold(face.bold);
    return f;
}

QColor colourOf(layout::Colour c, const QPalette &system)
{
    return c.role == QPalette::NoRole ? QColor(c.rgb) : system.color(c.role);
}

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
    setWindowTitle(QString::fromLatin1(windowCaption));
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
    scroller_ = putOnCanvas(this, layout::toPixels(layout::clientArea).size());
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
    // Plain text: a folder named "<b>x</b>" is shown as it is named.
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(applicationTitle),
                    QString::fromStdString(fitForMessageBox(text.toStdString())), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
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
        shape->setGeometry(layout::toPixels(s.box));
    }
}

void QorGenerator::createLabels()
{
    for (const layout::LabelRow &s : layout::labels) {
        auto *label = new QLabel(qs(s.caption), this);
        label->setObjectName(qs(s.name));
        label->setGeometry(layout::toPixels(s.box));
        if (s.font != layout::Font::Default)
            label->setFont(fontFor(s.font, font()));
        label->setAlignment(s.align == layout::Align::Centre ? Qt::AlignHCenter | Qt::AlignTop
                                                             : Qt::AlignLeft | Qt::AlignTop);
        label->setFocusPolicy(Qt::NoFocus);
        if (s.transparent) {
            QPalette pal = label->palette();
            pal.setColor(QPalette::WindowText, Qt::black); // on Shape9's fill
            label->setPalette(pal);
        } else if (s.background.role != QPalette::Window) {
            paint(label, colourOf(s.background, fills_), fills_.color(QPalette::WindowText));
        } // else a prompt on the window's background: the desktop's colours, live
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
        box->setGeometry(layout::toPixels(layout::items.check[static_cast<std::size_t>(slot)]));
        box->setProperty(tagProperty, qs(item.itemClass));
        box->setAccessibleName(qs(item.caption));
        setTickValue(*box, startTick);
        const layout::GroupStyle style = layout::groupStyle(item.group);
        paint(box, colourOf(style.background, fills_), colourOf(style.text, fills_));
        controls_.wep[static_cast<std::size_t>(slot)] = box;
    }
    static_assert(layout::briefing.size() == briefingOptions.size());
    for (std::size_t n = 0; n < layout::briefing.size(); ++n) {
        const layout::BriefingRow &s = layout::briefing[n];
        auto *box = new TickBox(qs(s.caption), this);
        box->setObjectName(qs(s.name));
        box->setGeometry(
            layout::toPixels({layout::briefingLeft, s.top, layout::briefingWidth, layout::briefingHeight}));
        box->setFont(fontFor(layout::Font::Briefing, font()));
        box->setProperty(tagProperty, qs(briefingOptions[n].key));
        box->setAccessibleName(qs(s.caption));
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
        box->setGeometry(layout::toPixels(layout::items.count[static_cast<std::size_t>(slot)]));
        box->setProperty(tagProperty, qs(item.magazineClass));
        box->setAccessibleName(item.kind == Kind::AmmoBox
                                   ? qs(catalogue[static_cast<std::size_t>(item.weaponSlot)].caption) +
                                         QStringLiteral(" ammo")
                                   : qs(item.caption) + QStringLiteral(" count"));
        // Twenty pixels are narrow: give the digits the room the frame's
        // padding would take, so two of them always show.
        box->setTextMargins(-1, 0, -1, 0);
        box->setText(startText);
        controls_.cant[static_cast<std::size_t>(slot)] = box;
    }

    auto scriptBox = [this](const char *name, layout::Twips where, const char *accessible) {
        auto *box = new LineBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(layout::toPixels(where));
        box->setAccessibleName(QString::fromLatin1(accessible));
        return box;
    };
    controls_.txti1 = scriptBox("txti1", layout::txti1Box, "On load intro");
    controls_.txti2 = scriptBox("txti2", layout::txti2Box, "On load mission");

    // Source of the quote character that encloses the script names; never
    // seen, focused or edited.
    auto *quote = new LineBox(this);
    quote->setObjectName(QStringLiteral("txtt"));
    quote->setGeometry(layout::toPixels(layout::txttBox));
    quote->setAccessibleName(QStringLiteral("Quote character"));
    quote->setText(qs(quoteCharacter));
    quote->setEnabled(false);
    quote->setFocusPolicy(Qt::NoFocus);
    quote->hide();
    controls_.txtt = quote;
}

void QorGenerator::createButton()
{
    cmd_ = new PressButton(QStringLiteral("G E N E R A T E"), this);
    cmd_->setObjectName(QStringLiteral("cmd"));
    cmd_->setGeometry(layout::toPixels(layout::cmdBox));
    cmd_->setFont(fontFor(layout::Font::Button, font()));
    cmd_->setAccessibleName(QStringLiteral("Generate"));
    connect(cmd_, &QPushButton::clicked, this, &QorGenerator::cmd_Click);
}

// The button first, then the item rows group by group (layout::rowTab), the
// ammo boxes, the script names and the briefing options. Labels and the
// hidden quote box never take the focus, so they are left out.
void QorGenerator::chainTabOrder()
{
    auto groupOf = [](int slot) { return catalogue[static_cast<std::size_t>(slot)].group; };
    std::vector<QWidget *> chain{cmd_};
    for (int s = 0; s < checkBoxCount; ++s) {
        const Group group = groupOf(s);
        const bool groupEnd = s == 0 || groupOf(s - 1) != group || s + 1 == checkBoxCount || groupOf(s + 1) != group;
        const layout::RowTab rule = layout::rowTab(group);
        const bool checkFirst =
            rule == layout::RowTab::CheckFirst || (rule == layout::RowTab::CountFirstButAtTheEnds && groupEnd);
        QWidget *check = controls_.wep[static_cast<std::size_t>(s)];
        QWidget *count = controls_.cant[static_cast<std::size_t>(s)];
        chain.push_back(checkFirst ? check : count);
        chain.push_back(checkFirst ? count : check);
    }
    for (int s = checkBoxCount; s < slotCount; ++s) // ammo boxes
        chain.push_back(controls_.cant[static_cast<std::size_t>(s)]);
    chain.push_back(controls_.txti1);
    chain.push_back(controls_.txti2);
    for (QCheckBox *box : controls_.chki)
        chain.push_back(box);

    for (std::size_t k = 1; k < chain.size(); ++k)
        setTabOrder(chain[k - 1], chain[k]);
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
        const layout::GroupStyle style = layout::groupStyle(catalogue[static_cast<std::size_t>(slot)].group);
        controls_.cant[static_cast<std::size_t>(slot)]->setProperty(backdropProperty,
                                                                    colourOf(style.background, fills_));
    }
}

void QorGenerator::describeForScreenReaders()
{
    for (int slot = 0; slot < slotCount; ++slot)
        controls_.cant[static_cast<std::size_t>(slot)]->setAccessibleDescription(countDescription(slot));
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
