#pragma once

#include <QColor>
#include <QIcon>
#include <QPalette>
#include <QString>

// The app's one look, light or dark: the palette every widget paints with and the style sheet
// of the app's own controls, both made from the same few colours. Text keeps 4.5:1 against
// whatever it sits on, and a control's edge 3:1.
class UITheme
{
public:
    enum class Scheme
    {
        Light,
        Dark,
    };

    struct Colors
    {
        QColor page;    // behind every screen
        QColor surface; // lists, bars and sheets
        QColor raised;  // keys and buttons
        QColor pressed; // a key or row under the finger
        QColor text;
        QColor secondaryText; // captions, times, hints
        QColor edge;          // a control's outline
        QColor separator;     // between rows
        QColor accent;        // the current tab, a switch that is on, a focused control
        QColor onAccent;
        QColor call;       // call and answer
        QColor hangUp;     // hang up, decline, and what cannot be undone
        QColor onCallKeys; // text on call and hang-up
        QColor destructiveText;
    };

    static const Colors &colors(Scheme scheme);
    static QPalette palette(Scheme scheme);
    static QString styleSheet(Scheme scheme);

    // A one-colour icon painted in a colour of the app's palette, so it follows the scheme.
    static QIcon icon(const QString &path, QPalette::ColorRole role = QPalette::ButtonText);

    // A one-colour picture painted over in the ink, keeping its shape.
    static QPixmap tinted(QPixmap pixmap, const QColor &ink);

    // Repaints the whole app in the scheme.
    static void apply(Scheme scheme);
    static Scheme current();
};
