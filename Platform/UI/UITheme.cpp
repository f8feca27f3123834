#include "Platform/UI/UITheme.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>

namespace {
UITheme::Scheme applied = UITheme::Scheme::Light;

const UITheme::Colors light{
    .page = QColor(0xf6, 0xf5, 0xf4),
    .surface = Qt::white,
    .raised = QColor(0xe6, 0xe5, 0xe3),
    .pressed = QColor(0xc8, 0xc7, 0xc5),
    .text = QColor(0x1d, 0x1d, 0x20),
    .secondaryText = QColor(0x5e, 0x5c, 0x64),
    .edge = QColor(0x86, 0x85, 0x8b),
    .separator = QColor(0xde, 0xdd, 0xda),
    .accent = QColor(0x1a, 0x5f, 0xb4),
    .onAccent = Qt::white,
    .call = QColor(0x26, 0x73, 0x4d),
    .hangUp = QColor(0xc0, 0x1c, 0x28),
    .onCallKeys = Qt::white,
    .destructiveText = QColor(0xc0, 0x1c, 0x28),
};

const UITheme::Colors dark{
    .page = QColor(0x1e, 0x1e, 0x22),
    .surface = QColor(0x2a, 0x2a, 0x2e),
    .raised = QColor(0x3a, 0x3a, 0x3f),
    .pressed = QColor(0x55, 0x55, 0x5b),
    .text = QColor(0xf6, 0xf5, 0xf4),
    .secondaryText = QColor(0xb4, 0xb3, 0xb8),
    .edge = QColor(0x7c, 0x7b, 0x80),
    .separator = QColor(0x3f, 0x3f, 0x45),
    .accent = QColor(0x78, 0xae, 0xed),
    .onAccent = QColor(0x1e, 0x1e, 0x22),
    .call = QColor(0x26, 0x73, 0x4d),
    .hangUp = QColor(0xc0, 0x1c, 0x28),
    .onCallKeys = Qt::white,
    .destructiveText = QColor(0xff, 0x7b, 0x63),
};

class PaletteIconEngine : public QIconEngine
{
public:
    PaletteIconEngine(QString path, QPalette::ColorRole role) : path(std::move(path)), role(role) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal scale = painter->device()->devicePixelRatioF();
        painter->drawPixmap(rect, pixmap((QSizeF(rect.size()) * scale).toSize(), mode, state));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        const auto group = mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active;
        return UITheme::tinted(QIcon(path).pixmap(size),
                               QGuiApplication::palette().color(group, role));
    }

    QIconEngine *clone() const override { return new PaletteIconEngine(path, role); }

private:
    QString path;
    QPalette::ColorRole role;
};

QString css(const QColor &color)
{
    return color.name(color.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb);
}

// Fills the sheet's @name placeholders with the scheme's colours.
QString withColors(QString sheet, const UITheme::Colors &colors)
{
    const std::pair<const char *, const QColor &> names[] = {
        {"@page", colors.page},
        {"@surface", colors.surface},
        {"@raised", colors.raised},
        {"@pressed", colors.pressed},
        {"@secondaryText", colors.secondaryText},
        {"@text", colors.text},
        {"@edge", colors.edge},
        {"@separator", colors.separator},
        {"@accent", colors.accent},
        {"@onAccent", colors.onAccent},
        {"@call", colors.call},
        {"@hangUp", colors.hangUp},
        {"@onCallKeys", colors.onCallKeys},
        {"@destructiveText", colors.destructiveText},
    };
    for (const auto &[name, color] : names)
        sheet.replace(QLatin1String(name), css(color));
    return sheet;
}

// The app's own controls by object name; everything else paints with the palette.
const char *const sheetTemplate = R"(
#keypad QPushButton { background: @raised; color: @text; border: 1px solid @edge;
  border-radius: 12px; font-size: 24pt; }
#keypad QPushButton:pressed { background: @pressed; }
#btnDelete, #btnContacts, #btnEditNumber { background: transparent; color: @text; border: none;
  font-size: 18pt; border-radius: 8px; }
