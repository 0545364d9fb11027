// The play list's commands (copy, delete, clear, random), the options and the commands that
// open the other windows.

#include "catalogmodels.h"
#include "copyjob.h"
#include "copyplan.h"
#include "directorylist.h"
#include "dlgfrm.h"
#include "localfolder.h"
#include "playlistrows.h"
#include "programstate.h"
#include "prompts.h"
#include "randompicks.h"
#include "settingsstore.h"
#include "statuspanels.h"
#include "treeplayer.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>

void TreePlayer::connectCommands() {
    m_random.seed(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()));
    localFolder = localfolder::defaultRoot();

    copyProgress = new QProgressBar(StatusBar1);
    copyProgress->setObjectName("copyProgress");
    // Wide enough for its text; the status text beside it gives way instead.
    const int progressWidth =
        copyProgress->fontMetrics().horizontalAdvance("File 000 of 000: 00000 of 00000 KB") + 40;
    copyProgress->setMinimumWidth(progressWidth);
    copyProgress->setMaximumWidth(progressWidth);
    copyProgress->hide();
    copyCancel = new QPushButton("Cancel", StatusBar1);
    copyCancel->setObjectName("copyCancel");
    copyCancel->setToolTip("Stop copying; the files copied so far stay ticked");
    copyCancel->hide();
    StatusBar1->addPermanentWidget(copyProgress);
    StatusBar1->addPermanentWidget(copyCancel);
    connect(copyCancel, &QPushButton::clicked, this, [this] {
        if (m_copy)
            m_copy->cancel();
    });

    // The play list's commands are its right-button menu (treeplayer_playlist.cpp pops it up).
    connect(mnuCopy, &QAction::triggered, this, &TreePlayer::copyPlaylist);
    connect(mnuDelete, &QAction::triggered, this, &TreePlayer::deleteTickedRows);
    connect(mnuClear, &QAction::triggered, this, &TreePlayer::clearPlaylist);
    connect(mnuRandom, &QAction::triggered, this, &TreePlayer::addRandomSongs);
    connect(mnuSavePlaylist, &QAction::triggered, this, &TreePlayer::savePlaylistFile);
    connect(mnuOpenPlaylist, &QAction::triggered, this, &TreePlayer::openPlaylistFile);
    connect(mnuWinamp, &QAction::triggered, this, &TreePlayer::toggleWinamp);
    connect(mnuDrive, &QAction::triggered, this, &TreePlayer::toggleDrive);
    connect(mnuStats, &QAction::triggered, this, [this] {
        if (m_state.windows)
            m_state.windows->showStats();
    });
    connect(mnuCataloger, &QAction::triggered, this, &TreePlayer::openCataloger);
    connect(mnuLocal, &QAction::triggered, this, &TreePlayer::switchLocal);
}

// ---- Copy ----------------------------------------------------------------------------------

void TreePlayer::copyPlaylist() {
    if (isCopying())
        return;
    if (PlaylistRows(lstSongs).count() == 0) {
        m_state.prompts.message("No data in list");
        return;
    }
    if (!chooseTargetDir())
        return; // closed without a choice: nothing is copied anywhere
    startCopy();
}

// The directory dialog, cut down to its directory part, starting at the last folder chosen.
bool TreePlayer::chooseTargetDir() {
    DlgFrm dialog(m_state, this);
    dialog.setLayoutMode(DlgFrm::Layout::Directory);
    if (!m_state.TargetDir.isEmpty())
        dialog.Dir1->setPath(m_state.TargetDir);
    return dialog.exec() == QDialog::Accepted;
}

void TreePlayer::startCopy() {
    if (!m_state.TargetDir.endsWith(QDir::separator()))
        m_state.TargetDir += QDir::separator();
    const QString target = m_state.TargetDir;
    if (!QFileInfo(target).isDir()) {
        const Prompts::Answer answer =
            m_state.prompts.message("Directory doesn't exist.  Create it?",
                                    Prompts::Buttons::OkCancel, "Confirm Directory Creation");
        if (answer != Prompts::Answer::Ok)
            return;
        if (!QDir().mkdir(target)) {
            m_state.prompts.message(QStringLiteral("The directory %1 cannot be created.")
                                        .arg(QDir::toNativeSeparators(target)),
                                    Prompts::Buttons::Ok, "Confirm Directory Creation");
            return;
        }
    }

    const PlaylistRows rows(lstSongs);
    std::vector<copyplan::Entry> entries;
    entries.reserve(rows.count());
    for (int row = 0; row < rows.count(); ++row) {
        const PlaylistEntry entry = rows.entry(row);
        entries.push_back({row, entry.trackId, entry.text});
    }
    const copyplan::Source source{isLocalMode(), localFolder, m_state.useCdDrive, m_state.CdDrive};
    m_copy =
        new CopyJob(m_state.prompts, target, copyplan::plan(entries, m_state.lists, source), this);
    m_copy->watchForDisks(m_state.mountedVolumes, m_state.volumeWatchMs, m_state.knownVolumes);
    connect(m_copy, &CopyJob::status, this,
            [this](const QString& text) { StatusBar1->setPanelText(1, text); });
    connect(m_copy, &CopyJob::copied, this, [this](int row) { PlaylistRows(lstSongs).tick(row); });
    connect(m_copy, &CopyJob::progress, this,
            [this](int file, int files, qint64 bytes, qint64 fileBytes) {
                copyProgress->setRange(0, 1000);
                copyProgress->setValue(fileBytes > 0 ? int(bytes * 1000 / fileBytes) : 0);
                copyProgress->setFormat(QStringLiteral("File %1 of %2: %3 of %4 KB")
                                            .arg(file)
                                            .arg(files)
                                            .arg(bytes / 1024)
                                            .arg(fileBytes / 1024));
            });
    connect(m_copy, &CopyJob::finished, this, [this] {
        setCopying(false);
        m_copy->deleteLater();
    });
    setCopying(true);
    m_copy->start();
}

