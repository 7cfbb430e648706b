#pragma once
// One window's work, decided once for every front-end: which folder it works
// in, opening its file, a press, the questions, a change of folder, the
// recently used folders, the status line and the text of a message.
//
//   window --(FormView, Desk)--> Session --> Mission (one per folder)
//                                   |          press: an edit of its file (edit.h)
//                                   +--> cmd_Click, while no folder is open
//
// A window builds its controls, hands them over as a FormView and the
// platform's side of the folder as a Desk, calls a Session method for each
// thing the user does, and then shows status(). It decides nothing itself.

#include "io/outputfile.h"
#include "io/workfolder.h"
#include "mission/mission.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qor
{

// How many folders "Folder..." offers as recently used.
inline constexpr std::size_t recentFolderCount = 8;

// A window gathers the folder's change notifications and tells the session
// once they have been quiet this long, or this long after the first at the
// latest: a checkout or an editor's save is many changes in a row, and one
// reload with one status is what the user should see and hear.
inline constexpr int folderQuietMilliseconds = 40;
inline constexpr int folderLatestMilliseconds = 150;

// What only the platform knows about folders, and the user's answers.
class Desk : public Asker
{
  public:
    // Makes `folder` the working folder: empty, or the system's reason.
    virtual std::string enterFolder(const std::string &folder) = 0;
    // The working folder in full, as the user knows it.
    virtual std::string currentFolder() const = 0;
    // The recently used folders as the platform's settings hold them.
    virtual std::vector<std::string> storedFolders() const = 0;
    virtual void storeFolders(const std::vector<std::string> &folders) = 0;
    // Whether two names are one folder: by default byte for byte.
    virtual bool sameFolder(const std::string &a, const std::string &b) const { return a == b; }
};

// A Desk on the process's own working folder; a window adds where its
// platform keeps settings, and how it asks.
class SystemDesk : public Desk
{
  public:
    std::string enterFolder(const std::string &folder) override { return qor::enterFolder(folder); }
    std::string currentFolder() const override { return workingFolder(); }
    bool sameFolder(const std::string &a, const std::string &b) const override { return qor::sameFolder(a, b); }
};

// `folder` first, then those of `recent` that name no folder already listed,
// at most recentFolderCount in all. An empty `folder` only tidies the list.
std::vector<std::string> withRecent(const std::vector<std::string> &recent, const std::string &folder,
                                    const std::function<bool(const std::string &, const std::string &)> &same);

class Session
{
  public:
    // The file a press writes, in the working folder.
    using FileOpener = std::function<std::unique_ptr<OutputFile>()>;

    Session(FormView &form, Desk &desk, FileOpener openFile);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Works in the current folder: reads its description.ext into the form,
    // or keeps the start values. `shownAs` names the folder in the status
    // line; empty, the folder in full.
    void open(bool startValues, const std::string &shownAs = {});
    // One press of "G E N E R A T E", after the question if one is due.
    void press();
    // Another folder, chosen by the user: asks first when the form holds
    // values not yet written. A folder that cannot be entered leaves
    // everything as it was and says why in the status line. True when the
    // session now works in `folder`.
    bool switchFolder(const std::string &folder);
    // Whether the window may close now: values not yet written are asked
    // about first, as a change of folder asks.
    bool mayClose();
    // The working folder changed on disk (the window's watcher saw it, and
    // its notifications have settled). True when the status changed. While
    // a press or a question is under way nothing is loaded; the change is
    // looked at once that is over.
    bool folderChanged();
    // Puts the working folder first among the recent ones (a start on a
    // folder named on the command line).
    void rememberFolder();
    // The recently used folders, most recent first.
    std::vector<std::string> recentFolders() const;

    std::string status() const;
    // The working folder as status() begins with it; empty before open().
    std::string shownFolder() const;
    // status() as a screen reader should hear it: without the folder, which
    // is said only when it is another than the one last heard (`heard`,
    // which this updates).
    std::string heardStatus(std::string &heard) const;
    // The folder's document; null before open().
    const Mission *mission() const { return mission_.get(); }
    const WindowFields &fields() const { return fields_; }

  private:
    class ShownForm;
    class Busy;

    std::unique_ptr<ShownForm> form_;
    Desk &desk_;
    FileOpener openFile_;
    std::unique_ptr<Mission> mission_;
    WindowFields fields_;
    std::string note_;    // a failure that changed nothing, until the next step
    bool busy_ = false;   // a press or a question is under way
    bool missed_ = false; // the folder changed meanwhile
};

} // namespace qor