#btnDelete:pressed, #btnContacts:pressed, #btnEditNumber:pressed { background: @pressed; }
#btnCall { background: @call; color: @onCallKeys; border: none; border-radius: 26px;
  font-size: 22pt; }
#btnCall:pressed { background: @call; border: 3px solid @text; }
#vwOverlay { background: rgba(0, 0, 0, 150); }
#numberField { background: @surface; color: @text; border: 1px solid @edge; border-radius: 8px;
  padding: 0 8px; }
#InCallBar { background: @surface; border: 1px solid @edge; border-radius: 12px; }
#InCallBar QLabel { color: @text; background: transparent; }
#InCallBar QPushButton { background: @raised; color: @text; border: 1px solid @edge;
  border-radius: 10px; padding: 0 8px; }
#InCallBar QPushButton:checked { background: @accent; color: @onAccent; border-color: @accent; }
#InCallBar #btnHangUp, #InCallBar #btnDecline { background: @hangUp; color: @onCallKeys;
  border: none; }
#InCallBar #btnAnswer { background: @call; color: @onCallKeys; border: none; }
#InCallBar QPushButton:pressed { border: 3px solid @text; }
#WaitingOverlay { background: rgba(0, 0, 0, 178); }
#WaitingOverlay QLabel { color: white; background: transparent; }
UISegmentedControl QPushButton { border: 1px solid @accent; padding: 4px; min-height: 36px;
  background: @surface; color: @accent; }
UISegmentedControl QPushButton:checked { background: @accent; color: @onAccent; }
#btnClearCallLog { color: @destructiveText; }
QScrollBar:vertical { background: transparent; width: 6px; margin: 2px; }
QScrollBar::handle:vertical { background: @edge; border-radius: 2px; min-height: 32px; }
QScrollBar:horizontal { background: transparent; height: 6px; margin: 2px; }
QScrollBar::handle:horizontal { background: @edge; border-radius: 2px; min-width: 32px; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; border: none; }
QScrollBar::add-page, QScrollBar::sub-page { background: none; }
)";
} // namespace

const UITheme::Colors &UITheme::colors(Scheme scheme)
{
    return scheme == Scheme::Dark ? dark : light;
}

QPalette UITheme::palette(Scheme scheme)
{
    const Colors &c = colors(scheme);
    QPalette palette(c.raised, c.page);
    palette.setColor(QPalette::WindowText, c.text);
    palette.setColor(QPalette::Base, c.surface);
    palette.setColor(QPalette::AlternateBase, c.page);
    palette.setColor(QPalette::Text, c.text);
    palette.setColor(QPalette::ButtonText, c.text);
    palette.setColor(QPalette::BrightText, c.onAccent);
    palette.setColor(QPalette::PlaceholderText, c.secondaryText);
    palette.setColor(QPalette::Highlight, c.accent);
    palette.setColor(QPalette::HighlightedText, c.onAccent);
    palette.setColor(QPalette::Link, c.accent);
    palette.setColor(QPalette::Mid, c.separator);
    palette.setColor(QPalette::Dark, c.edge);
    palette.setColor(QPalette::ToolTipBase, c.surface);
    palette.setColor(QPalette::ToolTipText, c.text);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, c.secondaryText);
    return palette;
}

QString UITheme::styleSheet(Scheme scheme)
{
    return withColors(QString::fromLatin1(sheetTemplate), colors(scheme));
}

QPixmap UITheme::tinted(QPixmap pixmap, const QColor &ink)
{
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), ink);
    return pixmap;
}

QIcon UITheme::icon(const QString &path, QPalette::ColorRole role)
{
    return QIcon(new PaletteIconEngine(path, role));
}

void UITheme::apply(Scheme scheme)
{
    applied = scheme;
    // One style on every desktop, so the palette alone decides the colours.
    if (QApplication::style()->name() != QLatin1String("fusion"))
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(palette(scheme));
    qApp->setStyleSheet(styleSheet(scheme));
}

UITheme::Scheme UITheme::current()
{
    return applied;
}
