// Local mode: the MP3 files under the local folder in place of the catalogue.

#include "catalogmodels.h"
#include "directorylist.h"
#include "filelist.h"
#include "localfolder.h"
#include "programstate.h"
#include "prompts.h"
#include "treeplayer.h"

#include <QAction>
#include <QDir>

bool TreePlayer::isLocalMode() const {
    return mnuLocal->text() != QLatin1String("&Local");
}

// A local folder that cannot be read is reported and the mode stays as it was. Either way
// the play list is kept.
void TreePlayer::switchLocal() {
    if (!isLocalMode()) {
        if (!localfolder::isReadableFolder(localFolder)) {
            m_state.prompts.message(QStringLiteral("The local folder %1 cannot be read.")
                                        .arg(QDir::toNativeSeparators(localFolder)),
                                    Prompts::Buttons::Ok, windowTitle());
            return;
        }
        m_state.lists = localfolder::emptyLists();
        Dir1->setPath(localFolder);
        NavigateTree(Dir1->path());
        mnuLocal->setText("&DB");
    } else {
        m_state.lists = CatalogLists{};
        mnuLocal->setText("&Local");
        if (CatalogConnection* query = m_state.queryConnection())
            LoadCatalog(query->db(), m_state.lists);
    }
    FillCatalogTree();
    filesModel->setItems({}); // its tracks belonged to the lists just replaced
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
