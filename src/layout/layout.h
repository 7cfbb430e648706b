#pragma once
// What the window looks like, for every front-end: where each control stands,
// its colours and fonts, the order Tab walks, and what it says. Nothing here
// draws; the Qt window and the Win32 window each turn these values into their
// own types, so no position, colour, font or tab rule is written twice.
//
// Positions are in twips (1440 to the inch; 15 to the pixel at 96 dots per
// inch), from the top left of the window's client area. Every position below
// divides evenly by 15, so nothing is rounded at 96 dpi.

#include "catalogue/catalogue.h"
#include "press/formview.h"
#include "press/startvalues.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qor::layout
{

inline constexpr int twipsPerPixel = 15;

// The names the window and its parts go by, beside those of the form's
// controls (texts.h): the window, the band below the canvas and its text.
inline constexpr std::string_view windowName = "qorgenerator";
inline constexpr std::string_view statusBandName = "footer";
inline constexpr std::string_view statusTextName = "status";

// Pixels at 96 dpi, rounded half away from zero (positions are never negative).
constexpr int toPixels(int twips)
{
    return (twips + twipsPerPixel / 2) / twipsPerPixel;
}

struct Twips {
    int left, top, width, height;
};

inline constexpr Twips clientArea{0, 0, 12135, 10350};

// A colour is fixed or one of the desktop's own, looked up when the window is
// built so that it follows the desktop's theme.
enum class SystemColour : std::uint8_t { None, Highlight, HighlightText, Window, WindowText };

struct Colour {
    SystemColour system = SystemColour::None;
    std::uint8_t red = 0, green = 0, blue = 0; // when system is None
    friend constexpr bool operator==(Colour, Colour) = default;
};

constexpr Colour rgb(int r, int g, int b)
{
    return {SystemColour::None, static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
            static_cast<std::uint8_t>(b)};
}
inline constexpr Colour highlight{SystemColour::Highlight};
inline constexpr Colour highlightText{SystemColour::HighlightText};
inline constexpr Colour windowBackground{SystemColour::Window};
inline constexpr Colour windowText{SystemColour::WindowText};

// Where the desktop asks for dark windows, the neutral areas (the window's
// background and the boxes) turn dark; the group fills keep their light
// colours, and every text is chosen against the fill it stands on
// (contrast.h), so texts on fills stay dark and those on neutral areas turn
// light. A high-contrast theme outranks both.
enum class Scheme : std::uint8_t { Light, Dark, HighContrast };

struct NeutralColours {
    Colour window, box, text;
    // A push button's face, and under the pointer; pressed, it sinks to the
    // box's colour. The boxes' and buttons' frames and marks take the text's.
    Colour button, buttonHot;
};

inline constexpr NeutralColours darkNeutrals{rgb(53, 53, 53), rgb(35, 35, 35), rgb(255, 255, 255), rgb(70, 70, 70),
                                             rgb(90, 90, 90)};

// Each group's fill, and the text of its check boxes. The shapes and labels
// of a group take their fill from here.
struct GroupStyle {
    Colour fill;
    Colour text;
};

constexpr GroupStyle groupStyle(Group g)
{
    switch (g) {
    case Group::Nato:
        return {highlight, highlightText};
    case Group::Russian:
        return {rgb(255, 128, 128), windowText};
    case Group::Other:
        return {rgb(192, 255, 192), windowText};
    case Group::Equipment:
        return {rgb(255, 255, 128), rgb(0, 0, 128)};
    }
    return {};
}

constexpr Colour fillOf(Group g)
{
    return groupStyle(g).fill;
}

// The frame lines between the panes.
inline constexpr Colour lineColour = rgb(0, 0, 192);
// The credits stand on Shape9 without a fill of their own.
inline constexpr Colour creditText = rgb(0, 0, 0);

// Every font is Arial in one of these sizes. Liberation Sans has Arial's
// metrics, so where Arial is missing the captions still fit their boxes.
inline constexpr std::array<std::string_view, 2> fontFamilies = {"Arial", "Liberation Sans"};

enum class Font { Default, Title, Ammo, Prompt, Briefing, Button };

struct FontFace {
    Font font;
    double points;
    bool bold;
};

inline constexpr std::array<FontFace, 6> fontFaces = {{
    {Font::Default, 7.5, false}, // the window's own: every control without a font of its own
    {Font::Title, 14.25, true},  // group titles
    {Font::Ammo, 6, false},      // "ammo" over the ammo boxes
    {Font::Prompt, 9.75, true},  // the script names' prompts
    {Font::Briefing, 14.25, false},
    {Font::Button, 18, true},
}};

constexpr FontFace faceOf(Font font)
{
    for (const FontFace &face : fontFaces)
        if (face.font == font)
            return face;
    throw "a font without a face";
}

struct LineRow {
    std::string_view name;
    int x1, y1, x2, y2; // twips
    int widthPx;
};

inline constexpr std::array<LineRow, 9> lines = {{
    {"Line1", 0, 8040, 8040, 8040, 4},
    {"Line2", 8040, 0, 8040, 10320, 4},
    {"Line3", 8040, 6360, 12120, 6360, 4},
    {"Line4", 3960, 0, 3960, 8040, 4},
    {"Line5", 0, 9360, 8040, 9360, 4},
    {"Line6", 0, 0, 0, 10320, 5},
    {"Line7", 12120, 10320, 0, 10320, 5},
    {"Line8", 12120, 0, 12120, 10320, 5},
    {"Line9", 8040, 9480, 12240, 9480, 4},
}};

struct ShapeRow {
    std::string_view name;
    Twips box;
    Colour fill;
    bool rounded;
    int outlinePx; // outline in the fill colour; 0 for none
};

// Bottom to top: each title box lies under the body that follows it.
inline constexpr std::array<ShapeRow, 9> shapes = {{
    {"Shape4", {240, 120, 3495, 615}, fillOf(Group::Nato), true, 0},
    {"Shape1", {240, 600, 3495, 6615}, fillOf(Group::Nato), false, 0},
    {"Shape3", {4200, 120, 3615, 615}, fillOf(Group::Russian), true, 0},
    {"Shape2", {4200, 600, 3615, 5175}, fillOf(Group::Russian), false, 0},
    {"Shape6", {4200, 5880, 3615, 615}, fillOf(Group::Other), true, 0},
    {"Shape5", {4200, 6240, 3615, 1695}, fillOf(Group::Other), false, 0},
    {"Shape8", {8280, 120, 3615, 615}, fillOf(Group::Equipment), true, 0},
    {"Shape7", {8280, 600, 3615, 5655}, fillOf(Group::Equipment), false, 0},
    {"Shape9", {8040, 9480, 4095, 855}, highlight, false, 3}, // behind the credits
}};

enum class Align { Left, Centre };

// How a label is painted: on a fill of its own (a group's), on the window's
// background (the desktop's colours, followed live), or transparent over the
// shape beneath it, in a fixed text colour.
enum class LabelFill { Own, Window, Transparent };

struct LabelRow {
    std::string_view name;
    std::string_view caption;
    Twips box;
    Font font;
    LabelFill how;
    Colour background; // for LabelFill::Own
    Colour text;       // for LabelFill::Own and Transparent
    Align align;
};

// The credits shown over Shape9.
inline constexpr std::string_view authorName = "Mara Velden";
inline constexpr std::string_view authorContact = "mara.velden@example.invalid";
inline constexpr std::string_view authorInstitution = "Velden Mission Workshop";

namespace detail
{
constexpr LabelRow onFill(std::string_view name, std::string_view caption, Twips box, Font font, Group group)
{
    return {name, caption, box, font, LabelFill::Own, fillOf(group), windowText, Align::Centre};
}
constexpr LabelRow prompt(std::string_view name, std::string_view caption, Twips box)
{
    return {name, caption, box, Font::Prompt, LabelFill::Window, windowBackground, windowText, Align::Left};
}
constexpr LabelRow credit(std::string_view name, std::string_view caption, Twips box)
{
    return {name, caption, box, Font::Default, LabelFill::Transparent, {}, creditText, Align::Centre};
}
} // namespace detail

inline constexpr std::array<LabelRow, 12> labels = {{
    detail::onFill("lblnato", "NATO Weapons", {360, 240, 3135, 375}, Font::Title, Group::Nato),
    detail::onFill("lblrus", "RUSIAN Weapons", {4440, 240, 3135, 375}, Font::Title, Group::Russian),
    detail::onFill("lblot", "Other Weapons", {4320, 6000, 3135, 375}, Font::Title, Group::Other),
    detail::onFill("lblequ", "Equipment", {8640, 240, 2895, 375}, Font::Title, Group::Equipment),
    detail::onFill("lbla1", "ammo", {3240, 480, 375, 135}, Font::Ammo, Group::Nato),
    detail::onFill("lbla2", "ammo", {7320, 480, 375, 135}, Font::Ammo, Group::Russian),
    detail::onFill("lbla3", "ammo", {7320, 6240, 375, 135}, Font::Ammo, Group::Other),
    detail::prompt("Label1", "On load intro:", {120, 8280, 1455, 255}),
    detail::prompt("Label2", "On load mission:", {120, 8760, 1695, 255}),
    detail::credit("Label3", authorName, {8160, 9600, 4095, 255}),
    detail::credit("Label4", authorContact, {8160, 9840, 4095, 255}),
    detail::credit("Label5", authorInstitution, {8160, 10080, 4095, 255}),
}};

// The prompt each script box goes with: screen readers say it as the box's
// label.
struct PromptRow {
    ControlId box;
    std::string_view label;
};
inline constexpr std::array<PromptRow, 2> prompts = {{{txti1, "Label1"}, {txti2, "Label2"}}};

// What a label's text stands on: its own fill, the window's background, or
// the topmost shape under its middle.
constexpr Colour fillBehind(const LabelRow &label)
{
    switch (label.how) {
    case LabelFill::Own:
        return label.background;
    case LabelFill::Window:
        return windowBackground;
    case LabelFill::Transparent:
        break;
    }
    const int x = label.box.left + label.box.width / 2, y = label.box.top + label.box.height / 2;
    Colour fill = windowBackground;
    for (const ShapeRow &s : shapes)
        if (x >= s.box.left && x < s.box.left + s.box.width && y >= s.box.top && y < s.box.top + s.box.height)
            fill = s.fill;
    return fill;
}

// chki1, chki2, ...: one row per briefing option, whose key and start state
// are the core's (startvalues.h).
struct BriefingRow {
    std::string_view name;
    std::string_view caption;
    int top; // twips; left, width and height are shared
};

inline constexpr int briefingLeft = 8880;
inline constexpr int briefingWidth = 2535;
inline constexpr int briefingHeight = 420;

inline constexpr auto briefing = std::to_array<BriefingRow>({
    {"chki1", "Show Compass", 6600},
    {"chki2", "Show GPS", 6960},
    {"chki3", "Show Map", 7320},
    {"chki4", "Show Notepad", 7680},
    {"chki5", "Show Watch", 8040},
    {"chki6", "Show Debriefing", 8400},
    {"chki7", "Show Radio", 8760},
});
static_assert(briefing.size() == briefingOptions.size(), "one row for every briefing option");

constexpr Twips briefingBox(const BriefingRow &row)
{
    return {briefingLeft, row.top, briefingWidth, briefingHeight};
}

inline constexpr Twips txti1Box{2040, 8280, 5895, 375};
inline constexpr Twips txti2Box{2040, 8760, 5895, 375};
inline constexpr Twips cmdBox{720, 9600, 6495, 495};
inline constexpr Twips txttBox{5280, 9840, 150, 195};

// Below the canvas and outside it, so that it stays in view while the canvas
// scrolls: the status line, and at its right the button that chooses the
// mission folder.
inline constexpr int statusBandHeight = 375;
inline constexpr int folderButtonWidth = 1335;

// The status line shows its text whole, never cut: wrapped at spaces, and
// within a word (a long path) where a word is wider than the line, onto as
// many lines as the text needs at the band's width. The band is as tall as
// those lines and its margins above and below, and never lower than
// statusBandHeight; the canvas above gives up the height (it scrolls where
// the screen is short).
inline constexpr Font statusFont = Font::Prompt;
inline constexpr int statusMarginTwips = 60; // each side of the text

// The band's height in pixels, for `lines` lines of `lineHeight` pixels at
// `dpi` dots per inch.
constexpr int statusBandPixels(int lines, int lineHeight, int dpi)
{
    const int margin = (statusMarginTwips * dpi + 720) / 1440;
    const int lowest = (statusBandHeight * dpi + 720) / 1440;
    const int needed = lines * lineHeight + 2 * margin;
    return needed > lowest ? needed : lowest;
}

// One step of a scroll bar's arrow, in pixels at 96 dpi; a notch of the
// mouse wheel scrolls three.
inline constexpr int scrollLinePixels = 20;
inline constexpr int wheelLines = 3;

// A one-line box holds no line break, whether the text was typed, pasted or
// set. U+2028 and U+2029 stay: they end no line of the file.
template <class Char> constexpr bool isLineBreak(Char c)
{
    return c == Char('\r') || c == Char('\n');
}

// Item rows. Rows are 360 twips apart; every check box is 255 high and every
// count or ammo box 300 by 285.
inline constexpr int rowPitch = 360;
inline constexpr int checkHeight = 255;
inline constexpr int countWidth = 300;
inline constexpr int countHeight = 285;

// A group's check boxes stand one row each, in slot order; an ammo box
// stands on the row of the weapon it feeds.
struct RowRule {
    Group group;
    int top; // top of the first row
    int checkLeft, checkWidth;
    int countLeft;
    int ammoLeft; // unused where the group has no ammo boxes
};

inline constexpr std::array<RowRule, 3> rowRules = {{
    {Group::Nato, 720, 360, 2055, 2880, 3240},
    {Group::Russian, 720, 4440, 2055, 6960, 7320},
    {Group::Equipment, 720, 8520, 2415, 11400, 0},
}};

// Check boxes wider than their group's rule, for their longer captions, by
// their items' class names.
struct WideCheck {
    std::string_view item;
    int width;
};
inline constexpr auto wideChecks = std::to_array<WideCheck>({
    {"MM1", 2535},
    {"AK74GrenadeLauncher", 2415},
    {"AK47GrenadeLauncher", 2295},
    {"6G30", 2655},
    {"Skorpion", 2415},
});

// The Other group follows no rule: a place for each of its items, by class
// name. Its weapons' ammo boxes (the catalogue says which have one) stand on
// the weapon's row in the ammo column.
struct OtherRow {
    std::string_view item;
    int checkLeft, top, checkWidth;
    int countLeft;
};
inline constexpr int otherAmmoLeft = 7320;
inline constexpr auto otherRows = std::to_array<OtherRow>({
    {"Kozlice", 4440, 6480, 2415, 5400},
    {"Kozliceshell", 6000, 6480, 1695, 7320},
    {"Kozliceball", 6000, 6840, 1695, 7320},
    {"AK47CZ", 4440, 7200, 2415, 6960},
    {"CZ75", 4440, 7560, 2415, 6960},
});

namespace detail
{
// Every item of the Other group has a place, and only those items; every
// wide check box is an item that a rule places.
constexpr bool everyItemPlaced()
{
    int others = 0;
    for (const Item &item : catalogue)
        others += item.group == Group::Other && item.kind != Kind::AmmoBox ? 1 : 0;
    if (others != static_cast<int>(otherRows.size()))
        return false;
    for (const OtherRow &o : otherRows)
        if (catalogue[static_cast<std::size_t>(slotOf(o.item))].group != Group::Other)
            return false;
    for (const WideCheck &w : wideChecks)
        if (catalogue[static_cast<std::size_t>(slotOf(w.item))].group == Group::Other)
            return false;
    return true;
}
static_assert(everyItemPlaced());
} // namespace detail

struct ItemBoxes {
    std::array<Twips, checkBoxCount> check{};
    std::array<Twips, slotCount> count{};
};

// Every wep and cant box, by slot, from the rules above.
constexpr ItemBoxes itemBoxes()
{
    ItemBoxes boxes;
    auto wide = [](int slot, int width) {
        for (const WideCheck &w : wideChecks)
            if (slotOf(w.item) == slot)
                return w.width;
        return width;
    };
    for (const RowRule &r : rowRules) {
        int row = 0;
        for (int s = 0; s < checkBoxCount; ++s) {
            if (catalogue[static_cast<std::size_t>(s)].group != r.group)
                continue;
            const int top = r.top + rowPitch * row++;
            boxes.check[s] = {r.checkLeft, top, wide(s, r.checkWidth), checkHeight};
            boxes.count[s] = {r.countLeft, top, countWidth, countHeight};
        }
    }
    for (const OtherRow &o : otherRows) {
        const auto slot = static_cast<std::size_t>(slotOf(o.item));
        boxes.check[slot] = {o.checkLeft, o.top, o.checkWidth, checkHeight};
        boxes.count[slot] = {o.countLeft, o.top, countWidth, countHeight};
    }
    for (const Item &item : catalogue) {
        if (item.kind != Kind::AmmoBox)
            continue;
        int left = otherAmmoLeft;
        for (const RowRule &r : rowRules)
            if (r.group == item.group)
                left = r.ammoLeft;
        boxes.count[item.slot] = {left, boxes.count[item.weaponSlot].top, countWidth, countHeight};
    }
    return boxes;
}

inline constexpr ItemBoxes items = itemBoxes();

namespace detail
{
// A row added to the catalogue has its place, or the compilation stops here.
constexpr bool everyBoxHasAPlace()
{
    for (const Twips &t : items.check)
        if (t.width == 0)
            return false;
    for (const Twips &t : items.count)
        if (t.width == 0)
            return false;
    return true;
}
static_assert(everyBoxHasAPlace());

// The body of each group's panel, which its items' boxes must lie within.
constexpr Twips panelOf(Group g)
{
    const std::string_view name = g == Group::Nato      ? "Shape1"
                                  : g == Group::Russian ? "Shape2"
                                  : g == Group::Other   ? "Shape5"
                                                        : "Shape7";
    for (const ShapeRow &shape : shapes)
        if (shape.name == name)
            return shape.box;
    throw "no panel for this group";
}

constexpr bool within(const Twips &box, const Twips &panel)
{
    return box.left >= panel.left && box.top >= panel.top && box.left + box.width <= panel.left + panel.width &&
           box.top + box.height <= panel.top + panel.height;
}

// A row added to a group that its panel cannot hold stops the compilation
// here: make the panel (and what lies below it) room.
constexpr bool everyBoxInItsPanel()
{
    for (const Item &item : catalogue) {
        const auto slot = static_cast<std::size_t>(item.slot);
        const Twips panel = panelOf(item.group);
        if (!within(items.count[slot], panel) || (item.kind != Kind::AmmoBox && !within(items.check[slot], panel)))
            return false;
    }
    return true;
}
static_assert(everyBoxInItsPanel());
} // namespace detail

// The order Tab walks. Labels and the hidden quote holder never take the
// focus, so they have no place here.
enum class Focusable : std::uint8_t { cmd, wep, cant, txti1, txti2, chki, status, folderButton };

struct TabStop {
    Focusable control;
    int index = 0; // slot for wep and cant, from 1 for chki
    friend constexpr bool operator==(TabStop, TabStop) = default;
};

// The form's control a stop reaches; none for the button, the status line and
// the folder button, which are the window's own.
constexpr std::optional<ControlId> formControl(TabStop stop)
{
    switch (stop.control) {
    case Focusable::wep:
        return wep(stop.index);
    case Focusable::cant:
        return cant(stop.index);
    case Focusable::txti1:
        return txti1;
    case Focusable::txti2:
        return txti2;
    case Focusable::chki:
        return chki(stop.index);
    case Focusable::cmd:
    case Focusable::status:
    case Focusable::folderButton:
        break;
    }
    return std::nullopt;
}

// Which box of an item's row Tab reaches first, by group.
enum class RowTab {
    CheckFirst,
    CountFirst,
    CountFirstButAtTheEnds, // check box first on the group's first and last rows
};

constexpr RowTab rowTab(Group g)
{
    switch (g) {
    case Group::Nato:
        return RowTab::CountFirstButAtTheEnds;
    case Group::Russian:
        return RowTab::CountFirst;
    case Group::Equipment:
    case Group::Other:
        return RowTab::CheckFirst;
    }
    return RowTab::CheckFirst;
}

inline constexpr std::size_t tabStopCount =
    1 + 2 * checkBoxCount + (slotCount - checkBoxCount) + 2 + briefing.size() + 2;

// The button first, then the item rows group by group (rowTab), the ammo
// boxes in slot order, the script names, the briefing options, and last the
// band below the canvas: the status line, which a keyboard user reaches to
// read it whole or copy it, then the folder button.
constexpr std::array<TabStop, tabStopCount> tabOrder()
{
    std::array<TabStop, tabStopCount> order{};
    std::size_t n = 0;
    order[n++] = {Focusable::cmd};
    auto groupOf = [](int slot) { return catalogue[static_cast<std::size_t>(slot)].group; };
    for (int s = 0; s < checkBoxCount; ++s) {
        const Group group = groupOf(s);
        const bool groupEnd = s == 0 || groupOf(s - 1) != group || s + 1 == checkBoxCount || groupOf(s + 1) != group;
        const RowTab rule = rowTab(group);
        const bool checkFirst = rule == RowTab::CheckFirst || (rule == RowTab::CountFirstButAtTheEnds && groupEnd);
        const TabStop check{Focusable::wep, s}, count{Focusable::cant, s};
        order[n++] = checkFirst ? check : count;
        order[n++] = checkFirst ? count : check;
    }
    for (int s = checkBoxCount; s < slotCount; ++s)
        order[n++] = {Focusable::cant, s};
    order[n++] = {Focusable::txti1};
    order[n++] = {Focusable::txti2};
    for (std::size_t b = 1; b <= briefing.size(); ++b)
        order[n++] = {Focusable::chki, static_cast<int>(b)};
    order[n++] = {Focusable::status};
    order[n++] = {Focusable::folderButton};
    if (n != tabStopCount)
        throw "a control without a tab stop";
    return order;
}

inline constexpr std::array<TabStop, tabStopCount> tabStops = tabOrder();

} // namespace qor::layout
