#include "WaitingCover.h"

#include "Platform/UI/UIActivityIndicatorView.h"

#include <QEvent>
#include <QLabel>

namespace {
// Drawn for a 320-point-wide screen and centred on the actual width.
constexpr int indicatorSize = 32;
constexpr int indicatorCentreY = 210;
constexpr int captionTop = 230;
constexpr int captionHeight = 30;
} // namespace

WaitingCover::WaitingCover(QWidget *screen, QWidget *inCallBar, const QString &caption)
    : QWidget(screen), inCallBar(inCallBar)
{
    setObjectName(QStringLiteral("WaitingOverlay"));
    setAttribute(Qt::WA_StyledBackground);
    setAccessibleName(caption);

    auto *indicator = new UIActivityIndicatorView(this);
    indicator->setGeometry(0, 0, indicatorSize, indicatorSize);
    indicator->setActivityIndicatorViewStyle(UIActivityIndicatorView::White);
    indicator->startAnimating();

    auto *label = new QLabel(caption, this);
    label->setAlignment(Qt::AlignCenter);

    lifetime.setObjectName(QStringLiteral("WaitingOverlayRemoval"));
    lifetime.setParent(this);
    lifetime.setSingleShot(true);
    connect(&lifetime, &QTimer::timeout, this, [this] {
        Q_EMIT timeUp();
        takeDown();
        deleteLater();
    });
    lifetime.start(lifetimeMilliseconds);

    screen->installEventFilter(this);
    if (inCallBar)
        inCallBar->installEventFilter(this);
    layOut();
    show();
    raise();
    // Above the cover, so that a call can always be ended.
    if (inCallBar)
        inCallBar->raise();
}

void WaitingCover::takeDown()
{
    hide();
}

// The screen's size and the bar's place decide the layout, wherever the layout puts the bar.
bool WaitingCover::eventFilter(QObject *watched, QEvent *event)
{
    static const QSet<QEvent::Type> moved{QEvent::Move, QEvent::Resize, QEvent::Show, QEvent::Hide};
    if (moved.contains(event->type()) && (watched == parentWidget() || watched == inCallBar))
        layOut();
    return QWidget::eventFilter(watched, event);
}

// On a short screen the in-call bar, which lies over the cover, would hide the caption: both
// move up clear of it.
void WaitingCover::layOut()
{
    setGeometry(parentWidget()->rect());
    const int centreX = width() / 2;
    const int lift = inCallBar && inCallBar->isVisible()
                         ? qMax(0, captionTop + captionHeight - inCallBar->geometry().top())
                         : 0;
    findChild<UIActivityIndicatorView *>()->setCenter(QPoint(centreX, indicatorCentreY - lift));
    findChild<QLabel *>()->setGeometry(0, captionTop - lift, width(), captionHeight);
}
