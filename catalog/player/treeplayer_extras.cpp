// The player window's hidden options: its own translucency and the credits window.
#include "frmcredits.h"
#include "layered.h"
#include "programstate.h"
#include "prompts.h"
#include "treeplayer.h"

#include <QAction>

namespace {

// A typed opacity: a whole number from 0 to 255, nothing otherwise.
std::optional<quint8> opacityFrom(const QString& answer) {
    bool ok = false;
    const int value = answer.trimmed().toInt(&ok);
    if (!ok || value < 0 || value > 255)
        return std::nullopt;
    return static_cast<quint8>(value);
}

} // namespace

void TreePlayer::connectExtras() {
    mnuLayered->setCheckable(true);
    mnuCredits->setCheckable(true);
    connect(mnuLayered, &QAction::triggered, this, &TreePlayer::layeredCommand);
    connect(mnuCredits, &QAction::triggered, this, &TreePlayer::creditsCommand);
}

void TreePlayer::layeredCommand() {
    if (!mnuLayered->isChecked()) {
        // Off keeps the window layered, fully opaque.
        Layered::SetTranslucent(this, true, 255);
        return;
    }
    const std::optional<QString> answer =
        m_state.prompts.input("Set Value:", "Translucency Value", "150");
    const std::optional<quint8> opacity = answer ? opacityFrom(*answer) : std::nullopt;
    if (!opacity) {
        // Cancelled or not an opacity: nothing is set, the option stays off, nothing to warn of.
        mnuLayered->setChecked(false);
        return;
    }
    Layered::SetTranslucent(this, true, *opacity);
}

void TreePlayer::creditsCommand() {
    if (!mnuCredits->isChecked()) {
        delete m_credits.data();
        return;
    }
    m_credits = new frmCredits([this] { return creditsArea(); }, {}, this);
    // Closed some other way, the window takes the check mark with it.
    connect(m_credits, &QObject::destroyed, mnuCredits,
            [item = mnuCredits] { item->setChecked(false); });
    const QRect area = creditsArea();
    const QSize size = m_credits->frameGeometry().size();
    m_credits->move(area.left() + (area.width() - size.width()) / 2,
                    area.top() + (area.height() - size.height()) / 2);
    m_credits->show();
}

frmCredits* TreePlayer::credits() const {
    return m_credits;
}

QRect TreePlayer::creditsArea() const {
    if (isMinimized())
        return {};
    QRect inner = rect();
    if (const QWidget* menu = menuWidget(); menu && menu->isVisible())
        inner.setTop(menu->geometry().bottom() + 1);
    return {mapToGlobal(inner.topLeft()), inner.size()};
}