bool TreePlayer::isCopying() const {
    return m_copy && m_copy->isRunning();
}

// While files are copied the rows must stay where they are: the commands that remove or add
// rows wait.
void TreePlayer::setCopying(bool copying) {
    copyProgress->setVisible(copying);
    copyCancel->setVisible(copying);
    for (QAction* command :
         {mnuCopy, mnuDelete, mnuClear, mnuRandom, mnuLocal, mnuOpenPlaylist, removeSelectedSongs})
        command->setEnabled(!copying);
}

// ---- Delete, clear, random -----------------------------------------------------------------

void TreePlayer::deleteTickedRows() {
    PlaylistRows rows(lstSongs);
    for (int row = rows.count() - 1; row >= 0; --row)
        if (rows.isTicked(row))
            rows.remove(row);
    UpdateTrackduration();
}

void TreePlayer::clearPlaylist() {
    PlaylistRows(lstSongs).clear();
    UpdateTrackduration();
}

void TreePlayer::addRandomSongs() {
    const std::optional<QString> answer =
        m_state.prompts.input("Number of songs:", "Get number of random songs",
                              QString::number(randompicks::ProposedCount));
    PlaylistRows rows(lstSongs);
    const TrackList& tracks = m_state.lists.tracks;
    for (const qint32 index :
         randompicks::pick(tracks, randompicks::songCount(answer), rows.keys(), m_random))
        rows.append({tracks[index].TrackID, tracks[index].TrackName, tracks[index].TrackName});
    UpdateTrackduration();
}

// ---- Options -------------------------------------------------------------------------------

// A program once chosen is kept in the setting "WA" and not asked for again. A file that is
// not a program is refused, and the option stays off until one is chosen.
void TreePlayer::toggleWinamp() {
    m_state.WinampPath = m_state.settings.get("WA");
    if (!mnuWinamp->isChecked() || !m_state.WinampPath.isEmpty())
        return;
    const QString chosen = m_state.prompts.openFile("Show me Winamp...", "*", "");
    const QFileInfo program(chosen);
    if (!chosen.isEmpty() && (!program.isFile() || !program.isExecutable()))
        m_state.prompts.message(QStringLiteral("%1 is not a program that can be run.")
                                    .arg(QDir::toNativeSeparators(chosen)),
                                Prompts::Buttons::Ok, "Show me Winamp...");
    if (chosen.isEmpty() || !program.isFile() || !program.isExecutable()) {
        mnuWinamp->setChecked(false);
        return;
    }
    m_state.WinampPath = QDir::toNativeSeparators(program.absoluteFilePath());
    m_state.settings.set("WA", m_state.WinampPath);
}

// Turning the option on asks for the drive every disk is then read from; closing the dialog
// without a drive turns the option back off and keeps the drive known before.
void TreePlayer::toggleDrive() {
    if (!mnuDrive->isChecked())
        return;
    const QString before = m_state.CdDrive;
    DlgFrm dialog(m_state, this);
    dialog.setLayoutMode(DlgFrm::Layout::DriveOnly);
    if (dialog.exec() != QDialog::Accepted || m_state.CdDrive.isEmpty()) {
        m_state.CdDrive = before;
        mnuDrive->setChecked(false);
        return;
    }
    m_state.settings.set("Drive", m_state.CdDrive);
}

// Hands over to the cataloguing window; the program keeps running.
void TreePlayer::openCataloger() {
    m_state.QuitOnClose = false;
    close();
    if (!m_state.windows)
        return;
    m_state.windows->closeStats();
    m_state.windows->showCataloger();
}

CopyJob* TreePlayer::copyJob() const {
    return m_copy;
}
