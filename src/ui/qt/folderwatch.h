#pragma once
// The working folder watched for another program's changes: a file renamed
// over description.ext (editors, version control), a write into it, its
// removal. The notifications are gathered and passed on once they settle;
// what they mean is the core's to decide.

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QTimer>

#include <functional>

namespace qor
{

class FolderWatch
{
  public:
    // `settled` runs once a run of notifications has settled.
    FolderWatch(QObject *owner, std::function<void()> settled);

    // Watches the process's working folder and the file in it, from now on.
    void watchWorkingFolder();

  private:
    void noticed();
    void watchFile();

    QFileSystemWatcher watcher_;
    QTimer quiet_;
    QElapsedTimer first_;
    QString folder_, file_;
};

} // namespace qor
