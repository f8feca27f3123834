#pragma once

#include "Platform/UI/UITableViewCell.h"

#include <QMultiHash>
#include <QScrollArea>
#include <map>
#include <optional>

class UITableView;

struct NSIndexPath
{
    int section = 0;
    int row = 0;
    bool operator==(const NSIndexPath &) const = default;
};

class UITableViewDataSource
{
public:
    virtual ~UITableViewDataSource() = default;
    virtual int numberOfSectionsInTableView(UITableView *) { return 1; }
    virtual int numberOfRowsInSection(UITableView *tableView, int section) = 0;
    // The configured cell for the row; take one from dequeueReusableCellWithIdentifier first.
    virtual UITableViewCell *cellForRowAtIndexPath(UITableView *tableView,
                                                   const NSIndexPath &indexPath) = 0;
};

class UITableViewDelegate
{
public:
    virtual ~UITableViewDelegate() = default;
    virtual qreal heightForRowAtIndexPath(UITableView *, const NSIndexPath &) { return 44.0; }
    virtual void didSelectRowAtIndexPath(UITableView *, const NSIndexPath &) {}
};

// A scrolling list of rows in sections. Only the rows in view have cells: a cell that scrolls
// out goes back to a reuse queue, so a table of any length costs only a screenful of widgets.
class UITableView : public QScrollArea
{
    Q_OBJECT

public:
    explicit UITableView(QWidget *parent = nullptr);

    void setDataSource(UITableViewDataSource *source) { dataSource = source; }
    void setDelegate(UITableViewDelegate *newDelegate) { tableDelegate = newDelegate; }

    // Asks the data source again for every row and rebuilds the rows in view.
    void reloadData();
    UITableViewCell *dequeueReusableCellWithIdentifier(const QString &identifier);

    // The cells on screen, in row order.
    QList<UITableViewCell *> visibleCells() const;
    UITableViewCell *cellForRowAtIndexPath(const NSIndexPath &indexPath) const;
    std::optional<NSIndexPath> indexPathForCell(const UITableViewCell *cell) const;
    int numberOfRows() const { return int(rows.size()); }

    void deselectRowAtIndexPath(const NSIndexPath &indexPath, bool animated);
    void scrollToRow(int rowIndex);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Row
    {
        NSIndexPath indexPath;
        int top;
        int height;
    };

    void layoutRows();
    void enqueue(UITableViewCell *cell);
    void placeCell(int rowIndex);
    void cellTapped(UITableViewCell *cell);

    UITableViewDataSource *dataSource = nullptr;
    UITableViewDelegate *tableDelegate = nullptr;
    QWidget *canvas;
    std::vector<Row> rows;
    std::map<int, UITableViewCell *> cellsInView;
    QMultiHash<QString, UITableViewCell *> reuseQueue;
};
