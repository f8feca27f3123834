#pragma once

#include <QTabBar>

// A phone's tab bar: the tabs share the width evenly, each with its icon above its title, so
// four titles fit a narrow screen in either language.
class UITabBar : public QTabBar
{
    Q_OBJECT

public:
    explicit UITabBar(QWidget *parent = nullptr);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    void paintEvent(QPaintEvent *event) override;

private:
    void paintTab(QPainter &painter, int index) const;
};
