#include "ui/qt/folderwatch.h"

#include "format/filewords.h"
#include "mission/session.h"

#include <QDir>
#include <QFileInfo>

namespace qor
{

FolderWatch::FolderWatch(QObject *owner, std::function<void()> settled) : watcher_(owner), quiet_(owner)
{
    quiet_.setSingleShot(true);
    QObject::connect(&quiet_, &QTimer::timeout, owner, [this, settled = std::move(settled)] {
        first_.invalidate();
        settled();
    });
    // The folder tells of names made, removed and renamed over; the file
    // itself of writes into it. A file replaced or removed drops out of the
    // watch, so it is watched again at each notification.
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, owner, [this] { noticed(); });
    QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, owner, [this] { noticed(); });
}

void FolderWatch::watchWorkingFolder()
{
    if (!watcher_.directories().isEmpty())
        watcher_.removePaths(watcher_.directories());
    if (!watcher_.files().isEmpty())
        watcher_.removePaths(watcher_.files());
    folder_ = QDir::currentPath();
    file_ = QDir(folder_).filePath(QString::fromUtf8(fileName));
    watcher_.addPath(folder_);
    watchFile();
}

void FolderWatch::watchFile()
{
    if (!watcher_.files().contains(file_) && QFileInfo(file_).isFile())
        watcher_.addPath(file_);
}

// Waits for a quiet spell, but never longer than the latest: a stream of
// writes still shows the file as it goes.
void FolderWatch::noticed()
{
    watchFile();
    if (!first_.isValid())
        first_.start();
    const qint64 left = folderLatestMilliseconds - first_.elapsed();
    quiet_.start(static_cast<int>(std::clamp<qint64>(left, 0, folderQuietMilliseconds)));
}

} // namespace qor
