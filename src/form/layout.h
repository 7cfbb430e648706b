#pragma once
// Where every control of the window stands, what colour and font it has.
//
// Positions are kept in twips, as the layout was drawn, and turned into
// logical pixels only when a widget is placed; 15 twips make one pixel, and
// every position below divides evenly, so nothing is rounded in practice.

#include "catalogue/catalogue.h"

#include <QPalette>
#include <QRect>
#include <QRgb>

#include <array>
#include <string_view>

namespace qor::layout
{

inline constexpr int twipsPerPixel = 15;

constexpr int toPixels(int twips)
{
    // Round half away from zero; the window never has negative positions.
    return (twips + twipsPerPixel / 2) / twipsPerPixel;
}

struct Twips {
    int left, top, width, height;
};

inline QRect toPixels(Twips t)
{
    return {toPixels(t.left), toPixels(t.top), toPixels(t.width), toPixels(t.height)};
}

inline constexpr Twips clientArea{0, 0, 12135, 10350};

// A colour is either fixed or one of the palette's system colours, looked up
// when the window is built so that it follows the desktop's theme.
struct Colour {
    QPalette::ColorRole role = QPalette::NoRole;
    QRgb rgb = 0;
};

constexpr Colour rgb(int r, int g, int b)
{
    return {QPalette::NoRole, qRgb(r, g, b)};
}
inline constexpr Colour highlight{QPalette::Highlight};
inline constexpr Colour highlightText{QPalette::HighlightedText};
inline constexpr Colour windowBackground{QPalette::Window};
inline constexpr Colour windowText{QPalette::WindowText};

enum class Font { Default, Title, Ammo, Prompt, Briefing, Button };

// Every font is Arial (or its metric twin) in one of these sizes.
struct FontFace {
    Font font;
    double points;
    bool bold;
};

inline constexpr std::array<FontFace, 6> fontFaces = {{
    {Font::Default, 7.5, false}, // the window's user-interface font
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

struct GroupStyle {
    Colour background;
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

struct LineRow {
    std::string_view name;
    int x1, y1, x2, y2; // twips
    int widthPx;
};

inline constexpr Colour lineColour = rgb(0, 0, 192);

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
    {"Shape4", {240, 120, 3495, 615}, highlight, true, 0},
    {"Shape1", {240, 600, 3495, 6615}, highlight, false, 0},
    {"Shape3", {4200, 120, 3615, 615}, rgb(255, 128, 128), true, 0},
    {"Shape2", {4200, 600, 3615, 5175}, rgb(255, 128, 128), false, 0},
    {"Shape6", {4200, 5880, 3615, 615}, rgb(192, 255, 192), true, 0},
    {"Shape5", {4200, 6240, 3615, 1695}, rgb(192, 255, 192), false, 0},
    {"Shape8", {8280, 120, 3615, 615}, rgb(255, 255, 128), true, 0},
    {"Shape7", {8280, 600, 3615, 5655}, rgb(255, 255, 128), false, 0},
    {"Shape9", {8040, 9480, 4095, 855}, highlight, false, 3},
}};

enum class Align { Left, Centre };

struct LabelRow {
    std::string_view name;
    std::string_view caption;
    Twips box;
    Font font;
    Colour background; // unused when transparent
    bool transparent;
    Align align;
};

// The credits shown over Shape9.
inline constexpr std::string_view authorName = "Mara Velden";
inline constexpr std::string_view authorContact = "mara.velden@example.invalid";
inline constexpr std::string_view authorInstitution = "Velden Mission Workshop";

inline constexpr std::array<LabelRow, 12> labels = {{
    {"lblnato", "NATO Weapons", {360, 240, 3135, 375}, Font::Title, highlight, false, Align::Centre},
    {"lblrus", "RUSIAN Weapons", {4440, 240, 3135, 375}, Font::Title, rgb(255, 128, 128), false, Align::Centre},
    {"lblot", "Other Weapons", {4320, 6000, 3135, 375}, Font::Title, rgb(192, 255, 192), false, Align::Centre},
    {"lblequ", "Equipment", {8640, 240, 2895, 375}, Font::Title, rgb(255, 255, 128), false, Align::Centre},
    {"lbla1", "ammo", {3240, 480, 375, 135}, Font::Ammo, highlight, false, Align::Centre},
    {"lbla2", "ammo", {7320, 480, 375, 135}, Font::Ammo, rgb(255, 128, 128), false, Align::Centre},
    {"lbla3", "ammo", {7320, 6240, 375, 135}, Font::Ammo, rgb(192, 255, 192), false, Align::Centre},
    {"Label1", "On load intro:", {120, 8280, 1455, 255}, Font::Prompt, windowBackground, false, Align::Left},
    {"Label2", "On load mission:", {120, 8760, 1695, 255}, Font::Prompt, windowBackground, false, Align::Left},
    {"Label3", authorName, {8160, 9600, 4095, 255}, Font::Default, {}, true, Align::Centre},
    {"Label4", authorContact, {8160, 9840, 4095, 255}, Font::Default, {}, true, Align::Centre},
    {"Label5", authorInstitution, {8160, 10080, 4095, 255}, Font::Default, {}, true, Align::Centre},
}};

// chki1..chki7; their keys and start states are the core's (startvalues.h).
struct BriefingRow {
    std::string_view name;
    std::string_view caption;
    int top; // twips; left, width and height are shared
};

inline constexpr int briefingLeft = 8880;
inline constexpr int briefingWidth = 2535;
inline constexpr int briefingHeight = 420;

inline constexpr std::array<BriefingRow, 7> briefing = {{
    {"chki1", "Show Compass", 6600},
    {"chki2", "Show GPS", 6960},
    {"chki3", "Show Map", 7320},
    {"chki4", "Show Notepad", 7680},
    {"chki5", "Show Watch", 8040},
    {"chki6", "Show Debriefing", 8400},
    {"chki7", "Show Radio", 8760},
}};

inline constexpr Twips txti1Box{2040, 8280, 5895, 375};
inline constexpr Twips txti2Box{2040, 8760, 5895, 375};
inline constexpr Twips cmdBox{720, 9600, 6495, 495};
inline constexpr Twips txttBox{5280, 9840, 150, 195};

// Item rows. Rows are 360 twips apart; every check box is 255 high and every
// count or ammo box 300 by 285.
inline constexpr int rowPitch = 360;
inline constexpr int checkHeight = 255;
inline constexpr int countWidth = 300;
inline constexpr int countHeight = 285;

// A group's check boxes stand one row each, in slot order.
struct RowRule {
    Group group;
    int top; // top of the first row
    int checkLeft, checkWidth;
    int countLeft;
    int ammoLeft; // -1: the group has no ammo boxes
};

inline constexpr std::array<RowRule, 3> rowRules = {{
    {Group::Nato, 720, 360, 2055, 2880, 3240},
    {Group::Russian, 720, 4440, 2055, 6960, 7320},
    {Group::Equipment, 720, 8520, 2415, 11400, -1},
}};

// Check boxes wider than their group's rule, for their longer captions.
struct WideCheck {
    int slot, width;
};
inline constexpr std::array<WideCheck, 5> wideChecks = {{
    {15, 2535},
    {22, 2415},
    {25, 2295},
    {29, 2655},
    {31, 2415},
}};

// The Other group follows no rule.
struct OtherRow {
    int slot;
    int checkLeft, checkTop, checkWidth;
    int countLeft, countTop;
    int ammoSlot, ammoLeft, ammoTop; // ammoSlot -1: none
};
inline constexpr std::array<OtherRow, 5> otherRows = {{
    {47, 4440, 6480, 2415, 5400, 6480, -1, 0, 0},
    {48, 6000, 6480, 1695, 7320, 6480, -1, 0, 0},
    {49, 6000, 6840, 1695, 7320, 6840, -1, 0, 0},
    {50, 4440, 7200, 2415, 6960, 7200, 84, 7320, 7200},
    {51, 4440, 7560, 2415, 6960, 7560, 85, 7320, 7560},
}};

struct ItemBoxes {
    std::array<Twips, checkBoxCount> check{};
    std::array<Twips, slotCount> count{};
};

// Every wep and cant box, by slot, from the rules above.
constexpr ItemBoxes itemBoxes()
{
    ItemBoxes boxes;
    for (const RowRule &r : rowRules) {
        int row = 0;
        for (int s = 0; s < checkBoxCount; ++s) {
            if (catalogue[static_cast<std::size_t>(s)].group != r.group)
                continue;
            const int top = r.top + rowPitch * row++;
            int width = r.checkWidth;
            for (const WideCheck &w : wideChecks)
                if (w.slot == s)
                    width = w.width;
            boxes.check[s] = {r.checkLeft, top, width, checkHeight};
            boxes.count[s] = {r.countLeft, top, countWidth, countHeight};
        }
    }
    // Ammo boxes share the row of the weapon they feed.
    for (const Item &item : catalogue) {
        if (item.kind != Kind::AmmoBox || item.group == Group::Other)
            continue;
        for (const RowRule &r : rowRules)
            if (catalogue[static_cast<std::size_t>(item.weaponSlot)].group == r.group)
                boxes.count[item.slot] = {r.ammoLeft, boxes.count[item.weaponSlot].top, countWidth, countHeight};
    }
    for (const OtherRow &o : otherRows) {
        boxes.check[o.slot] = {o.checkLeft, o.checkTop, o.checkWidth, checkHeight};
        boxes.count[o.slot] = {o.countLeft, o.countTop, countWidth, countHeight};
        if (o.ammoSlot >= 0)
            boxes.count[o.ammoSlot] = {o.ammoLeft, o.ammoTop, countWidth, countHeight};
    }
    return boxes;
}

inline constexpr ItemBoxes items = itemBoxes();

// Which box of an item's row Tab reaches first, by group. Tab walks the
// check-box slots in order, then the ammo boxes.
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

} // namespace qor::layout
