#pragma once

#include <QButtonGroup>
#include <QWidget>

// A row of mutually exclusive segments. valueChanged is sent only when the user picks a
// segment; setSelectedSegmentIndex from code sends nothing.
class UISegmentedControl : public QWidget
{
    Q_OBJECT

public:
    explicit UISegmentedControl(const QStringList &items, QWidget *parent = nullptr);

    int numberOfSegments() const { return int(segments.buttons().size()); }
    int selectedSegmentIndex() const { return segments.checkedId(); }
    void setSelectedSegmentIndex(int index);
    void setTitleForSegmentAtIndex(const QString &title, int index);
    QString titleForSegmentAtIndex(int index) const;
    // The segment's button, for tapping it as a person would.
    QAbstractButton *segmentAtIndex(int index) const { return segments.button(index); }

Q_SIGNALS:
    void valueChanged(UISegmentedControl *sender);

private:
    QButtonGroup segments;
    bool selecting = false;
};
