#include "ui/qt/qorgenerator.h"

#include "io/filesink.h"
#include "layout/texts.h"
#include "press/startvalues.h"
#include "ui/qt/access.h"
#include "ui/qt/controls.h"
#include "ui/qt/fit.h"
#include "ui/qt/folderwatch.h"
#include "ui/qt/qtlayout.h"
#include "ui/qt/scheme.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
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

QString fromUtf8(const std::string &s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

// The session's side of the platform: the folders in the working folder's
// terms (file names as the system's bytes), the recently used ones in the
// platform's settings (never in a mission folder), and the window's asker.
class QorGenerator::SettingsDesk final : public SystemDesk
{
  public:
    explicit SettingsDesk(const QuestionPresenter &asker) : asker_(asker) {}

    Answer ask(const Question &question) override { return asker_(question); }
    std::vector<std::string> storedFolders() const override
    {
        std::vector<std::string> folders;
        for (const QString &f : settings().value(recentKey).toStringList())
            folders.push_back(QFile::encodeName(f).toStdString());
        return folders;
    }
    void storeFolders(const std::vector<std::string> &folders) override
    {
        QStringList list;
        for (const std::string &f : folders)
            list << QFile::decodeName(QByteArray::fromStdString(f));
        settings().setValue(recentKey, list);
    }

  private:
    static QSettings settings() { return QSettings(QStringLiteral("qorgenerator"), QStringLiteral("qorgenerator")); }
    static inline const QString recentKey = QStringLiteral("recentFolders");

    const QuestionPresenter &asker_;
};

QorGenerator::QorGenerator(QWidget *parent) : QWidget(parent)
{
    setObjectName(qs(layout::windowName));
    setWindowTitle(qs(layout::windowCaption));
    // Every position and size was set for a narrow 8 pt dialog font; desktop defaults
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
    createFooter();
    setFocusBackdrops();
    describeForScreenReaders();
    chainTabOrder();
    fitToScreen(this, scroller_, footer_);

    form_ =
        std::make_unique<WidgetForm>(controls_, [this](const QString &t, MessageKind k) { showModalMessage(t, k); });
    asker_ = [this](const Question &q) { return askModal(q); };
    setFolderChooser({});
    desk_ = std::make_unique<SettingsDesk>(asker_);
    session_ = std::make_unique<Session>(*form_, *desk_, descriptionSink);
    watch_ = std::make_unique<FolderWatch>(this, [this] { folderChanged(); });
    cmd_->setFocus();
}

QorGenerator::~QorGenerator() = default;

void QorGenerator::setMessagePresenter(MessagePresenter presenter)
{
    form_->setPresenter(std::move(presenter));
}

void QorGenerator::setFolderChooser(FolderChooser chooser)
{
    if (!chooser)
        chooser = [this](const QString &current, const QStringList &recent) { return chooseModal(current, recent); };
    chooser_ = std::move(chooser);
}

void QorGenerator::showModalMessage(const QString &text, MessageKind kind)
{
    // The title is passed here rather than set as the application's display
    // name, which Qt would append to the window caption on X11 and Windows.
    // Plain text: a folder named "<b>x</b>" is shown as it is named.
    const QMessageBox::Icon icon = kind == MessageKind::warning ? QMessageBox::Warning : QMessageBox::Information;
    QMessageBox box(icon, qs(layout::applicationTitle), text, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QorGenerator::cmd_Click()
{
    {
        const QuietForm quietly(scroller_->widget()); // "Load it into the form" refills it
        session_->press();
    }
    showStatus();
}

void QorGenerator::openWorkingFolder(bool startValues)
{
    {
        const QuietForm quietly(scroller_->widget());
        session_->open(startValues);
    }
    watch_->watchWorkingFolder();
    showStatus();
}

void QorGenerator::folderChanged()
{
    bool changed = false;
    {
        const QuietForm quietly(scroller_->widget());
        changed = session_->folderChanged();
    }
    if (changed)
        showStatus();
}

void QorGenerator::rememberFolder()
{
    session_->rememberFolder();
}

QString QorGenerator::statusText() const
{
    return status_->text();
}

void QorGenerator::chooseFolder()
{
    QStringList recent;
    for (const std::string &f : session_->recentFolders())
        recent << QFile::decodeName(QByteArray::fromStdString(f));
    const QString chosen = chooser_(QDir::currentPath(), recent);
    // However the chooser closed, the keys come back to the button that
    // opened it: now, and again once the window is active, which the
    // desktop may make it only after the chooser's last popup (a completion
    // list closed by Return) is gone.
    focusBack_ = true;
    focusBackTries_ = 0;
    giveFocusBack();
    if (chosen.isEmpty())
        return;
    {
        const QuietForm quietly(scroller_->widget());
        if (session_->switchFolder(QFile::encodeName(chosen).toStdString()))
            watch_->watchWorkingFolder();
    }
    showStatus();
}

// Tried again every tenth of a second for a while. With a screen reader
// listening to the keys, the toolkit can take the chooser's last focus-out
// for the window's own while the desktop has already given the window the
// keys, and asking the desktop again changes nothing: the window is active
// there. Then, with no window of ours active, the window takes the
// activation itself, so that the reader hears where the keys are.
void QorGenerator::giveFocusBack()
{
    if (!focusBack_)
        return;
    constexpr int tries = 15, askFirst = 3;
    if (!isActiveWindow() && !QApplication::activeWindow() && focusBackTries_ >= askFirst)
        QApplication::setActiveWindow(this);
    else
        activateWindow();
    folderButton_->setFocus(Qt::OtherFocusReason);
    if (isActiveWindow() && QApplication::focusWidget() == folderButton_)
        focusBack_ = false;
    else if (++focusBackTries_ < tries)
        QTimer::singleShot(100, this, &QorGenerator::giveFocusBack);
}

// Below the scroll area, so that it stays in view while the canvas scrolls:
// what happened last, and the way to another folder.
void QorGenerator::createFooter()
{
    footer_ = new QWidget(this);
    footer_->setObjectName(qs(layout::statusBandName));
    footer_->setAccessibleName(qs(layout::statusLineName));
    // The status line fills the band to its edges, where its focus frame
    // goes; its text keeps the band's margin inside it.
    auto *row = new QHBoxLayout(footer_);
    const int margin = layout::toPixels(layout::statusMarginTwips);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    status_ = new StatusLine(footer_);
    status_->setObjectName(qs(layout::statusTextName));
    status_->setFont(fontFor(layout::statusFont, font()));
    status_->setAccessibleName(qs(layout::statusName));
    status_->setContentsMargins(margin, margin, margin, margin);
    row->addWidget(status_, 1);
    auto *buttonColumn = new QVBoxLayout;
    buttonColumn->setContentsMargins(0, margin, margin, margin);
    row->addLayout(buttonColumn);
    folderButton_ = new QPushButton(qs(layout::folderCaption), footer_);
    folderButton_->setObjectName(qs(layout::stopName({layout::Focusable::folderButton})));
    folderButton_->setAccessibleName(qs(layout::folderCaption));
    folderButton_->setAccessibleDescription(qs(layout::folderDescription));
    folderButton_->setFixedWidth(
        std::max(folderButton_->sizeHint().width(), layout::toPixels(layout::folderButtonWidth)));
    buttonColumn->addWidget(folderButton_, 0, Qt::AlignTop);
    fitStatusBand(toPixels(layout::clientArea).width());
    auto *column = static_cast<QVBoxLayout *>(layout());
    column->setSpacing(0); // the canvas gets every pixel the window gives it
    column->addWidget(footer_);
    connect(folderButton_, &QPushButton::clicked, this, &QorGenerator::chooseFolder);
}

void QorGenerator::showStatus()
{
    status_->setText(fromUtf8(session_->status()));
    fitStatusBand(width());
    announceStatus(status_, fromUtf8(session_->heardStatus(heardFolder_)));
}

// The band as tall as the status needs at the window's `width`; the canvas
// gives up the height, or the window grows where the screen has room.
void QorGenerator::fitStatusBand(int width)
{
    if (!footer_)
        return; // resized while the window is still being made
    const QMargins text = status_->contentsMargins();
    const int margin = layout::toPixels(layout::statusMarginTwips);
    const int textWidth = width - text.left() - text.right() - margin - folderButton_->width();
    const int lines = status_->linesAt(textWidth);
    const int band = std::max(layout::statusBandPixels(lines, status_->fontMetrics().lineSpacing(), 96),
                              folderButton_->sizeHint().height() + 2 * margin);
    if (footer_->minimumHeight() == band && footer_->maximumHeight() == band)
        return;
    footer_->setFixedHeight(band);
    if (scroller_)
        fitToScreen(this, scroller_, footer_, true);
}

void QorGenerator::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (event->size().width() != event->oldSize().width())
        fitStatusBand(event->size().width());
}

void QorGenerator::closeEvent(QCloseEvent *event)
{
    if (session_ && !session_->mayClose())
        event->ignore();
    else
        QWidget::closeEvent(event);
}

Answer QorGenerator::askModal(const Question &question)
{
    QMessageBox box(QMessageBox::Question, qs(layout::applicationTitle), fromUtf8(question.text), QMessageBox::NoButton,
                    this);
    box.setTextFormat(Qt::PlainText);
    box.setDetailedText(fromUtf8(question.details));
    readableDetails(box);
    QPushButton *replace = box.addButton(fromUtf8(question.acceptLabel), QMessageBox::AcceptRole);
    QPushButton *load = question.offerLoad ? box.addButton(tr(loadLabel), QMessageBox::ActionRole) : nullptr;
    QPushButton *cancel = box.addButton(tr(cancelLabel), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == replace)
        return Answer::Replace;
    if (load && box.clickedButton() == load)
        return Answer::Load;
    return Answer::Cancel;
}

QString QorGenerator::chooseModal(const QString &current, const QStringList &recent)
{
    QFileDialog dialog(this, qs(layout::chooserTitle), current);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setHistory(recent);
    QList<QUrl> places = dialog.sidebarUrls();
    for (const QString &folder : recent)
        if (!places.contains(QUrl::fromLocalFile(folder)))
            places << QUrl::fromLocalFile(folder);
    dialog.setSidebarUrls(places);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
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
        box->setObjectName(qs(layout::controlName(wep(slot))));
        box->setGeometry(toPixels(layout::items.check[static_cast<std::size_t>(slot)]));
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
        box->setAccessibleName(qs(layout::accessibleName(chki(static_cast<int>(n) + 1))));
        setTickValue(*box, briefingOptions[n].start);
        controls_.chki[n] = box;
    }
}

void QorGenerator::createTextBoxes()
{
    const QString startText = qs(startCount);
    for (int slot = 0; slot < slotCount; ++slot) {
        auto *box = new CountBox(this);
        box->setObjectName(qs(layout::controlName(cant(slot))));
        box->setGeometry(toPixels(layout::items.count[static_cast<std::size_t>(slot)]));
        box->setAccessibleName(qs(layout::accessibleName(cant(slot))));
        box->setText(startText);
        controls_.cant[static_cast<std::size_t>(slot)] = box;
    }

    auto scriptBox = [this](layout::Twips where, ControlId id) {
        auto *box = new LineBox(this);
        box->setObjectName(qs(layout::controlName(id)));
        box->setGeometry(toPixels(where));
        box->setAccessibleName(qs(layout::accessibleName(id)));
        return box;
    };
    controls_.txti1 = scriptBox(layout::txti1Box, txti1);
    controls_.txti2 = scriptBox(layout::txti2Box, txti2);

    // Source of the quote character that encloses the script names; never
    // seen, focused or edited.
    auto *quote = new LineBox(this);
    quote->setObjectName(qs(layout::controlName(txtt)));
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
    cmd_->setObjectName(qs(layout::stopName({layout::Focusable::cmd})));
    cmd_->setGeometry(toPixels(layout::cmdBox));
    cmd_->setFont(fontFor(layout::Font::Button, font()));
    cmd_->setAccessibleName(qs(layout::cmdName));
    connect(cmd_, &QPushButton::clicked, this, &QorGenerator::cmd_Click);
}

// Labels and the hidden quote box never take the focus, so they have no stop.
void QorGenerator::chainTabOrder()
{
    auto widgetAt = [this](layout::TabStop stop) { return findChild<QWidget *>(qs(layout::stopName(stop))); };
    for (std::size_t k = 1; k < layout::tabStops.size(); ++k)
        setTabOrder(widgetAt(layout::tabStops[k - 1]), widgetAt(layout::tabStops[k]));
}

void QorGenerator::showEvent(QShowEvent *event)
{
    // Now the desktop's frame around the window is known, and the window
    // has a screen to follow: moved onto a smaller one, it fits that one.
    fitToScreen(this, scroller_, footer_);
    if (!followsScreen_) {
        followsScreen_ = true;
        connect(windowHandle(), &QWindow::screenChanged, this, [this] { fitToScreen(this, scroller_, footer_); });
    }
    QWidget::showEvent(event);
}

void QorGenerator::changeEvent(QEvent *event)
{
    // Announced before the window was shown, the start status reached no
    // screen reader; after the window's own name and focus, it does.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && focusBack_)
        QTimer::singleShot(0, this, &QorGenerator::giveFocusBack);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !startHeard_) {
        startHeard_ = true;
        QTimer::singleShot(0, this, [this] { announceStatus(status_, status_->property("spoken").toString(), true); });
    }
    QWidget::changeEvent(event);
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
    for (const layout::PromptRow &p : layout::prompts)
        findChild<QLabel *>(qs(p.label))->setBuddy(findChild<QWidget *>(qs(layout::controlName(p.box))));
    // The scroll area and its parts; the bars show only on a small screen.
    scroller_->setAccessibleName(qs(layout::scrollAreaName));
    scroller_->viewport()->setAccessibleName(qs(layout::viewportName));
    scroller_->widget()->setAccessibleName(qs(layout::canvasName));
    for (QScrollBar *bar : {scroller_->verticalScrollBar(), scroller_->horizontalScrollBar()}) {
        const QString name =
            qs(bar->orientation() == Qt::Vertical ? layout::verticalBarName : layout::horizontalBarName);
        bar->setAccessibleName(name);
        bar->parentWidget()->setAccessibleName(name);
    }
}

} // namespace qor
