#include "dlgfrm.h"

#include "directorylist.h"
#include "drivelist.h"
#include "programstate.h"
#include "prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <utility>

namespace {

// Designed geometry of the inner area, in pixels at 96 dots per inch.
constexpr int Margin = 8;
constexpr int ListWidth = 300;
constexpr int ButtonWidth = 96;
constexpr int RowHeight = 28;
constexpr int DirListHeight = 248;
constexpr int ButtonLeft = Margin + ListWidth + Margin;
constexpr int DirListTop = Margin + RowHeight + Margin;
constexpr int InnerWidth = ButtonLeft + ButtonWidth + Margin;
constexpr int InnerHeight = DirListTop + DirListHeight + Margin;

// Where a drive's browsing starts: the home folder when it lies on that drive.
QString startDirectory(const QString& drive) {
    const QString home = QDir::toNativeSeparators(QDir::homePath());
    const QString root = drive.endsWith(QDir::separator()) ? drive : drive + QDir::separator();
    if (home.startsWith(root))
        return home;
    return root;
}

} // namespace

DlgFrm::DlgFrm(ProgramState& state, QWidget* parent) : QDialog(parent), m_state(state) {
    setWindowTitle("Show me the Drive...");
    setAttribute(Qt::WA_DeleteOnClose, false);

    Drive1 = new DriveList(this);
    Drive1->setGeometry(Margin, Margin, ListWidth, RowHeight);
    Command1 = new QPushButton("&OK", this);
    Command1->setGeometry(ButtonLeft, Margin, ButtonWidth, RowHeight);
    Dir1 = new DirectoryList(this);
    Dir1->setGeometry(Margin, DirListTop, ListWidth, DirListHeight);
    Command3 = new QPushButton("&Create", this);
    Command3->setGeometry(ButtonLeft, DirListTop + DirListHeight - 2 * RowHeight - Margin,
                          ButtonWidth, RowHeight);
    Command2 = new QPushButton("&OK", this);
    Command2->setGeometry(ButtonLeft, DirListTop + DirListHeight - RowHeight, ButtonWidth,
                          RowHeight);
    Command1->setDefault(true);
    setFixedSize(InnerWidth, InnerHeight);
    setButtonTips();

    Timer1 = new QTimer(this);
    Timer1->setInterval(120);
    Timer2 = new QTimer(this);
    Timer2->setInterval(600);
    connect(Timer1, &QTimer::timeout, this,
            [this] { WindowFade(m_state, m_fade1.mode, m_fade1.alpha); });
    connect(Timer2, &QTimer::timeout, this,
            [this] { WindowFade(m_state, m_fade2.mode, m_fade2.alpha); });
    Timer1->start();
    Timer2->start();

    connect(Drive1, &DriveList::driveChanged, this, &DlgFrm::driveChanged);
    connect(Command1, &QPushButton::clicked, this, &DlgFrm::acceptDrive);
    connect(Command2, &QPushButton::clicked, this, &DlgFrm::acceptDirectory);
    connect(Command3, &QPushButton::clicked, this, &DlgFrm::createDirectory);

    Drive1->setDrive(m_state.CdDrive.isEmpty() ? DriveList::systemDrive() : m_state.CdDrive);
}

void DlgFrm::setLayoutMode(Layout layout) {
    m_layout = layout;
    switch (layout) {
    case Layout::Full:
        setFixedSize(InnerWidth, InnerHeight);
        Command1->setVisible(true);
        Command1->setDefault(true);
        break;
    case Layout::DriveOnly:
        setFixedSize(InnerWidth, Drive1->y() + Drive1->height() + Margin);
        Command1->setVisible(true);
        Command1->setDefault(true);
        break;
    case Layout::Directory:
        setFixedSize(InnerWidth, Dir1->y() + Dir1->height() + Margin);
        Command1->setVisible(false);
        Command2->setDefault(true);
        break;
    }
    setButtonTips();
}

void DlgFrm::setButtonTips() {
    Command1->setToolTip("Accept the drive chosen beside as the drive your disks are read from");
    Command2->setToolTip(m_layout == Layout::Directory
                             ? "Accept the folder open in the list as the folder to copy into"
                             : "Accept the drive chosen above as the drive your disks are read "
                               "from");
    Command3->setToolTip("Make a new folder inside the folder open in the list");
}

void DlgFrm::driveChanged(const QString& drive) {
    if (Dir1->setPath(startDirectory(drive))) {
        m_drive = drive;
        return;
    }
    // A drive that cannot be read (no disc in it): keep the previous one and say why.
    if (!m_drive.isEmpty() && m_drive != drive) {
        const QSignalBlocker blocker(Drive1);
        Drive1->setDrive(m_drive);
    }
    if (isVisible())
        tellUnreadable(drive);
    else
        m_untold = drive;
}

void DlgFrm::tellUnreadable(const QString& drive) {
    m_state.prompts.message(QStringLiteral("The drive %1 cannot be read.").arg(drive),
                            Prompts::Buttons::Ok, windowTitle());
}

// A drive found unreadable before the dialog was shown is told once the person can see it.
void DlgFrm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_untold.isEmpty())
        return;
    QTimer::singleShot(
        0, this, [this, drive = std::exchange(m_untold, QString())] { tellUnreadable(drive); });
}

void DlgFrm::acceptDrive() {
    m_state.CdDrive = Drive1->drive();
    accept();
}

// With nothing listed (an unreadable drive) there is no directory to take: the previous
// target stays, as when the dialog is closed. Where the dialog asks for the drive, either OK
// takes it: a person who pressed the lower one has chosen a drive all the same.
void DlgFrm::acceptDirectory() {
    if (m_layout != Layout::Directory)
        m_state.CdDrive = Drive1->drive();
    if (Dir1->path().isEmpty()) {
        reject();
        return;
    }
    m_state.TargetDir = Dir1->path();
    accept();
}

void DlgFrm::createDirectory() {
    const std::optional<QString> answer =
        m_state.prompts.input("Directory to Create:", "Get Directory Name", "MP3");
    if (!answer || answer->isEmpty())
        return;
    QString name = *answer;
    const QString base = Dir1->path();
    if (!base.endsWith(QDir::separator()))
        name.prepend(QDir::separator());
    const QString newPath = base + name;
    QString problem;
    if (QFileInfo::exists(newPath))
        problem = QStringLiteral("The directory %1 exists already.").arg(newPath);
    else if (!QDir().mkdir(newPath))
        problem = QStringLiteral("The directory %1 cannot be created.").arg(newPath);
    if (!problem.isEmpty()) {
        m_state.prompts.message(problem, Prompts::Buttons::Ok, windowTitle());
        return;
    }
    Dir1->refresh();
    Dir1->setPath(newPath);
}
