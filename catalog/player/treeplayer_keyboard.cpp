// The player window from the keyboard: Tab in reading order, the focus marked where a person
// sees it, Down from the search text into the results.

#include "focusmark.h"
#include "playerstrip.h"
#include "treeplayer.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>

namespace {

// Down in the search text, without modifiers, runs `enter`.
class DownKey : public QObject {
public:
    DownKey(QWidget* widget, std::function<void()> enter)
        : QObject(widget), m_enter(std::move(enter)) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier) {
                m_enter();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_enter;
};

} // namespace

void TreePlayer::connectKeyboard() {
    // Reading order: the search panel, the results, the tree and its tracks, the play list,
    // and the player's strip beneath (Space plays there) with its controls.
    const std::vector<QWidget*> order = {optSearch[0],
                                         optSearch[1],
                                         optSearch[2],
                                         txtSearch,
                                         btnSearch,
                                         lstResults,
                                         trDirs,
                                         lstFiles,
                                         lstSongs,
                                         MediaPlayer1,
                                         MediaPlayer1->playButton,
                                         MediaPlayer1->stopButton,
                                         MediaPlayer1->seekBar,
                                         MediaPlayer1->volumeBar};
    for (size_t i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    txtSearch->setFocus(); // where a person starts: typing what to find
    focusMark = new FocusMark(this);
    new DownKey(txtSearch, [this] { enterResults(); });
}
