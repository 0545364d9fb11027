// Local mode: the MP3 files under the local folder in place of the catalogue.

#include "catalogmodels.h"
#include "directorylist.h"
#include "filelist.h"
#include "localfolder.h"
#include "localwalk.h"
#include "programstate.h"
#include "prompts.h"
#include "statuspanels.h"
#include "treeplayer.h"

#include <QAction>
#include <QDir>
#include <QKeyEvent>

bool TreePlayer::isLocalMode() const {
    return mnuLocal->text() != QLatin1String("&Local");
}

bool TreePlayer::isReadingLocalFolder() const {
    return m_localWalk != nullptr;
}

// Either way the play list is kept; a mode that cannot be entered leaves the mode as it was.
void TreePlayer::switchLocal() {
    if (isReadingLocalFolder())
        return;
    if (isLocalMode())
        loadCatalogueAgain();
    else
        startLocalWalk();
}

// Reading every file's playing time takes long on a big folder: the window keeps answering
// meanwhile, and Esc stops the walk.
void TreePlayer::startLocalWalk() {
    const QString folder = QDir::toNativeSeparators(localFolder);
    if (!localfolder::isReadableFolder(localFolder)) {
        m_state.prompts.message(QStringLiteral("The local folder %1 cannot be read.").arg(folder),
                                Prompts::Buttons::Ok, windowTitle());
        return;
    }
    StatusBar1->setPanelText(1, tr("Reading the local folder %1... (Esc stops)").arg(folder));
    m_localWalk = std::make_unique<LocalWalk>(
        this, localFolder, [this](CatalogLists lists) { finishLocalWalk(std::move(lists)); });
}

void TreePlayer::finishLocalWalk(CatalogLists lists) {
    const bool stopped = m_localWalk->stopped();
    m_localWalk.reset();
    if (stopped) {
        StatusBar1->setPanelText(1, tr("Reading the local folder was stopped."));
        return;
    }
    StatusBar1->setPanelText(1, QString());
    m_state.lists = std::move(lists);
    Dir1->setPath(localFolder);
    mnuLocal->setText("&DB");
    showReplacedLists();
}

// A catalogue damaged meanwhile is reported as at start-up, and the local lists stay.
void TreePlayer::loadCatalogueAgain() {
    CatalogLists local = std::move(m_state.lists);
    if (!m_state.loadCatalogue()) {
        m_state.lists = std::move(local);
        return;
    }
    mnuLocal->setText("&Local");
    showReplacedLists();
}

// The track list and a track waiting for its disk belonged to the lists just replaced.
void TreePlayer::showReplacedLists() {
    FillCatalogTree();
    filesModel->setItems({});
    forgetWaitingTrack();
}

void TreePlayer::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && m_localWalk) {
        m_localWalk->stop();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TreePlayer::NavigateTree(const QString& strPath) {
    localfolder::walk(m_state.lists, localFolder, strPath);
}

void TreePlayer::addFiles() {
    File1->setPath(Dir1->path());
    QStringList files;
    for (int i = 0; i < File1->listCount(); ++i)
        files << File1->list(i);
    localfolder::addFolder(m_state.lists, localFolder, Dir1->path(), files);
}
