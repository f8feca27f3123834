#pragma once

#include <QFrame>

class QLabel;

enum UITableViewCellStyle
{
    UITableViewCellStyleDefault = 0,
    UITableViewCellStyleSubtitle = 3,
};

enum UITableViewCellAccessoryType
{
    UITableViewCellAccessoryNone = 0,
    UITableViewCellAccessoryDisclosureIndicator = 1,
};

// One row of a table: a title line, a detail line in the subtitle style, a content view for
// controls, and an accessory at the right. Controls placed in a cell with a frame drawn for a
// 320-point-wide row keep their distance from the right edge when marked with
// setFlexibleLeftMargin, or grow with the row when marked with setFlexibleWidth.
class UITableViewCell : public QFrame
{
    Q_OBJECT

public:
    static constexpr int designWidth = 320;

    UITableViewCell(UITableViewCellStyle style, const QString &reuseIdentifier,
                    QWidget *parent = nullptr);

    const QString &reuseIdentifier() const { return identifier; }
    QLabel *textLabel() const { return title; }
    QLabel *detailTextLabel() const { return detail; }
    QWidget *contentView() const { return content; }

    void setAccessoryType(UITableViewCellAccessoryType type);
    UITableViewCellAccessoryType accessoryType() const { return accessory; }

    // What a tap on the row does: it shows selected and reports the tap.
    void tap();

    void setSelected(bool selected);
    bool isSelected() const { return selected; }
    // Fades the selection out, as after a tap that only acknowledges the row.
    void fadeOutSelection();

    static void setFlexibleLeftMargin(QWidget *view);
    static void setFlexibleWidth(QWidget *view);

Q_SIGNALS:
    void tapped();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    static void relayoutCellOf(QWidget *view);
    void layoutFlexibleViews();

    QString identifier;
    QWidget *content;
    QLabel *title;
    QLabel *detail = nullptr;
    UITableViewCellAccessoryType accessory = UITableViewCellAccessoryNone;
    bool selected = false;
    qreal selectionShade = 0;
};
