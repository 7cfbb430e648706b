#include "mission/session.h"

#include "format/plaintext.h"
#include "mission/messagetext.h"

namespace qor
{

std::vector<std::string> withRecent(const std::vector<std::string> &recent, const std::string &folder,
                                    const std::function<bool(const std::string &, const std::string &)> &same)
{
    std::vector<std::string> out;
    auto add = [&](const std::string &f) {
        if (f.empty() || out.size() == recentFolderCount)
            return;
        for (const std::string &kept : out)
            if (same(kept, f))
                return;
        out.push_back(f);
    };
    add(folder);
    for (const std::string &f : recent)
        add(f);
    return out;
}

// The window's form as a press sees it: every message fitted to a message
// box on the way, so that both windows show the same text.
class Session::ShownForm final : public FormView
{
  public:
    explicit ShownForm(FormView &view) : view_(view) {}

    std::string text(ControlId box) const override { return view_.text(box); }
    void setText(ControlId box, std::string_view text) override { view_.setText(box, text); }
    void setFocus(ControlId box) override { view_.setFocus(box); }
    std::int16_t value(ControlId checkBox) const override { return view_.value(checkBox); }
    void setValue(ControlId checkBox, std::int16_t value) override { view_.setValue(checkBox, value); }
    void showMessage(std::string_view text, MessageKind kind) override
    {
        view_.showMessage(fitForMessageBox(text), kind);
    }

  private:
    FormView &view_;
};

Session::Session(FormView &form, Desk &desk, FileOpener openFile)
    : form_(std::make_unique<ShownForm>(form)), desk_(desk), openFile_(std::move(openFile))
{
}

Session::~Session() = default;

void Session::open(bool startValues, const std::string &shownAs)
{
    note_.clear();
    mission_ = std::make_unique<Mission>(shownAs.empty() ? desk_.currentFolder() : shownAs);
    if (startValues)
        mission_->openBlank(*form_);
    else
        mission_->open(*form_);
}

// Holds off what the folder's watcher reports while a press, a message or a
// question is under way (a window's modal loop still runs its timers).
class Session::Busy
{
  public:
    explicit Busy(Session &s) : s_(s), was_(std::exchange(s.busy_, true)) {}
    ~Busy()
    {
        s_.busy_ = was_;
        if (!was_ && std::exchange(s_.missed_, false))
            s_.folderChanged();
    }
    Busy(const Busy &) = delete;
    Busy &operator=(const Busy &) = delete;

  private:
    Session &s_;
    bool was_;
};

void Session::press()
{
    note_.clear();
    const Busy busy(*this);
    const std::unique_ptr<OutputFile> file = openFile_();
    if (mission_)
        mission_->press(*form_, *file, fields_, desk_);
    else // no folder opened: the plain command, with nothing to ask about
        cmd_Click(*form_, *file, fields_);
}

bool Session::mayClose()
{
    const Busy busy(*this);
    return !mission_ || mission_->mayClose(*form_, desk_);
}

bool Session::folderChanged()
{
    if (busy_) {
        missed_ = true;
        return false;
    }
    if (!mission_ || !mission_->diskChanged(*form_))
        return false;
    note_.clear();
    return true;
}

bool Session::switchFolder(const std::string &folder)
{
    if (folder.empty())
        return false;
    const Busy busy(*this);
    if (mission_ && mission_->hasUnsavedValues(*form_) &&
        desk_.ask(mission_->leavingQuestion(*form_)) != Answer::Replace)
        return false;
    const std::string reason = desk_.enterFolder(folder);
    if (!reason.empty()) {
        // Nothing changed: the form, the folder and its file stay as they
        // were, and the status line says why.
        note_ = folder + " cannot be opened (" + reason + "); still working in " +
                (mission_ ? mission_->folder() : desk_.currentFolder());
        return false;
    }
    open(false);
    rememberFolder();
    return true;
}

void Session::rememberFolder()
{
    desk_.storeFolders(
        withRecent(desk_.storedFolders(), desk_.currentFolder(),
                   [this](const std::string &a, const std::string &b) { return desk_.sameFolder(a, b); }));
}

std::vector<std::string> Session::recentFolders() const
{
    return withRecent(desk_.storedFolders(), {},
                      [this](const std::string &a, const std::string &b) { return desk_.sameFolder(a, b); });
}

std::string Session::shownFolder() const
{
    return mission_ ? plainText(mission_->shownFolder()) : std::string();
}

std::string Session::heardStatus(std::string &heard) const
{
    std::string text = status();
    const std::string folder = shownFolder();
    if (!folder.empty() && text.starts_with(folder + ": "))
        text.erase(0, folder.size() + 2);
    if (folder != heard) {
        heard = folder;
        if (!folder.empty())
            text = "In " + folder + ". " + text;
    }
    return text;
}

std::string Session::status() const
{
    if (!note_.empty())
        return plainText(note_); // folder names come from outside
    return mission_ ? mission_->status() : std::string();
}

} // namespace qor
