#pragma once

#include <QLabel>
#include <QStatusBar>
#include <vector>

// A status bar of numbered text panels (1-based); panel 1 stretches, the others fit their text.
class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(int panelCount, QWidget* parent = nullptr);

    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);

private:
    std::vector<QLabel*> m_panels;
};
