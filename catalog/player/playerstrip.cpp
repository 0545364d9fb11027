#include "playerstrip.h"

#include "mediaplayer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QShortcut>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolButton>

namespace {

constexpr int DefaultVolume = 80;

QToolButton* toolButton(QWidget* parent, QStyle::StandardPixmap icon, const QString& tip,
                        const char* name) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(tip);
    button->setAutoRaise(true);
    return button;
}

// A click on the groove goes to that point at once, as in every media player.
class SeekSlider : public QSlider {
public:
    using QSlider::QSlider;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && maximum() > minimum()) {
            QStyleOptionSlider option;
            initStyleOption(&option);
            const QRect handle =
                style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
            const QRect groove =
                style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
            if (!handle.contains(event->pos())) {
                const int x = event->pos().x() - groove.x() - handle.width() / 2;
                setValue(QStyle::sliderValueFromPosition(minimum(), maximum(), x,
                                                         groove.width() - handle.width()));
                event->accept();
                return;
            }
        }
        QSlider::mousePressEvent(event);
    }
};

QLabel* timeLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(stripTime(0), parent);
    label->setObjectName(QString::fromLatin1(name));
    // Wide enough for "0:00:00", so the seek bar does not jump when an hour is passed.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("0:00:00")) + 4);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

QString stripTime(double seconds) {
    const qint64 total = seconds > 0 ? static_cast<qint64>(seconds) : 0;
    const QString minutesAndSeconds =
        QStringLiteral("%1:%2").arg(total / 60 % 60).arg(total % 60, 2, 10, QChar(u'0'));
    if (total < 3600)
        return minutesAndSeconds;
    return QStringLiteral("%1:%2").arg(total / 3600).arg(minutesAndSeconds.rightJustified(5, u'0'));
}

PlayerStrip::PlayerStrip(QWidget* parent) : QFrame(parent) {
    setFocusPolicy(Qt::StrongFocus);
    playButton = toolButton(this, QStyle::SP_MediaPlay, tr("Play / Pause (Space)"), "playButton");
    stopButton = toolButton(this, QStyle::SP_MediaStop, tr("Stop"), "stopButton");
    elapsedLabel = timeLabel(this, "elapsedLabel");
    totalLabel = timeLabel(this, "totalLabel");
    seekBar = new SeekSlider(Qt::Horizontal, this);
    seekBar->setObjectName("seekBar");
    seekBar->setToolTip(tr("Position"));
    seekBar->setMinimumWidth(60);
    auto* speaker = new QLabel(this);
    speaker->setPixmap(style()->standardIcon(QStyle::SP_MediaVolume).pixmap(16, 16));
    volumeBar = new QSlider(Qt::Horizontal, this);
    volumeBar->setObjectName("volumeBar");
    volumeBar->setToolTip(tr("Volume"));
    volumeBar->setRange(0, 100);
    volumeBar->setValue(DefaultVolume);
    volumeBar->setMaximumWidth(80);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 6, 2);
    row->setSpacing(4);
    row->addWidget(playButton);
    row->addWidget(stopButton);
    row->addWidget(elapsedLabel);
    row->addWidget(seekBar, 1);
    row->addWidget(totalLabel);
    row->addSpacing(6);
    row->addWidget(speaker);
    row->addWidget(volumeBar);

    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    space->setContext(Qt::WidgetWithChildrenShortcut);
    connect(space, &QShortcut::activated, this, &PlayerStrip::playOrPause);
    connect(playButton, &QToolButton::clicked, this, &PlayerStrip::playOrPause);
    connect(stopButton, &QToolButton::clicked, this, [this] {
        if (m_player)
            m_player->stop();
    });
    connect(seekBar, &QSlider::sliderMoved, this,
            [this](int value) { elapsedLabel->setText(stripTime(value)); });
    // Clicks on the groove and keys move the value without a drag; a drag seeks once, at its end.
    connect(seekBar, &QSlider::valueChanged, this, [this](int value) {
        if (m_player && !seekBar->isSliderDown())
            m_player->seek(value);
    });
    connect(seekBar, &QSlider::sliderReleased, this, [this] {
        if (m_player)
            m_player->seek(seekBar->value());
    });
    connect(volumeBar, &QSlider::valueChanged, this, [this](int value) {
        if (m_player)
            m_player->setVolume(value);
    });
    showState(MediaPlayer::Stopped);
}

void PlayerStrip::setPlayer(MediaPlayer* player) {
    if (m_player)
        m_player->disconnect(this);
    m_player = player;
    if (!player)
        return;
    player->setVolume(volumeBar->value());
    connect(player, &MediaPlayer::playStateChanged, this,
            [this](int, int state) { showState(state); });
    connect(player, &MediaPlayer::positionChanged, this, &PlayerStrip::showPosition);
    connect(player, &MediaPlayer::durationChanged, this, &PlayerStrip::showDuration);
    showState(player->playState());
}

void PlayerStrip::playOrPause() {
    if (!m_player || m_player->playState() == MediaPlayer::Stopped)
        Q_EMIT playRequested();
    else
        m_player->setPaused(m_player->playState() == MediaPlayer::Playing);
}

void PlayerStrip::showState(int state) {
    const bool playing = state == MediaPlayer::Playing;
    playButton->setIcon(
        style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    stopButton->setEnabled(state != MediaPlayer::Stopped);
    seekBar->setEnabled(state != MediaPlayer::Stopped);
    if (state == MediaPlayer::Stopped) {
        showDuration(0);
        showPosition(0);
    }
}

void PlayerStrip::showPosition(double seconds) {
    if (seekBar->isSliderDown())
        return;                          // the person is dragging it
    const QSignalBlocker quiet(seekBar); // following the player is no request to seek
    seekBar->setValue(static_cast<int>(seconds));
    elapsedLabel->setText(stripTime(seconds));
}

void PlayerStrip::showDuration(double seconds) {
    const QSignalBlocker quiet(seekBar);
    seekBar->setRange(0, static_cast<int>(seconds));
    totalLabel->setText(stripTime(seconds));
}
