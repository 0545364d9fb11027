#pragma once

#include <QDialog>
#include <QTimer>

class ProgramState;
class DriveList;
class DirectoryList;
class QPushButton;

// "Show me the Drive...": chooses the CD drive, or a target directory for copying.
class DlgFrm : public QDialog {
    Q_OBJECT
public:
    enum class Layout { Full, DriveOnly, Directory };

    explicit DlgFrm(ProgramState& state, QWidget* parent = nullptr);

    // Cuts the dialog down to the rows the caller needs; set before showing.
    void setLayoutMode(Layout layout);

    DriveList* Drive1 = nullptr;
    DirectoryList* Dir1 = nullptr;
    QPushButton* Command1 = nullptr; // "&OK" beside the drive list
    QPushButton* Command2 = nullptr; // "&OK" beside the directory list
    QPushButton* Command3 = nullptr; // "&Create"
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setButtonTips();
    void tellUnreadable(const QString& drive);
    void driveChanged(const QString& drive);
    void acceptDrive();
    void acceptDirectory();
    void createDirectory();

    struct FadeSlot {
        int mode = 0;
        int alpha = 0;
    };

    ProgramState& m_state;
    Layout m_layout = Layout::Full;
    QString m_drive;  // the drive last shown, kept when a new one cannot be read
    QString m_untold; // a drive found unreadable while the dialog was hidden
    FadeSlot m_fade1;
    FadeSlot m_fade2;
};
