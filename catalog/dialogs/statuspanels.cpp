#include "statuspanels.h"

StatusPanels::StatusPanels(int panelCount, QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(true);
    for (int i = 0; i < panelCount; ++i) {
        auto* label = new QLabel(this);
        label->setContentsMargins(4, 0, 4, 0);
        if (i == 0) {
            // A long text (a deep directory being scanned) is cut, never widens the window.
            label->setMinimumWidth(1);
            addWidget(label, 1);
        } else {
            addPermanentWidget(label);
        }
        m_panels.push_back(label);
    }
}

QString StatusPanels::panelText(int panel) const {
    if (panel < 1 || panel > static_cast<int>(m_panels.size()))
        return {};
    return m_panels[panel - 1]->text();
}

void StatusPanels::setPanelText(int panel, const QString& text) {
    if (panel >= 1 && panel <= static_cast<int>(m_panels.size()))
        m_panels[panel - 1]->setText(text);
}
