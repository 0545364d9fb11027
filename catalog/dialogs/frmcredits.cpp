#include "frmcredits.h"

#include "layered.h"
#include "twips.h"

#include <QLabel>
#include <QPainter>
#include <QRandomGenerator>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Designed inner size, in twips; the labels may ask for more.
constexpr double DesignedWidth = 3375;
constexpr double DesignedHeight = 1485;

QLabel* label(const QString& text, QWidget* parent, const char* name, qreal points, bool bold) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setAlignment(Qt::AlignCenter);
    QFont font = l->font();
    if (points > 0)
        font.setPointSizeF(points);
    font.setBold(bold);
    l->setFont(font);
    return l;
}

} // namespace

frmCredits::frmCredits(AreaSource area, RandomSource random, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_area(std::move(area)),
      m_random(std::move(random)) {
    if (!m_random)
        m_random = [] { return QRandomGenerator::global()->generateDouble(); };
    setObjectName("frmCredits");
    setWindowTitle("Credits");
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating); // it wanders over the work; never take focus
    buildLabels();

    m_alpha = 0;
    Layered::SetTopmost(this, true);
    Timer1 = new QTimer(this);
    Timer2 = new QTimer(this);
    connect(Timer1, &QTimer::timeout, this, &frmCredits::fadeTick);
    connect(Timer2, &QTimer::timeout, this, &frmCredits::moveTick);
    Timer1->start(FadeInterval);
    Timer2->start(MoveInterval);
    Layered::SetTranslucent(this, true, m_alpha);
}

void frmCredits::buildLabels() {
    Label1 = label("Catalog", this, "Label1", 24, false);
    Label2 = label("By:", this, "Label2", 0, false);
    Label3 = label("Catalog developers", this, "Label3", 14, true);
    QPalette quiet = Label2->palette();
    quiet.setColor(QPalette::WindowText, quiet.color(QPalette::PlaceholderText));
    Label2->setPalette(quiet);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 10, 24, 14);
    column->setSpacing(2);
    column->addWidget(Label1);
    column->addWidget(Label2);
    column->addWidget(Label3);

    const QSize designed(twipsToPixels(DesignedWidth, this), twipsToPixels(DesignedHeight, this));
    resize(designed.expandedTo(sizeHint()));
}

bool frmCredits::Check_Boundaries(double top, double left, double moveHeight, double moveWidth,
                                  double compHeight, double compWidth) {
    bool inside = true;
    if (top + moveHeight > compHeight)
        inside = false;
    if (left + moveWidth > compWidth)
        inside = false;
    return inside;
}

void frmCredits::fadeTick() {
    if (!m_fadingOut) {
        if (m_alpha >= FadePeak) {
            m_fadingOut = true;
            return;
        }
        m_alpha += FadeStep;
    } else {
        if (m_alpha == 0) {
            m_fadingOut = false;
            return;
        }
        m_alpha -= FadeStep;
    }
    Layered::SetTranslucent(this, true, m_alpha);
}

void frmCredits::moveTick() {
    const QRect area = m_area ? m_area() : QRect();
    const double areaHeight = pixelsToTwips(area.height(), this);
    const double areaWidth = pixelsToTwips(area.width(), this);
    const QSize outer = frameGeometry().size();
    const double height = pixelsToTwips(outer.height(), this);
    const double width = pixelsToTwips(outer.width(), this);
    // A window larger than the area fits nowhere: there is nothing to draw for.
    if (area.isEmpty() || !Check_Boundaries(0, 0, height, width, areaHeight, areaWidth))
        return;

    for (int draw = 0; draw < MaxDraws; ++draw) {
        const double top = m_random() * areaHeight;
        const double left = m_random() * areaWidth;
        if (Check_Boundaries(top, left, height, width, areaHeight, areaWidth)) {
            move(area.topLeft() + QPoint(twipsToPixels(left, this), twipsToPixels(top, this)));
            return;
        }
    }
}

void frmCredits::paintEvent(QPaintEvent* /*event*/) {
    // A soft face under a thin frame, so the window reads as a card over the player.
    QPainter painter(this);
    const QRect face = rect();
    QLinearGradient shade(face.topLeft(), face.bottomLeft());
    shade.setColorAt(0, palette().color(QPalette::Base));
    shade.setColorAt(1, palette().color(QPalette::Window));
    painter.fillRect(face, shade);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(face.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Midlight));
    painter.drawRect(face.adjusted(1, 1, -2, -2));
}
